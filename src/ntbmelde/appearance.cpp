// SPDX-License-Identifier: GPL-3.0-or-later
#include "appearance.h"

#include <QLabel>
#include <QLayout>
#include <QScreen>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

// What a desktop's title bar and window frame take from the screen, at least.
static constexpr int TitleBarRoom = 40;

// Resources of a static library register only when something calls for them.
static void initProgramResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(ntbmelde);
        return true;
    }();
    Q_UNUSED(registered);
}

QIcon programIcon() {
    initProgramResources();
    return QIcon(u":/icons/ntbmelde.png"_s);
}

QPixmap exitNoticePicture() {
    initProgramResources();
    return QPixmap(u":/icons/werbung.png"_s);
}

QIcon clubPicture() {
    initProgramResources();
    return QIcon(u":/icons/verein.png"_s);
}

QFont pixelFont(const QString& family, QFont::StyleHint hint, int pixelSize) {
    QFont font(family);
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    return font;
}

void useFixedDialogFrame(QWidget* dialog) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
}

void fitDialogSize(QWidget* dialog, QSize designed) {
    dialog->ensurePolished();
    QSize size = designed.expandedTo(dialog->minimumSizeHint());
    if (const QScreen* screen = dialog->screen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(0, TitleBarRoom));
    dialog->setFixedSize(size);
    if (QLayout* layout = dialog->layout())
        layout->activate();
}

void makeBlueHeadline(QLabel* label, int pixelSize) {
    label->setAlignment(Qt::AlignCenter);
    QFont font = pixelFont(u"Arial"_s, QFont::SansSerif, pixelSize);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
}

bool installGermanToolkitTexts(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::German, QLocale::Germany), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
