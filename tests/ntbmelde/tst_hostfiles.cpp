// SPDX-License-Identifier: GPL-3.0-or-later
// The host's files in the program: started on an invitation it imports it into EXCHANGE.NT2
// beside it (asking before it replaces one), and "Meldung exportieren" writes the club's
// entries in the format the chosen name asks for.
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "ansi.h"
#include "conversions.h"
#include "dialogseam.h"
#include "environment.h"
#include "interopfiles.h"
#include "mainwindow.h"
#include "meldeaustausch.h"
#include "messages.h"

using namespace Qt::StringLiterals;

namespace {
const QString InvitationSample =
    QStringLiteral(TEST_DATA_DIR "/interop/2026-12-13-Musterst-Wk.DSV7");
const QString DsvFilter = u"DSV7-Vereinsmeldeliste (*.DSV7 *.dsv7)"_s;
const QString LenexZipFilter = u"Lenex, gepackt (*.lxf)"_s;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void showActive(TMainWindow& window) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        qWarning("the main window did not become active");
}

QPushButton* button(const TMainWindow& window, const QString& name) {
    return window.findChild<QPushButton*>(name);
}

TNominRecord nomination(const char* name, int year, int sex, const char* event, int time) {
    TNominRecord nomin = EmptyNomin;
    nomin.Name = name;
    nomin.BirthYear = year;
    nomin.Sex = static_cast<std::uint8_t>(sex);
    nomin.WkNr = TMeldeAustausch::TextToWkNr(event);
    nomin.Time = time;
    return nomin;
}
} // namespace

class TestHostFiles : public QObject {
    Q_OBJECT
private slots:
    // Before the samples' deadlines, so that none is told at start.
    void initTestCase() {
        PinCurrentYear(2026);
        PinDecimalSeparator(',');
        PinCurrentTime(QDateTime(QDate(2026, 11, 1), QTime(12, 0)).toSecsSinceEpoch());
    }
    void cleanupTestCase() {
        PinCurrentYear(0);
        PinDecimalSeparator(0);
        PinCurrentTime(0);
    }
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        messages = std::make_unique<MessageRecorder>();
        invitation = folder->path() + u"/ausschreibung.dsv7"_s;
        QVERIFY(QFile::copy(InvitationSample, invitation));
        exchange = folder->path() + u"/EXCHANGE.NT2"_s;
    }
    void cleanup() {
        messages.reset();
        folder.reset();
    }

    void start_onInvitation_importsItBesideAndExportsEntries() {
        TMainWindow window(invitation);
        showActive(window);
        // The message names what was written, the title the competition.
        const QString kept = folder->path() + u"/EXCHANGE.AUSSCHREIBUNG.DSV7"_s;
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY2(messages->shown.first().startsWith(u"Hinweis: "_s) &&
                     messages->shown.first().contains(u"„EXCHANGE.NT2“"_s) &&
                     messages->shown.first().contains(u"10 Wettkämpfe in 3 Abschnitten"_s) &&
                     messages->shown.first().contains(u"„EXCHANGE.AUSSCHREIBUNG.DSV7“"_s),
                 qPrintable(messages->shown.first()));
        messages->shown.clear();
        QCOMPARE(window.meldeAustausch()->CompName, "Nikolausschwimmfest 2026");
        QCOMPARE(window.meldeAustausch()->EventCount(), 10);
        QVERIFY(QFile::exists(exchange));
        QCOMPARE(
            FindKeptInvitation(QFile::encodeName(exchange).toStdString(), *window.meldeAustausch())
                .value_or(""),
            QFile::encodeName(kept).toStdString());
        QCOMPARE(QApplication::focusWidget(), button(window, u"ButtonVerein"_s));

        TMeldeAustausch& model = *window.meldeAustausch();
        model.ClubName = "TV Probe";
        model.ClubId = "1234";
        model.EMail = "probe@example.org";
        model.SetNomin(1, nomination("Ahorn, Tim", 2014, 0, "2", 7012));
        model.SetNomin(2, nomination("Staffel, 1", 2014, 2, "4", NoTime));

        // The proposed name follows the DSV7 rule; a name without extension gets the filter's.
        FileDialogSeam::setNextFileName(folder->path() + u"/meldung"_s, DsvFilter);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(QFile::exists(folder->path() + u"/meldung.DSV7"_s));
        QCOMPARE(FileDialogSeam::lastCaption, u"Meldung exportieren"_s);
        QCOMPARE(FileDialogSeam::lastFolder,
                 folder->path() + u"/2026-12-13-Musterst-TVProbe-Me.DSV7"_s);
        const QStringList lines =
            QString::fromUtf8(contentOf(folder->path() + u"/meldung.DSV7"_s)).split(u"\r\n"_s);
        QCOMPARE(lines.first(), u"FORMAT:Vereinsmeldeliste;7;"_s);
        QVERIFY(lines.contains(u"PNMELDUNG:Ahorn, Tim;0;1;M;2014;;;;;;"_s));
        QVERIFY(lines.contains(u"STARTPN:1;2;00:01:10,12;"_s));
        QVERIFY(lines.contains(u"STARTST:2;4;00:00:00,00;"_s));
        QTRY_COMPARE(messages->shown.size(), 1);
        QVERIFY2(messages->shown.takeFirst().contains(u"2 Meldungen, 1 Schwimmer, 1 Staffel"_s),
                 "the export names what it wrote");

        // Lenex by the name's extension, whatever the filter.
        FileDialogSeam::setNextFileName(folder->path() + u"/meldung.lxf"_s, DsvFilter);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(QFile::exists(folder->path() + u"/meldung.lxf"_s));
        QVERIFY(contentOf(folder->path() + u"/meldung.lxf"_s).startsWith("PK"));
        QTRY_COMPARE(messages->shown.size(), 1);
        QVERIFY(messages->shown.takeFirst().startsWith(u"Hinweis: "_s));

        // Never onto the kept invitation: the dialog's answer is refused with the reason.
        const QByteArray keptBytes = contentOf(kept);
        FileDialogSeam::setNextFileName(kept, DsvFilter);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
        QTRY_COMPARE(messages->shown.size(), 1);
        QVERIFY(messages->shown.takeFirst().startsWith(u"Fehler: "_s));
        QCOMPARE(contentOf(kept), keptBytes);

        // What the formats cannot carry is refused with the reason, and nothing is written.
        model.SetNomin(3, nomination("Birke, Ole", 2013, 0, "12a", 8000));
        FileDialogSeam::setNextFileName(folder->path() + u"/abgelehnt.DSV7"_s, DsvFilter);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
        QTRY_COMPARE(messages->shown.size(), 1);
        QVERIFY2(messages->shown.first().startsWith(u"Fehler: "_s) &&
                     messages->shown.first().contains(u"Birke, Ole"_s) &&
                     messages->shown.first().contains(u"12a"_s),
                 qPrintable(messages->shown.first()));
        QVERIFY(!QFile::exists(folder->path() + u"/abgelehnt.DSV7"_s));

        // Cancelling the dialog writes nothing and says nothing.
        FileDialogSeam::setNextCancel();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
        QTest::qWait(300);
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files).size(), 5);
    }

    // A packed Format 8 invitation: what its import tells comes in one box, and the entries go
    // back as Format 8 under the DSV8 name.
    void start_onPackedFormat8_toldInOneBoxAndExportedAsFormat8() {
        const QString packed = folder->path() + u"/ausschreibung.DSV8z"_s;
        QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/interop/2027-03-14-Musterst-Wk.DSV8z"),
                            packed));
        TMainWindow window(packed);
        showActive(window);
        QCOMPARE(messages->shown.size(), 2);
        QCOMPARE(messages->shown.first(),
                 u"Warnung: Wettkampf 9 ist nur für diverse Schwimmer ausgeschrieben "
                 u"und wird als offener Wettkampf übernommen"_s);
        QVERIFY(messages->shown.last().startsWith(u"Hinweis: "_s));
        messages->shown.clear();
        TMeldeAustausch& model = *window.meldeAustausch();
        model.ClubName = "TV Probe";
        model.ClubId = "1234";
        model.EMail = "probe@example.org";
        model.SetNomin(1, nomination("Ahorn, Tim", 2018, 0, "3", NoTime));
        FileDialogSeam::setNextFileName(folder->path() + u"/meldung"_s,
                                        u"DSV8-Vereinsmeldeliste (*.DSV8 *.dsv8)"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY2(QFile::exists(folder->path() + u"/meldung.DSV8"_s),
                     qPrintable(messages->shown.join(u'|')));
        QCOMPARE(FileDialogSeam::lastFolder,
                 folder->path() + u"/2027-03-14-Musterst-TVProbe-Me.DSV8"_s);
        const QStringList lines =
            QString::fromUtf8(contentOf(folder->path() + u"/meldung.DSV8"_s)).split(u"\r\n"_s);
        QCOMPARE(lines.first(), u"FORMAT:Vereinsmeldeliste;8;"_s);
        QVERIFY(lines.contains(u"WETTKAMPF:3;E;1;;25;S;KB;X;;;"_s));
        QVERIFY(lines.contains(u"STARTPN:1;3;00:00:00,00;"_s));
    }

    // The title names the invitation's deadline, 01.12.2026, 18:00; once it has passed, the
    // start says so in one box (the other tests start before it and see none).
    void start_deadlinePassed_inTitleAndToldOnce() {
        PinCurrentTime(QDateTime(QDate(2026, 12, 1), QTime(18, 1)).toSecsSinceEpoch());
        const auto unpin = qScopeGuard([this] { initTestCase(); });
        for (const QString& location : {invitation, exchange}) {
            messages->shown.clear();
            TMainWindow window(location);
            showActive(window);
            QVERIFY(window.windowTitle().contains(u"01.12.2026, 18:00"_s));
            QTRY_COMPARE(messages->shown.filter(u"Meldeschluss"_s).filter(u"Warnung: "_s).size(),
                         1);
        }
    }

    void start_onInvitationBesideExchangeFile_asksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("keep") << AnswerNo;
        QTest::newRow("replace") << AnswerYes;
    }
    void start_onInvitationBesideExchangeFile_asksFirst() {
        QFETCH(int, answer);
        // The demo competition with a club's data and two entries.
        TMeldeAustausch demo;
        demo.LoadFromFile(DEMO_FILE);
        demo.ClubName = "TV Probe";
        demo.EMail = "probe@example.org";
        const int entries = demo.NominCount() + 2;
        demo.SetNomin(demo.NominCount() + 1, nomination("Ahorn, Tim", 2014, 0, "1", NoTime));
        demo.SetNomin(demo.NominCount() + 1, nomination("Birke, Ole", 2013, 0, "1", NoTime));
        demo.SaveToFile(QFile::encodeName(exchange).toStdString());
        const QByteArray before = contentOf(exchange);

        messages->setNextAnswer(answer);
        TMainWindow window(invitation);
        showActive(window);
        // The question names the competition that would go and its entries; Enter keeps it.
        QVERIFY2(messages->shown.first().startsWith(u"Frage: Im Ordner"_s) &&
                     messages->shown.first().contains(u"„ausschreibung.dsv7“"_s) &&
                     messages->shown.first().contains(fromAnsi(Trim(demo.CompName))) &&
                     messages->shown.first().contains(u"%1 Meldungen"_s.arg(entries)),
                 qPrintable(messages->shown.first()));
        QCOMPARE(messages->defaults, QList<int>{AnswerNo});
        const TMeldeAustausch& model = *window.meldeAustausch();
        // The club's data stay either way.
        QCOMPARE(model.ClubName, "TV Probe");
        QCOMPARE(model.EMail, "probe@example.org");
        const QStringList copies =
            QDir(folder->path()).entryList({u"EXCHANGE_*.NT2"_s}, QDir::Files);
        if (answer == AnswerNo) {
            QCOMPARE(messages->shown.size(), 1);
            QCOMPARE(contentOf(exchange), before);
            QCOMPARE(model.CompName, demo.CompName);
            QCOMPARE(model.NominCount(), entries);
            QCOMPARE(copies, QStringList());
        } else {
            QCOMPARE(model.CompName, "Nikolausschwimmfest 2026");
            QCOMPARE(model.NominCount(), 0);
            // The entries are kept in a dated copy, which the message names.
            QCOMPARE(copies.size(), 1);
            QCOMPARE(contentOf(folder->path() + u'/' + copies.first()), before);
            QCOMPARE(messages->shown.size(), 2);
            QVERIFY(messages->shown.last().contains(u"„%1“"_s.arg(copies.first())));
        }
        QCOMPARE(QApplication::focusWidget(), button(window, u"ButtonVerein"_s));
    }

    // Double-clicking the kept invitation opens its exchange file as it is.
    void start_onKeptInvitation_opensItsExchangeFile() {
        { TMainWindow first(invitation); }
        const QByteArray before = contentOf(exchange);
        messages->shown.clear();
        TMainWindow window(folder->path() + u"/EXCHANGE.AUSSCHREIBUNG.DSV7"_s);
        QCOMPARE(messages->shown, QStringList());
        QCOMPARE(contentOf(exchange), before);
        QCOMPARE(window.meldeAustausch()->EventCount(), 10);
    }

    void start_onFaultyInvitation_explainsAndWritesNothing() {
        QFile file(invitation);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("FORMAT:Wettkampfdefinitionsliste;7;\n"
                   "ABSCHNITT:1;05.06.2026;;;10:00;;\n"
                   "WETTKAMPF:1;E;1;;100;Q;GL;W;SW;;;\n"
                   "DATEIENDE\n");
        file.close();
        TMainWindow window(invitation);
        showActive(window);
        QCOMPARE(messages->shown,
                 QStringList{u"Fehler: Die Datei „%1“ kann nicht übernommen werden:\r"
                             u"Zeile 3 (WETTKAMPF): Wettkampf 1: unbekannte Technik „Q“!"_s.arg(
                                 invitation)});
        QVERIFY(!QFile::exists(exchange));
        QVERIFY(!button(window, u"ButtonVerein"_s)->isEnabled());
        QVERIFY(!button(window, u"ButtonExport"_s)->isEnabled());
        QCOMPARE(QApplication::focusWidget(), button(window, u"ButtonExit"_s));
    }

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<MessageRecorder> messages;
    QString invitation;
    QString exchange;
};

QTEST_MAIN(TestHostFiles)
#include "tst_hostfiles.moc"
