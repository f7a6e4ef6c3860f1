// SPDX-License-Identifier: GPL-3.0-or-later
// Every window on the screens club volunteers own, in logical pixels: 1024×768 at 100 %,
// 1366×768 at 125 % and 1920×1080 at 150 %. The offscreen platform is given those three screens
// side by side; each window opens on one of them and must fit it, with every button, caption and
// column heading whole.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "formbedienung.h"
#include "formchoosewettkampf.h"
#include "formmain.h"
#include "formmeldeinput.h"
#include "formschwimmer.h"
#include "formschwimmeredit.h"
#include "formverein.h"
#include "formwerbung.h"
#include "global.h"
#include "meldeaustausch.h"
#include "meldelistemodel.h"
#include "messages.h"
#include "nextmodal.h"
#include "tempdatadir.h"

using namespace Qt::StringLiterals;

namespace {

struct Screen {
    const char* name;
    QSize logical;
};
const Screen Screens[] = {
    {"1024x768 bei 100 %", {1024, 768}},
    {"1366x768 bei 125 %", {1093, 614}},
    {"1920x1080 bei 150 %", {1280, 720}},
};
// A title bar that the offscreen platform does not draw, but every desktop does.
constexpr int TitleBar = 30;

// The three screens side by side, as the offscreen platform reads them at start.
QByteArray screenConfiguration() {
    QJsonArray screens;
    int left = 0;
    for (const Screen& screen : Screens) {
        screens.append(QJsonObject{{u"name"_s, QString::fromUtf8(screen.name)},
                                   {u"x"_s, left},
                                   {u"y"_s, 0},
                                   {u"width"_s, screen.logical.width()},
                                   {u"height"_s, screen.logical.height()}});
        left += screen.logical.width();
    }
    return QJsonDocument(QJsonObject{{u"screens"_s, screens}}).toJson();
}

QScreen* screenNamed(const QString& name) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen;
    }
    return nullptr;
}

// The text as shown: "&Schließen" shows "Schließen", "&&" one "&".
QString withoutMnemonic(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

int widestLine(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

// The width that the button's style leaves for its picture and caption.
int roomForCaption(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(button))
        contents = QStyle::SE_RadioButtonContents;
    return button->style()->subElementRect(contents, &option, button).width();
}

// Where the widget is cut: outside its window, or hidden in part by a parent's edge.
QString cutOff(const QWidget* widget, const QWidget* window) {
    const QRect place(widget->mapTo(window, QPoint(0, 0)), widget->size());
    if (!window->rect().contains(place))
        return u"lies outside the window"_s;
    if (widget->visibleRegion() != QRegion(widget->rect()))
        return u"is partly hidden"_s;
    return {};
}

QString buttonFault(const QAbstractButton* button, const QWidget* window) {
    if (QString where = cutOff(button, window); !where.isEmpty())
        return where;
    if (button->text().isEmpty())
        return {};
    const int needed = button->fontMetrics().horizontalAdvance(withoutMnemonic(button->text())) +
                       (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
    return needed > roomForCaption(button)
               ? u"needs %1 pixels, has %2"_s.arg(needed).arg(roomForCaption(button))
               : QString();
}

QString labelFault(const QLabel* label, const QWidget* window) {
    if (label->text().isEmpty())
        return {};
    if (QString where = cutOff(label, window); !where.isEmpty())
        return where;
    const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                      -label->margin(), -label->margin());
    if (label->wordWrap())
        return label->heightForWidth(label->width()) > label->height() ? u"wraps below its end"_s
                                                                       : QString();
    const QString shown = label->buddy() ? withoutMnemonic(label->text()) : label->text();
    const int needed = widestLine(label->fontMetrics(), shown);
    if (needed > room.width())
        return u"needs %1 pixels, has %2"_s.arg(needed).arg(room.width());
    const int lines = int(shown.count(u'\n')) + 1;
    return label->fontMetrics().height() * lines > room.height() ? u"is cut at the bottom"_s
                                                                 : QString();
}

// Each heading whole in its column, and each column whole in the view.
QString headerFault(const QHeaderView* header) {
    for (int section = 0; section < header->count(); ++section) {
        if (header->isSectionHidden(section))
            continue;
        QStyleOptionHeader option;
        option.initFrom(header);
        option.rect = QRect(0, 0, header->sectionSize(section), header->height());
        option.section = section;
        option.text = header->model()->headerData(section, header->orientation()).toString();
        if (header->isSortIndicatorShown() && header->sortIndicatorSection() == section)
            option.sortIndicator = header->sortIndicatorOrder() == Qt::AscendingOrder
                                       ? QStyleOptionHeader::SortDown
                                       : QStyleOptionHeader::SortUp;
        const int room =
            header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header).width();
        if (header->fontMetrics().horizontalAdvance(option.text) > room)
            return u"heading \"%1\" is cut"_s.arg(option.text);
        if (header->sectionViewportPosition(section) + header->sectionSize(section) >
            header->viewport()->width())
            return u"column \"%1\" reaches beyond the view"_s.arg(option.text);
    }
    return {};
}

// Every fault of the window's visible controls, one line each.
QStringList faultsOf(const QWidget* window) {
    QStringList faults;
    auto note = [&](const QWidget* widget, const QString& fault) {
        if (!fault.isEmpty())
            faults << u"%1 \"%2\" %3"_s.arg(QString::fromUtf8(widget->metaObject()->className()),
                                            widget->objectName(), fault);
    };
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            note(button, buttonFault(button, window));
        else if (const auto* label = qobject_cast<const QLabel*>(widget))
            note(label, labelFault(label, window));
        else if (const auto* header = qobject_cast<const QHeaderView*>(widget);
                 header && header->orientation() == Qt::Horizontal)
            note(header, headerFault(header));
    }
    return faults;
}

} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT

private:
    TempDataDir dataDir;
    TMeldeAustausch model;
    QTemporaryDir folder;
    std::unique_ptr<MessageRecorder> messages;

    // Opens the window `name` on `screen` and hands it to `check` while it shows.
    void withWindow(const QString& name, QScreen* screen,
                    const std::function<void(QWidget*)>& check);

private slots:
    void initTestCase();
    void init() { messages = std::make_unique<MessageRecorder>(); }
    void cleanup() { messages.reset(); }
    void window_onEachScreen_fitsWithEveryTextWhole_data();
    void window_onEachScreen_fitsWithEveryTextWhole();
    void entryList_nameOfThirtyCharacters_showsWhole_data();
    void entryList_nameOfThirtyCharacters_showsWhole();
};

void TestWindowLayout::initTestCase() {
    QCOMPARE(QGuiApplication::screens().size(), qsizetype(std::size(Screens)));
    QVERIFY(QFile::copy(QStringLiteral(DEMO_FILE), folder.filePath(u"EXCHANGE.NT2"_s)));
    model.LoadFromFile(QFile::encodeName(folder.filePath(u"EXCHANGE.NT2"_s)).toStdString());
    QVERIFY(model.EventCount() > 0);
    // A few entries, so that the list shows rows under its headings.
    model.SetNomin(1, {"Brandt, Kolja", 2012, 0, model.Event(1).WkNr, 6543, ""});
    model.SetNomin(2, {"Vogelsang, Ilka", 2013, 1, model.Event(1).WkNr, 7012, ""});
}

void TestWindowLayout::withWindow(const QString& name, QScreen* screen,
                                  const std::function<void(QWidget*)>& check) {
    if (name == u"Hauptfenster"_s || name == u"Hauptfenster mit Kontrollausdruck"_s) {
        TFormMain window(folder.path());
        window.setScreen(screen);
        window.setGeometry(screen->availableGeometry());
        window.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (name != u"Hauptfenster"_s) {
            QTest::keyClick(&window, Qt::Key_K, Qt::AltModifier);
            QTRY_COMPARE(window.mdiArea()->subWindowList().size(), 1);
        }
        // The panel's rows settle in the layout requests that the first layout posts.
        for (int round = 0; round < 2; ++round)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        check(&window);
        Global::ResetDataChanged();
        return;
    }
    // A dialog opens on the screen of the window it belongs to.
    QWidget owner;
    owner.setScreen(screen);
    owner.setGeometry(screen->availableGeometry());
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    if (name == u"Wettkampf auswählen"_s) {
        TFormChooseWettkampf chooser(model, &owner);
        NextModal shown(check);
        chooser.ChooseEvent(2012, 0);
        QVERIFY(shown.seen());
        return;
    }
    std::unique_ptr<QDialog> dialog;
    if (name == u"Meldungen"_s)
        dialog = std::make_unique<TFormMeldeInput>(model, dataDir.store(), &owner);
    else if (name == u"Vereinsdaten"_s)
        dialog = std::make_unique<TFormVerein>(model, dataDir.store(), &owner);
    else if (name == u"Schwimmer"_s)
        dialog = std::make_unique<TFormSchwimmer>(dataDir.store(), &owner);
    else if (name == u"Schwimmer bearbeiten"_s)
        dialog = std::make_unique<TFormSchwimmerEdit>(TSwimmer{}, &owner);
    else if (name == u"Bedienungsanleitung"_s)
        dialog = std::make_unique<TFormBedienung>(&owner);
    else
        dialog = std::make_unique<TFormWerbung>(&owner);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    check(dialog.get());
}

void TestWindowLayout::window_onEachScreen_fitsWithEveryTextWhole_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("screen");
    for (const QString& window :
         {u"Hauptfenster"_s, u"Hauptfenster mit Kontrollausdruck"_s, u"Meldungen"_s,
          u"Wettkampf auswählen"_s, u"Vereinsdaten"_s, u"Schwimmer"_s, u"Schwimmer bearbeiten"_s,
          u"Bedienungsanleitung"_s, u"Melde-Programm wird beendet"_s}) {
        for (const Screen& screen : Screens)
            QTest::addRow("%s, %s", qPrintable(window), screen.name)
                << window << QString::fromUtf8(screen.name);
    }
}

void TestWindowLayout::window_onEachScreen_fitsWithEveryTextWhole() {
    QFETCH(QString, window);
    QFETCH(QString, screen);
    QScreen* target = screenNamed(screen);
    QVERIFY(target);
    const QRect available = target->availableGeometry();
    withWindow(window, target, [&](QWidget* shown) {
        QCOMPARE(shown->screen(), target);
        // A maximised window must not need more than the screen; a dialog has its one size.
        const QSize least = shown->isMaximized() ? shown->minimumSizeHint() : shown->frameSize();
        QVERIFY2(least.width() <= available.width() &&
                     least.height() + TitleBar <= available.height(),
                 qPrintable(u"%1x%2"_s.arg(least.width()).arg(least.height())));
        QVERIFY(available.contains(shown->frameGeometry()));
        const QStringList faults = faultsOf(shown);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
    });
}

void TestWindowLayout::entryList_nameOfThirtyCharacters_showsWhole_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("double name") << u"Oberhuber-Wendlandt, Annemarie"_s;
    QTest::newRow("wide letters") << u"Wichmann-Baumgärtner, Waltraud"_s;
    QTest::newRow("surname in capitals") << u"MEIER-LÜDENSCHEIDT, Friederike"_s;
    QTest::newRow("long first name") << u"Kastner, Maximiliane Johanna M"_s;
}

void TestWindowLayout::entryList_nameOfThirtyCharacters_showsWhole() {
    QFETCH(QString, name);
    QCOMPARE(name.size(), 30);
    TFormMeldeInput dialog(model, dataDir.store());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = dialog.findChild<QTableView*>(u"Meldeliste"_s);
    QVERIFY(list);
    // The view's text margin on either side of a cell.
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    QVERIFY2(list->fontMetrics().horizontalAdvance(name) + 2 * margin <=
                 list->columnWidth(TMeldelisteModel::Name),
             qPrintable(u"column %1 pixels"_s.arg(list->columnWidth(TMeldelisteModel::Name))));
}

// The screens must be known before the application starts.
int main(int argc, char* argv[]) {
    QTemporaryDir configFolder;
    const QString configFile = configFolder.filePath(u"screens.json"_s);
    QFile config(configFile);
    if (!config.open(QIODevice::WriteOnly) || config.write(screenConfiguration()) < 0)
        return 1;
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(configFile));
    QApplication application(argc, argv);
    TestWindowLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowlayout.moc"
