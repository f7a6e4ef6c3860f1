// SPDX-License-Identifier: GPL-3.0-or-later
// Every window on the screens club volunteers own, in logical pixels: 1024×768 at 100 %,
// 1366×768 at 125 % and 1920×1080 at 150 %. The offscreen platform gets the three screens side
// by side; each window opens on one of them and must fit it, every text whole.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTest>

#include "clubdialog.h"
#include "entrydialog.h"
#include "eventchooser.h"
#include "exitnotice.h"
#include "global.h"
#include "instructionswindow.h"
#include "mainwindow.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "nextmodal.h"
#include "officialdialog.h"
#include "officialswindow.h"
#include "swimmereditdialog.h"
#include "swimmerwindow.h"
#include "tempdatadir.h"

using namespace Qt::StringLiterals;

namespace {
const std::pair<const char*, QSize> Screens[] = {{"1024x768 bei 100 %", {1024, 768}},
                                                 {"1366x768 bei 125 %", {1093, 614}},
                                                 {"1920x1080 bei 150 %", {1280, 720}}};
// The title bar, which every desktop draws but the offscreen platform does not.
constexpr int TitleBar = 30;

// The width the style leaves a button's or label's text.
int textRoom(const QWidget* widget) {
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    if (!button)
        return widget->contentsRect().width() - 2 * static_cast<const QLabel*>(widget)->margin();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    const auto contents = qobject_cast<const QCheckBox*>(button) ? QStyle::SE_CheckBoxContents
                                                                 : QStyle::SE_PushButtonContents;
    return button->style()->subElementRect(contents, &option, button).width() -
           (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
}

QString textFault(const QWidget* widget, const QWidget* window, QString text) {
    if (!window->rect().contains(QRect(widget->mapTo(window, QPoint()), widget->size())) ||
        widget->visibleRegion() != QRegion(widget->rect()))
        return u"is not whole in sight"_s;
    const auto* label = qobject_cast<const QLabel*>(widget);
    if (label && label->wordWrap())
        return label->heightForWidth(label->width()) > label->height() ? u"is cut"_s : QString();
    if (!label || label->buddy())
        text.remove(u'&'); // the accelerator's mark is not shown
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, widget->fontMetrics().horizontalAdvance(line));
    if (widest > textRoom(widget))
        return u"needs %1 pixels, has %2"_s.arg(widest).arg(textRoom(widget));
    return widget->fontMetrics().height() * (text.count(u'\n') + 1) >
                   widget->contentsRect().height()
               ? u"is cut at the bottom"_s
               : QString();
}

// Each heading whole in its column, each column whole in the view, each cell's text in its
// column.
QString tableFault(const QTableView* table) {
    const QHeaderView* header = table->horizontalHeader();
    const int cellMargin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    for (int column = 0; column < header->count(); ++column) {
        QStyleOptionHeader option;
        option.initFrom(header);
        option.rect = QRect(0, 0, header->sectionSize(column), header->height());
        option.text = table->model()->headerData(column, Qt::Horizontal).toString();
        if (header->isSortIndicatorShown() && header->sortIndicatorSection() == column)
            option.sortIndicator = QStyleOptionHeader::SortDown;
        if (header->fontMetrics().horizontalAdvance(option.text) >
                header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header).width() ||
            header->sectionViewportPosition(column) + header->sectionSize(column) >
                header->viewport()->width())
            return u"column \"%1\" is cut"_s.arg(option.text);
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            const QString cell = table->model()->index(row, column).data().toString();
            if (table->fontMetrics().horizontalAdvance(cell) + 2 * cellMargin >
                table->columnWidth(column))
                return u"\"%1\" is cut"_s.arg(cell);
        }
    }
    return {};
}

QStringList faultsOf(const QWidget* window) {
    QStringList faults;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        QString fault;
        if (!widget->isVisibleTo(window))
            continue;
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            fault =
                button->text().isEmpty() ? QString() : textFault(button, window, button->text());
        else if (const auto* label = qobject_cast<const QLabel*>(widget))
            fault = label->text().isEmpty() ? QString() : textFault(label, window, label->text());
        else if (const auto* table = qobject_cast<const QTableView*>(widget))
            fault = tableFault(table);
        if (!fault.isEmpty())
            faults << u"%1 %2"_s.arg(widget->objectName(), fault);
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
    MessageRecorder messages;
    void withWindow(const QString& name, QScreen* screen, const std::function<void(QWidget*)>&);

private slots:
    void initTestCase();
    void window_onEachScreen_fitsWithEveryTextWhole_data();
    void window_onEachScreen_fitsWithEveryTextWhole();
};

void TestWindowLayout::initTestCase() {
    QCOMPARE(QGuiApplication::screens().size(), qsizetype(std::size(Screens)));
    QVERIFY(QFile::copy(QStringLiteral(DEMO_FILE), folder.filePath(u"EXCHANGE.NT2"_s)));
    model.LoadFromFile(QFile::encodeName(folder.filePath(u"EXCHANGE.NT2"_s)).toStdString());
    // The entry list shows names of 30 characters whole, even with the surname in capitals.
    model.SetNomin(1, {"MEIER-WICHMANN, Friederike Eva", 2012, 1, model.Event(1).WkNr, 6543, ""});
}

void TestWindowLayout::withWindow(const QString& name, QScreen* screen,
                                  const std::function<void(QWidget*)>& check) {
    if (name == u"Hauptfenster mit Kontrollausdruck"_s) {
        TMainWindow window(folder.path());
        window.setScreen(screen);
        window.setGeometry(screen->availableGeometry());
        window.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key_K, Qt::AltModifier);
        QTRY_COMPARE(window.mdiArea()->subWindowList().size(), 1);
        // The rows of buttons settle in the layout requests that the first layout posts.
        for (int round = 0; round < 2; ++round)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        check(&window);
        return;
    }
    // A dialog opens on the screen of the window it belongs to.
    QWidget owner;
    owner.setScreen(screen);
    owner.setGeometry(screen->availableGeometry());
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    if (name == u"Wettkampf auswählen"_s) {
        TEventChooser chooser(model, &owner);
        NextModal shown(check);
        chooser.ChooseEvent(2012, 1);
        QVERIFY(shown.seen());
        return;
    }
    std::unique_ptr<QDialog> dialog;
    if (name.startsWith(u"Meldungen"_s)) {
        dialog = std::make_unique<TEntryDialog>(
            model, dataDir.store(), std::vector<TQualifyingTime>(), std::string(), &owner);
    } else if (name == u"Vereinsdaten"_s) {
        dialog = std::make_unique<TClubDialog>(model, dataDir.store(), &owner);
    } else if (name == u"Schwimmer"_s) {
        dialog = std::make_unique<TSwimmerWindow>(dataDir.store(), &owner);
    } else if (name == u"Kampfrichter und Trainer"_s) {
        dialog = std::make_unique<TOfficialsWindow>(
            dataDir.store(), model,
            QFile::encodeName(folder.filePath(u"EXCHANGE.NT2"_s)).toStdString(), &owner);
    } else if (name == u"Kampfrichter"_s) {
        // Room for every section the exchange file can hold.
        dialog = std::make_unique<TOfficialDialog>(TOfficial{}, PeriodSlots, nullptr, &owner);
    } else if (name == u"Schwimmer bearbeiten"_s) {
        dialog = std::make_unique<TSwimmerEditDialog>(TSwimmer{}, &owner);
    } else if (name == u"Bedienungsanleitung"_s) {
        dialog = std::make_unique<TInstructionsWindow>(&owner);
    } else {
        dialog = std::make_unique<TExitNotice>(&owner);
    }
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    // A relay event adds a field for each of its swimmers.
    if (name == u"Meldungen mit Staffel"_s) {
        auto* wkNr = dialog->findChild<QLineEdit*>(u"EditWkNr"_s);
        wkNr->setFocus();
        QTest::keyClicks(wkNr, u"7"_s);
        QTest::keyClick(wkNr, Qt::Key_Tab);
        QVERIFY(dialog->findChild<QWidget*>(u"EditSchwimmer4"_s)->isVisibleTo(dialog.get()));
    }
    check(dialog.get());
}

void TestWindowLayout::window_onEachScreen_fitsWithEveryTextWhole_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("screen");
    for (const QString& window :
         {u"Hauptfenster mit Kontrollausdruck"_s, u"Meldungen"_s, u"Meldungen mit Staffel"_s,
          u"Wettkampf auswählen"_s, u"Vereinsdaten"_s, u"Schwimmer"_s, u"Schwimmer bearbeiten"_s,
          u"Kampfrichter und Trainer"_s, u"Kampfrichter"_s, u"Bedienungsanleitung"_s,
          u"Melde-Programm wird beendet"_s}) {
        for (const auto& [screen, size] : Screens)
            QTest::addRow("%s, %s", qPrintable(window), screen)
                << window << QString::fromUtf8(screen);
    }
}

void TestWindowLayout::window_onEachScreen_fitsWithEveryTextWhole() {
    QFETCH(QString, window);
    QFETCH(QString, screen);
    QScreen* target = nullptr;
    for (QScreen* each : QGuiApplication::screens())
        target = each->name() == screen ? each : target;
    QVERIFY(target);
    const QRect available = target->availableGeometry();
    withWindow(window, target, [&](QWidget* shown) {
        QCOMPARE(shown->screen(), target);
        // A maximised window must need no more than the screen; a dialog has its one size.
        const QSize least = shown->isMaximized() ? shown->minimumSizeHint() : shown->frameSize();
        QVERIFY2(least.width() <= available.width() &&
                     least.height() + TitleBar <= available.height(),
                 qPrintable(u"%1x%2"_s.arg(least.width()).arg(least.height())));
        QVERIFY(available.contains(shown->frameGeometry()));
        const QStringList faults = faultsOf(shown);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
    });
    Global::ResetDataChanged();
}

// The screens are the platform's, read before the application starts.
int main(int argc, char* argv[]) {
    QJsonArray screens;
    int left = 0;
    for (const auto& [name, size] : Screens) {
        screens.append(QJsonObject{{u"name"_s, QString::fromUtf8(name)},
                                   {u"x"_s, left},
                                   {u"width"_s, size.width()},
                                   {u"height"_s, size.height()}});
        left += size.width();
    }
    QTemporaryDir configFolder;
    QFile config(configFolder.filePath(u"screens.json"_s));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(QJsonDocument(QJsonObject{{u"screens"_s, screens}}).toJson()) < 0)
        return 1;
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    QApplication application(argc, argv);
    TestWindowLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowlayout.moc"
