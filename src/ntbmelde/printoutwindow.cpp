// SPDX-License-Identifier: GPL-3.0-or-later
#include "printoutwindow.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>

#include "ansi.h"
#include "appearance.h"
#include "atomicfile.h"
#include "dialogseam.h"
#include "feereport.h"
#include "fileopening.h"
#include "global.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "printoutview.h"
#include "report.h"
#include "waitcursor.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QFont viewFont() {
    QFont font(u"Courier"_s);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    return font;
}

// The view's font on paper: 13 pixels on screen are about 10 points.
constexpr qreal PaperPointSize = 10;
// Paper keeps at least this margin on every side, more where the printer needs it.
constexpr qreal LeastMarginMm = 15;

QPushButton* makeButton(const QString& name, const QString& caption, const QString& hint,
                        QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setMinimumSize(110, 25);
    // Enter presses the focused button, as everywhere else in the program.
    button->setAutoDefault(true);
    return button;
}

// At least LeastMarginMm on every side of the page, and the device's own margins where
// they are wider.
void keepLeastMargins(QPagedPaintDevice& device) {
    const QMarginsF margins = device.pageLayout().margins(QPageLayout::Millimeter);
    device.setPageMargins(QMarginsF(std::max(margins.left(), LeastMarginMm),
                                    std::max(margins.top(), LeastMarginMm),
                                    std::max(margins.right(), LeastMarginMm),
                                    std::max(margins.bottom(), LeastMarginMm)),
                          QPageLayout::Millimeter);
}

// The view's font at the size at which the widest of `lines` fits `width` device pixels, and at
// most PaperPointSize: a fixed-width printout must not wrap its lines.
QFont paperFont(const QStringList& lines, qreal width, QPaintDevice* device) {
    QFont font = viewFont();
    font.setPointSizeF(PaperPointSize);
    for (;;) {
        const QFontMetricsF metrics(font, device);
        qreal widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        if (widest <= width)
            return font;
        // Glyph widths do not scale exactly with the size: shrink until it fits.
        font.setPointSizeF(font.pointSizeF() * width / widest * 0.99);
    }
}

} // namespace

TPrintout ControlPrintout(const TMeldeAustausch& data, const std::optional<TDeadline>& deadline) {
    WaitCursor wait;
    return {u"Kontrollausdruck"_s,
            u"Hier können Sie den Kontrollausdruck in einer Datei speichern, um ihn "
            u"beispielsweise als Anhang einer eMail zu versenden"_s,
            u"Hier drucken Sie den Kontrollausdruck"_s, BuildReportLines(data, deadline)};
}

TPrintout FeeOverview(const TMeldeAustausch& data, const TMeetFees& meetFees,
                      const std::optional<std::vector<int>>& staffedSections) {
    WaitCursor wait;
    return {u"Meldegeld"_s,
            u"Hier können Sie die Meldegeld-Übersicht in einer Datei speichern, um sie "
            u"beispielsweise an den Kassenwart zu schicken"_s,
            u"Hier drucken Sie die Meldegeld-Übersicht"_s,
            BuildFeeLines(data, TodayDateText(), meetFees, staffedSections)};
}

TPrintoutWindow::TPrintoutWindow(TPrintout shown, QWidget* parent)
    : QMdiSubWindow(parent), printout(std::move(shown)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    // Also where the application has no icon of its own, whose place the toolkit's logo takes.
    setWindowIcon(programIcon());
    QFont windowFont(u"Arial"_s);
    windowFont.setPixelSize(11);
    setFont(windowFont);

    auto* content = new QWidget(this);
    TextFeld = new TPrintoutView(printout.Lines, content);
    TextFeld->setObjectName(u"TextFeld"_s);
    TextFeld->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TextFeld->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TextFeld->setFont(viewFont());

    auto* strip = new QWidget(content);
    strip->setObjectName(u"ButtonStrip"_s);
    strip->setFixedHeight(41);
    ButtonClose = makeButton(u"ButtonClose"_s, u"S&chließen"_s, u"Anzeige schließen"_s, strip);
    ButtonSave = makeButton(u"ButtonSave"_s, u"&Speichern"_s, printout.SaveHint, strip);
    ButtonPrint = makeButton(u"ButtonPrint"_s, u"&Drucken"_s, printout.PrintHint, strip);
    ButtonPreview =
        makeButton(u"ButtonPreview"_s, u"Seiten&ansicht"_s,
                   u"Hier sehen Sie die Seiten des Ausdrucks vor dem Drucken an"_s, strip);
    auto* buttons = new QHBoxLayout(strip);
    buttons->setContentsMargins(8, 8, 8, 8);
    buttons->setSpacing(8);
    for (QPushButton* button : {ButtonClose, ButtonSave, ButtonPrint, ButtonPreview})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TextFeld);
    layout->addWidget(strip);
    setWidget(content);

    setTabOrder(ButtonClose, ButtonSave);
    setTabOrder(ButtonSave, ButtonPrint);
    setTabOrder(ButtonPrint, ButtonPreview);
    setTabOrder(ButtonPreview, TextFeld);

    connect(ButtonClose, &QPushButton::clicked, this, &TPrintoutWindow::ButtonCloseClick);
    connect(ButtonSave, &QPushButton::clicked, this, &TPrintoutWindow::ButtonSaveClick);
    connect(ButtonPrint, &QPushButton::clicked, this, &TPrintoutWindow::ButtonPrintClick);
    connect(ButtonPreview, &QPushButton::clicked, this, &TPrintoutWindow::ButtonPreviewClick);
    // "S&chließen" is the window's cancel button.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, ButtonClose, &QPushButton::click);
    // Ctrl+Home and Ctrl+End show the start and the end of the printout, wherever the focus is.
    for (const bool toEnd : {false, true}) {
        auto* shortcut =
            new QShortcut(QKeySequence(Qt::CTRL | (toEnd ? Qt::Key_End : Qt::Key_Home)), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, toEnd] {
            QScrollBar* lines = TextFeld->verticalScrollBar();
            lines->setValue(toEnd ? lines->maximum() : lines->minimum());
            TextFeld->horizontalScrollBar()->setValue(TextFeld->horizontalScrollBar()->minimum());
        });
    }

    BuildText();
}

QStringList TPrintoutWindow::saveFilters() {
    return {u"Rich-Text-Format (*.RTF)"_s, u"Reiner Text (*.TXT)"_s, u"PDF-Dokument (*.PDF)"_s};
}

// The view draws the snapshot's lines itself; they are neither copied nor laid out here.
void TPrintoutWindow::BuildText() {
    ButtonClose->setFocus();
}

void TPrintoutWindow::ButtonCloseClick() {
    close();
}

void TPrintoutWindow::ButtonSaveClick() {
    const QStringList filters = saveFilters();
    QString fileName;
    QString filter;
    if (!FileDialogSeam::getSaveFileName(this, u"Anzeige speichern"_s, Global::ProgDir, filters,
                                         fileName, filter))
        return;
    // A typed extension decides, as in the export; else the chosen entry (the first by default).
    const QStringList extensions = {u".RTF"_s, u".TXT"_s, u".PDF"_s};
    qsizetype chosen = std::max<qsizetype>(0, filters.indexOf(filter));
    for (qsizetype i = 0; i < extensions.size(); ++i) {
        if (fileName.endsWith(extensions[i], Qt::CaseInsensitive))
            chosen = i;
    }
    const auto type = static_cast<FileType>(chosen);
    RunCommand([&] { saveAs(fileName, type); });
}

void TPrintoutWindow::saveAs(QString fileName, FileType type) const {
    switch (type) {
    case FileType::RichText:
        SaveReportRtf(localPath(withDefaultExtension(fileName, u".RTF"_s)), printout.Lines);
        break;
    case FileType::PlainText:
        SaveReportPlainText(localPath(withDefaultExtension(fileName, u".TXT"_s)), printout.Lines);
        break;
    case FileType::Pdf: {
        // Rendered in memory first, so that the file is replaced as safely as the others.
        QByteArray pdf;
        {
            QBuffer buffer(&pdf);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            writer.setTitle(printout.Title);
            writer.setCreator(ApplicationTitle);
            writer.setPageSize(QPageSize(QPageSize::A4));
            paintReport(writer);
        }
        WriteFileAtomically(localPath(withDefaultExtension(fileName, u".PDF"_s)),
                            pdf.toStdString());
        break;
    }
    }
}

void TPrintoutWindow::ButtonPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(printout.Title);
    // Printing to a file proposes a PDF beside the exchange file, not in the home folder; a
    // printer, where there is one, stays the first choice.
    printer.setOutputFileName(Global::ProgDir + printout.Title + u".pdf"_s);
    printer.setOutputFormat(QPrinter::NativeFormat);
    if (!PrintDialogSeam::exec(printer, this))
        return;
    RunCommand([&] {
        WaitCursor wait;
        paintReport(printer);
    });
}

void TPrintoutWindow::ButtonPreviewClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(printout.Title);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(u"PreviewDialog"_s);
    preview.setWindowTitle(u"Seitenansicht: "_s + printout.Title);
    // Printing from the preview runs inside its event loop, so it is a command of its own.
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        RunCommand([&] {
            WaitCursor wait;
            paintReport(*target);
        });
    });
    preview.exec();
}

// One print job: the lines page after page over the printable area, in the view's font made
// as small as the widest line needs.
void TPrintoutWindow::paintReport(QPagedPaintDevice& device) const {
    keepLeastMargins(device);
    QStringList text;
    text.reserve(static_cast<qsizetype>(printout.Lines.size()));
    for (const std::string& line : printout.Lines)
        text.append(fromAnsi(line));
    QPainter painter;
    if (!painter.begin(&device))
        throw std::runtime_error("Der Ausdruck konnte nicht begonnen werden");
    painter.setFont(paperFont(text, device.width(), &device));
    const QFontMetricsF metrics(painter.font(), &device);
    const qreal lineHeight = metrics.lineSpacing();
    qreal top = 0;
    for (const QString& line : std::as_const(text)) {
        if (top > 0 && top + lineHeight > device.height()) {
            if (!device.newPage())
                throw std::runtime_error("Der Ausdruck konnte nicht fortgesetzt werden");
            top = 0;
        }
        painter.drawText(QPointF(0, top + metrics.ascent()), line);
        top += lineHeight;
    }
    if (!painter.end())
        throw std::runtime_error("Der Ausdruck konnte nicht abgeschlossen werden");
}
