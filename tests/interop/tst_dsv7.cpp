// SPDX-License-Identifier: GPL-3.0-or-later
// DSV7: a host's Wettkampfdefinitionsliste read into an invitation, the club's entries written
// as a Vereinsmeldeliste. The export is checked against the hand-made sample of the same meet
// and, record by record, by a small reader of the format that shares nothing with the writer.
#include <QRegularExpression>
#include <QTest>

#include <map>
#include <set>

#include "competitionbuilder.h"
#include "dsv7.h"
#include "dsvrecordrules.h"
#include "environment.h"
#include "interopfiles.h"
#include "interopfixtures.h"
#include "lenex.h"
#include "relayfixture.h"
#include "relayteams.h"
#include "staffentries.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray readData(const QString& name) {
    return readFileBytes(InteropDataDir + name);
}

QString describe(const TInvitationSession& s) {
    return u"%1 %2 Beginn %3 Einlass %4 KaRi %5 relativ %6"_s.arg(s.Number).arg(
        s.Date.toString(u"dd.MM.yyyy"_s), s.DayTime, s.WarmUpFrom, s.OfficialMeeting,
        s.Relative ? s.RelativeStart : u"nein"_s);
}

QString describe(const TInvitationEvent& e) {
    static const QStringList strokes = {u"Freistil"_s,      u"Rücken"_s, u"Brust"_s,
                                        u"Schmetterling"_s, u"Lagen"_s,  u"Sonstige"_s};
    static const QStringList techniques = {u"ganz"_s,  u"Beine"_s,   u"Arme"_s,    u"Start"_s,
                                           u"Wende"_s, u"Gleiten"_s, u"Tauchen"_s, u"Sonstige"_s};
    static const QStringList genders = {u"w"_s, u"m"_s, u"mixed"_s, u"alle"_s, u"divers"_s};
    return u"%1 %2 Abschnitt %3 %4x%5 %6 %7 %8 Geld %9 JG %10-%11 aus %12"_s.arg(e.Id, e.Round)
        .arg(e.Session)
        .arg(e.RelayCount)
        .arg(e.Distance)
        .arg(strokes[int(e.Stroke)], techniques[int(e.Technique)], genders[int(e.Gender)])
        .arg(e.FeeCents)
        .arg(e.EarliestBirthYear)
        .arg(e.LatestBirthYear)
        .arg(e.PreviousId);
}

// A small invitation around the lines that a case changes.
QByteArray smallList(const QString& head, const QString& event, const QString& ranking,
                     const QString& tail = u"DATEIENDE\n"_s) {
    return (head +
            u"VERANSTALTUNG:Testfest;Teststadt;50;HANDZEIT;\n"
            u"ABSCHNITT:1;05.06.2026;;;10:00;;\n"_s +
            event + ranking + u"MELDEGELD:Einzelmeldegeld;3,00;;\n"_s + tail)
        .toUtf8();
}
const QString Format7 = u"FORMAT:Wettkampfdefinitionsliste;7;\n"_s;
const QString Event1 = u"WETTKAMPF:1;E;1;;100;F;GL;W;SW;;;\n"_s;
const QString Ranking1 = u"WERTUNG:1;E;1;JG;2010;2012;;Jahrgänge 2010 bis 2012;\n"_s;

QStringList linesOf(const QByteArray& bytes) {
    QStringList lines = QString::fromUtf8(bytes).split(u"\r\n"_s);
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestDsv7 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        PinCurrentYear(2026);
        PinDecimalSeparator(',');
    }
    void cleanupTestCase() {
        PinCurrentYear(0);
        PinDecimalSeparator(0);
    }

    void read_sampleInvitation_givesHostsMeetSectionsAndEvents() {
        QStringList warnings;
        const TInvitation invitation =
            ReadDsv7Invitation(readData(u"2026-12-13-Musterst-Wk.DSV7"_s), &warnings);
        QCOMPARE(warnings, QStringList());
        QCOMPARE(invitation.Name, u"Nikolausschwimmfest 2026"_s);
        QCOMPARE(invitation.City, u"Musterstadt"_s);
        QCOMPARE(invitation.Organizer, u"Schwimmbezirk Musterland & Umland"_s);
        QCOMPARE(invitation.HostClub, u"SC Delphin Musterstadt"_s);
        QCOMPARE(invitation.Nation, u"GER"_s);
        QCOMPARE(invitation.LaneLength, 25);
        QCOMPARE(invitation.Course, u"SCM"_s);
        QCOMPARE(invitation.Timing, u"AUTOMATISCH"_s);
        QCOMPARE(invitation.FeeIndividualCents, 600);
        QCOMPARE(invitation.FeeRelayCents, 1000);

        QStringList sessions;
        for (const TInvitationSession& session : invitation.Sessions)
            sessions << describe(session);
        QCOMPARE(sessions, QStringList({
                               u"1 12.12.2026 Beginn 09:00 Einlass 08:00 KaRi 08:30 relativ nein"_s,
                               u"2 12.12.2026 Beginn  Einlass  KaRi  relativ 01:00"_s,
                               u"3 13.12.2026 Beginn 09:00 Einlass 08:00 KaRi 08:30 relativ nein"_s,
                           }));

        QStringList events;
        for (const TInvitationEvent& event : invitation.Events)
            events << describe(event);
        QCOMPARE(events,
                 QStringList({
                     u"1 E Abschnitt 1 1x100 Freistil ganz w Geld -1 JG 1900-2014 aus "_s,
                     u"2 E Abschnitt 1 1x100 Freistil ganz m Geld -1 JG 1900-2014 aus "_s,
                     u"3 E Abschnitt 1 1x50 Rücken ganz mixed Geld 500 JG 2016-2018 aus "_s,
                     u"4 E Abschnitt 1 4x50 Freistil ganz mixed Geld -1 JG 2013-2016 aus "_s,
                     u"5 V Abschnitt 1 1x50 Schmetterling ganz m Geld 500 JG 1900-0 aus "_s,
                     u"6 E Abschnitt 2 1x200 Brust ganz w Geld 800 JG 2012-2015 aus "_s,
                     u"7 E Abschnitt 2 4x50 Lagen ganz m Geld -1 JG 2012-0 aus "_s,
                     u"105 F Abschnitt 2 1x50 Schmetterling ganz m Geld 0 JG 1900-0 aus 5"_s,
                     u"8 E Abschnitt 3 1x100 Brust ganz w Geld -1 JG 2014-2015 aus "_s,
                     u"9 E Abschnitt 3 1x100 Brust ganz m Geld -1 JG 2014-2015 aus "_s,
                     u"10 E Abschnitt 3 1x50 Freistil Beine mixed Geld 450 JG 2016-2018 aus "_s,
                 }));
        QVERIFY(invitation.Events[4].IsEntryEvent());
        QVERIFY(!invitation.Events[7].IsEntryEvent());
    }

    void import_sampleInvitation_givesExpectedExchangeFile() {
        TMeldeAustausch model;
        ImportInvitation(ReadDsv7Invitation(readData(u"2026-12-13-Musterst-Wk.DSV7"_s)), model);
        QCOMPARE(utf16(model.CompName), u"Nikolausschwimmfest 2026"_s);
        QCOMPARE(utf16(model.Veranstalter), u"Schwimmbezirk Musterland & Umland"_s);
        QCOMPARE(utf16(model.Ausrichter), u"SC Delphin Musterstadt"_s);
        QCOMPARE(utf16(model.Place), u"Musterstadt"_s);
        QCOMPARE(utf16(model.Date1), u"12.12.2026"_s);
        QCOMPARE(utf16(model.Date2), u"13.12.2026"_s);
        QCOMPARE(model.LaneLen, 25);
        QCOMPARE(model.AbsCnt, 3);

        QStringList sections;
        for (int s = 1; s <= model.AbsCnt; ++s)
            sections << utf16(model.GetPeriodDate(s) + "|" + model.GetPeriodTime(s) + "|" +
                              model.GetPeriodInt(s) + "|" + model.GetPeriodWarmUp(s) + "|" +
                              model.GetPeriodKari(s));
        QCOMPARE(sections, QStringList({u"12.12.2026|09:00|08:00|08:00|08:30"_s,
                                        u"12.12.2026|  :  |  :  |  :  |  :  "_s,
                                        u"13.12.2026|09:00|08:00|08:00|08:30"_s}));

        QStringList events;
        for (int i = 1; i <= model.EventCount(); ++i) {
            const TEventRecord& e = model.Event(i);
            events << u"%1|%2|%3|%4|%5|%6|%7|%8"_s.arg(utf16(TMeldeAustausch::WkNrToText(e.WkNr)))
                          .arg(e.Period)
                          .arg(utf16(e.Name), QStringList({u"M"_s, u"F"_s, u"X"_s}).value(e.Sex))
                          .arg(int(e.Staffel))
                          .arg(e.EarliestBirthYear)
                          .arg(e.LatestBirthYear)
                          .arg(e.Fee);
        }
        QCOMPARE(events, QStringList({
                             u"1|1|100m Freistil weiblich|F|0|1900|2014|6"_s,
                             u"2|1|100m Freistil männlich|M|0|1900|2014|6"_s,
                             u"3|1|50m Rücken offen|X|0|2016|2018|5"_s,
                             u"4|1|4x50m Freistil mixed|X|1|2013|2016|10"_s,
                             u"5|1|50m Schmetterling männlich|M|0|1900|2026|5"_s,
                             u"6|2|200m Brust weiblich|F|0|2012|2015|8"_s,
                             u"7|2|4x50m Lagen männlich|M|1|2012|2026|10"_s,
                             u"8|3|100m Brust weiblich|F|0|2014|2015|6"_s,
                             u"9|3|100m Brust männlich|M|0|2014|2015|6"_s,
                             u"10|3|50m Freistil Beine offen|X|0|2016|2018|4.5"_s,
                         }));
        // The fee reaches the file with the user's decimal separator.
        QVERIFY(QString::fromLatin1(model.ToFileText()).contains(u"<FEE>4,5</FEE>"_s));
    }

    void import_thirteenSections_isRefusedNamingTheCount() {
        QString sections;
        for (int s = 1; s <= 13; ++s)
            sections += u"ABSCHNITT:%1;05.06.2026;;;10:00;;\n"_s.arg(s);
        QByteArray bytes = smallList(Format7, Event1, Ranking1);
        bytes.replace("ABSCHNITT:1;05.06.2026;;;10:00;;\n", sections.toUtf8());
        TMeldeAustausch model;
        try {
            ImportInvitation(ReadDsv7Invitation(bytes), model);
            QFAIL("imported without complaint");
        } catch (const TInteropError& error) {
            QVERIFY2(error.Text().contains(u"13 Abschnitte"_s), qPrintable(error.Text()));
        }
        QCOMPARE(model.EventCount(), 0);
    }

    // Files as hosts' programs write them, each with the first event as it is read.
    void read_hostsVariants_areUnderstood_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("warnings");
        const QString plainEvent =
            u"1 E Abschnitt 1 1x100 Freistil ganz w Geld -1 JG 2010-2012 aus "_s;

        QByteArray ansiFile = smallList(Format7, Event1, Ranking1);
        ansiFile.replace("Testfest", "Fr\xFChjahrsfest");
        QTest::newRow("Windows-1252") << ansiFile << u"Frühjahrsfest"_s << plainEvent << 0;

        QByteArray styled =
            "\xEF\xBB\xBF" + smallList(u"(* Kommentar vor FORMAT *)\r"
                                       u"FORMAT: WETTKAMPFDEFINITIONSLISTE ; 7 ;\r"_s,
                                       u"WETTKAMPF: 1; E; 1; ; 100; F; GL; W; SW; ; ;"
                                       u" (* 100m Freistil *)\r"_s,
                                       u"\r\r"_s + Ranking1);
        styled.replace('\n', '\r');
        QTest::newRow("BOM, CR, capitals, blanks, comments")
            << styled << u"Testfest"_s << plainEvent << 0;

        QTest::newRow("Format 8")
            << smallList(u"FORMAT:Wettkampfdefinitionsliste;8;\n"
                         u"BANKVERBINDUNG:Testbank;DE00123456780000000000;TESTDEFFXXX;TV Test;\n"
                         u"LASTSCHRIFT:J;\n"_s,
                         u"WETTKAMPF:1;E;1;;50;S;KB;X;SW;;;\n"_s,
                         u"WERTUNG:1;E;1;JG;2010;2012;;Jahrgänge 2010 bis 2012;\n"
                         u"MELDEGELD:Teilnehmermeldegeld;2,00;;\n"
                         u"MELDEGELD:Abschnittspauschale;20,00;;\n"_s)
            << u"Testfest"_s
            << u"1 E Abschnitt 1 1x50 Schmetterling Beine mixed Geld -1 JG 2010-2012 aus "_s << 0;

        QTest::newRow("Format 8 kicks with another stroke")
            << smallList(u"FORMAT:Wettkampfdefinitionsliste;8;\n"_s,
                         u"WETTKAMPF:1;E;1;;25;R;KR;W;KG;;;\n"_s, Ranking1)
            << u"Testfest"_s << u"1 E Abschnitt 1 1x25 Rücken Beine w Geld -1 JG 2010-2012 aus "_s
            << 1;
        QTest::newRow("masters classes")
            << smallList(Format7, Event1, u"WERTUNG:1;E;1;AK;30;25;;AK 25 bis 30;\n"_s)
            << u"Testfest"_s << u"1 E Abschnitt 1 1x100 Freistil ganz w Geld -1 JG 1992-2001 aus "_s
            << 0;
        QTest::newRow("letter class opens the event")
            << smallList(Format7, Event1,
                         u"WERTUNG:1;E;1;AK;C;;;Jugend C;\nWERTUNG:1;E;2;JG;2010;2012;;Jg;\n"_s)
            << u"Testfest"_s << u"1 E Abschnitt 1 1x100 Freistil ganz w Geld -1 JG 1900-0 aus "_s
            << 1;
        QTest::newRow("open classes and empty upper bound")
            << smallList(
                   Format7, Event1,
                   u"WERTUNG:1;E;1;JG;2011;;;Jg 2011;\nWERTUNG:1;E;2;JG;0;2009;;Jg 2009 und älter;\n"_s)
            << u"Testfest"_s << u"1 E Abschnitt 1 1x100 Freistil ganz w Geld -1 JG 1900-2011 aus "_s
            << 0;
        QTest::newRow("no ranking: every year")
            << smallList(Format7, Event1, QString()) << u"Testfest"_s
            << u"1 E Abschnitt 1 1x100 Freistil ganz w Geld -1 JG 1900-0 aus "_s << 0;
        QTest::newRow("unknown records, last semicolon missing, text after DATEIENDE")
            << smallList(Format7, u"NEUERDATENSATZ:x;y;\nWETTKAMPF:1;E;1;;100;F;GL;W;SW"_s + u'\n',
                         Ranking1, u"DATEIENDE\nkein Datensatz\n"_s)
            << u"Testfest"_s << plainEvent << 0;
        QTest::newRow("events in the sections' order")
            << smallList(Format7,
                         u"ABSCHNITT:2;06.06.2026;;;10:00;;\n"
                         u"WETTKAMPF:9;E;2;;50;R;GL;W;SW;;;\n"_s +
                             Event1,
                         Ranking1)
            << u"Testfest"_s << plainEvent << 0;
        QTest::newRow("ranking of another round")
            << smallList(Format7, Event1, u"WERTUNG:1;F;1;JG;2010;2012;;Finale;\n"_s)
            << u"Testfest"_s << u"1 E Abschnitt 1 1x100 Freistil ganz w Geld -1 JG 1900-0 aus "_s
            << 0;
    }
    void read_hostsVariants_areUnderstood() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QString, event);
        QFETCH(int, warnings);
        QStringList told;
        const TInvitation invitation = ReadDsv7Invitation(bytes, &told);
        QCOMPARE(invitation.Name, name);
        QCOMPARE(describe(invitation.Events.at(0)), event);
        QCOMPARE(invitation.FeeIndividualCents, 300);
        QCOMPARE(told.size(), warnings);
    }

    void read_faultyFile_namesLineAndRecord_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("no record")
            << smallList(Format7, u"WETTKAMPF 1;E;1;;100;F;GL;W;SW;;;\n"_s, Ranking1)
            << u"Zeile 4: „WETTKAMPF 1;E;1;;100;F;GL;W;SW;;;“ ist kein Datensatz"_s;
        QTest::newRow("unknown stroke")
            << smallList(Format7, u"WETTKAMPF:7;E;1;;100;Q;GL;W;SW;;;\n"_s, QString())
            << u"Zeile 4 (WETTKAMPF): Wettkampf 7: unbekannte Technik „Q“"_s;
        QTest::newRow("unknown technique")
            << smallList(Format7, u"WETTKAMPF:7;E;1;;100;F;ZZ;W;SW;;;\n"_s, QString())
            << u"Zeile 4 (WETTKAMPF): Wettkampf 7: unbekannte Ausübung „ZZ“"_s;
        QTest::newRow("unknown sex")
            << smallList(Format7, u"WETTKAMPF:7;E;1;;100;F;GL;Q;SW;;;\n"_s, QString())
            << u"Zeile 4 (WETTKAMPF): Wettkampf 7: unbekanntes Geschlecht „Q“"_s;
        // A file cut off on its way, wherever: nothing of it is taken.
        for (const int kept : {1, 4, 6}) {
            const QByteArray whole = smallList(Format7, Event1, Ranking1);
            QTest::addRow("cut after line %d", kept)
                << whole.split('\n').mid(0, kept).join('\n') + '\n'
                << u"Die Datei ist unvollständig: sie endet ohne DATEIENDE (nach Zeile %1), "
                   u"nichts übernommen"_s.arg(kept);
        }
        QTest::newRow("event number")
            << smallList(Format7, u"WETTKAMPF:7a;E;1;;100;F;GL;W;SW;;;\n"_s, QString())
            << u"Zeile 4 (WETTKAMPF): Wettkampfnummer „7a“ ist keine Zahl"_s;
        QTest::newRow("section missing")
            << smallList(Format7, u"WETTKAMPF:7;E;2;;100;F;GL;W;SW;;;\n"_s, QString())
            << u"Zeile 4 (WETTKAMPF): Wettkampf 7: Abschnitt 2 fehlt"_s;
        QTest::newRow("event twice")
            << smallList(Format7, Event1 + u"WETTKAMPF:1;E;1;;50;R;GL;W;SW;;;\n"_s, QString())
            << u"Zeile 5 (WETTKAMPF): Wettkampf 1 (E) ist doppelt"_s;
        QTest::newRow("birth year")
            << smallList(Format7, Event1, u"WERTUNG:1;E;1;JG;2010;20x2;;Jg;\n"_s)
            << u"Zeile 5 (WERTUNG): Wettkampf 1: Jahrgang „20x2“ ist keine Zahl"_s;
        QTest::newRow("ranking class")
            << smallList(Format7, Event1, u"WERTUNG:1;E;1;XY;2010;2012;;Jg;\n"_s)
            << u"Zeile 5 (WERTUNG): Wettkampf 1: unbekannte Wertungsklasse „XY“"_s;
        QTest::newRow("masters class beyond the years")
            << smallList(Format7, Event1, u"WERTUNG:1;E;1;AK;200;;;AK 200;\n"_s)
            << u"Zeile 5 (WERTUNG): Wettkampf 1: Altersklasse 200 ergibt im Jahr 2026 keinen "
               u"Jahrgang"_s;
        QTest::newRow("fee") << smallList(Format7, Event1, u"MELDEGELD:Wkmeldegeld;3 Euro;1;\n"_s)
                             << u"Zeile 5 (MELDEGELD): Betrag „3 Euro“ ist kein Eurobetrag"_s;
        QTest::newRow("another list")
            << smallList(u"FORMAT:Startliste;7;\n"_s, Event1, Ranking1)
            << u"Zeile 1 (FORMAT): „Startliste“ ist keine Wettkampfdefinitionsliste"_s;
        QTest::newRow("version") << smallList(u"FORMAT:Wettkampfdefinitionsliste;6;\n"_s, Event1,
                                              Ranking1)
                                 << u"Zeile 1 (FORMAT): Version „6“ wird nicht unterstützt"_s;
        QTest::newRow("FORMAT not first")
            << smallList(QString(), Event1, Ranking1)
            << u"Keine DSV-Datei: der erste Datensatz ist nicht FORMAT"_s;
        QByteArray badDate = smallList(Format7, Event1, Ranking1);
        badDate.replace("05.06.2026", "5.6.26");
        QTest::newRow("date") << badDate
                              << u"Zeile 3 (ABSCHNITT): Datum „5.6.26“ ist kein TT.MM.JJJJ"_s;
        QByteArray badTime = smallList(Format7, Event1, Ranking1);
        badTime.replace("10:00", "25:00");
        QTest::newRow("time") << badTime
                              << u"Zeile 3 (ABSCHNITT): Uhrzeit „25:00“ ist kein HH:MM"_s;
        QByteArray twice = smallList(Format7, Event1, Ranking1);
        twice.replace("ABSCHNITT:1;05.06.2026;;;10:00;;\n",
                      "ABSCHNITT:1;05.06.2026;;;10:00;;\nABSCHNITT:1;06.06.2026;;;10:00;;\n");
        QTest::newRow("section twice")
            << twice << u"Zeile 4 (ABSCHNITT): Abschnitt 1 ist doppelt"_s;
        QTest::newRow("no event")
            << smallList(Format7, QString(), QString())
            << u"Die Wettkampfdefinitionsliste enthält keinen Wettkampf (WETTKAMPF)"_s;
    }
    void read_faultyFile_namesLineAndRecord() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        try {
            ReadDsv7Invitation(bytes);
            QFAIL("read without complaint");
        } catch (const TInteropError& error) {
            QCOMPARE(error.Text(), message);
        }
    }

    void write_sampleClub_givesSampleEntries() {
        const TInvitation invitation =
            ReadDsv7Invitation(readData(u"2026-12-13-Musterst-Wk.DSV7"_s));
        // The club works on the exchange file imported from the invitation.
        TMeldeAustausch club;
        ImportInvitation(invitation, club);
        enterSampleClub(club);
        // The relay swimmers come from the companion file, each one a swimmer of the club.
        TCompanion companion;
        companion.LineUps.push_back({4000,
                                     "Staffel, 1",
                                     {{toAnsi(u"Groß, Ben"_s), 2014, 0, "900104"},
                                      {"Sommer, Lea", 2013, 1, "900101"},
                                      {"Wolf, Noah", 2015, 0, ""},
                                      {"Herbst, Mia", 2016, 1, "900105"}}});
        QStringList warnings;
        const QStringList written =
            linesOf(WriteDsv7Entries(club, invitation, &warnings, companion));
        QCOMPARE(warnings, QStringList());

        // The sample marks one clock-time section with an explicit N.
        QStringList expected = linesOf(readData(u"2026-12-13-Musterst-SVBlauWeissBeisp-Me.DSV7"_s));
        // The host's explicit one swimmer per start goes the way of the empty field too.
        expected.replaceInStrings(u"WETTKAMPF:10;E;3;1;"_s, u"WETTKAMPF:10;E;3;;"_s);
        expected.replaceInStrings(u"ABSCHNITT:3;13.12.2026;09:00;N;"_s,
                                  u"ABSCHNITT:3;13.12.2026;09:00;;"_s);
        expected.replaceInStrings(u"ERZEUGER:NtbMelde;1.0;info@example.org;"_s,
                                  u"ERZEUGER:NtbMelde;1.0.0;support@ntbmelde.example;"_s);
        for (int i = 0; i < std::max(written.size(), expected.size()); ++i)
            QCOMPARE(written.value(i), expected.value(i));
    }

    // The Vereinsmeldeliste in the version of the host's invitation, else of the year; Format 8
    // keeps its own codes (kicks on the front, events for diverse swimmers) and the club's
    // direct-debit field.
    void write_version_followsInvitationElseYear_data() {
        QTest::addColumn<QString>("invitationFile"); // empty: no invitation kept
        QTest::addColumn<int>("year");
        QTest::addColumn<QStringList>("expected");
        const QString wk7 = u"2026-12-13-Musterst-Wk.DSV7"_s;
        const QStringList format7 = {u"FORMAT:Vereinsmeldeliste;7;"_s,
                                     u"VEREIN:SV Probe;1234;9;GER;"_s};
        const QStringList format8 = {
            u"FORMAT:Vereinsmeldeliste;8;"_s, u"WETTKAMPF:3;E;1;;25;S;KB;X;;;"_s,
            u"WETTKAMPF:7;E;2;;25;S;KR;X;;;"_s, u"WETTKAMPF:9;E;2;;50;F;GL;D;;;"_s,
            u"VEREIN:SV Probe;1234;9;GER;N;"_s};
        QTest::newRow("Format 7 invitation in 2027") << wk7 << 2027 << format7;
        QTest::newRow("packed Format 8 invitation in 2026")
            << u"2027-03-14-Musterst-Wk.DSV8z"_s << 2026 << format8;
        QTest::newRow("none in 2026") << QString() << 2026 << format7;
        QTest::newRow("none from 2027")
            << QString() << 2027
            << QStringList{u"FORMAT:Vereinsmeldeliste;8;"_s, u"VEREIN:SV Probe;1234;9;GER;N;"_s};
    }
    void write_version_followsInvitationElseYear() {
        QFETCH(QString, invitationFile);
        QFETCH(int, year);
        QFETCH(QStringList, expected);
        const QString source =
            invitationFile.isEmpty() ? u"2026-12-13-Musterst-Wk.DSV7"_s : invitationFile;
        const TInvitation host = ReadInvitationFile((InteropDataDir + source).toStdString());
        CompetitionBuilder club;
        ImportInvitation(host, club.model);
        club.model.ClubName = "SV Probe";
        club.model.ClubId = "1234";
        club.model.Verband = 9;
        club.model.Fina = "GER";
        club.model.EMail = "probe@example.org";
        club.nomin(u"Probe, Pia"_s, 2014, "1", NoTime, 1);
        PinCurrentYear(year);
        const TInvitation invitation =
            invitationFile.isEmpty() ? InvitationFromModel(club.model) : host;
        const QStringList written = linesOf(WriteDsv7Entries(club.model, invitation));
        PinCurrentYear(2026);
        for (const QString& line : expected)
            QVERIFY2(written.contains(line),
                     qPrintable(line + u" fehlt in\n"_s + written.join(u'\n')));
    }

    // The nominated officials and the trainer after the contact, each official followed by
    // his sections as the host numbers them; a section the invitation lacks is left out and
    // said, and so is an official left without any.
    void write_staff_data() {
        QTest::addColumn<QString>("source"); // the invitation; empty: Lenex, sessions 5 and 7
        QTest::addColumn<int>("krausSecond");
        QTest::addColumn<int>("rauSection");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QStringList>("notes");
        QTest::newRow("Format 7") << u"2026-12-13-Musterst-Wk.DSV7"_s << 3 << 2
                                  << QStringList{u"KARIMELDUNG:1;Kraus, Martina;WKR;"_s,
                                                 u"KARIABSCHNITT:1;1;ZN;"_s,
                                                 u"KARIABSCHNITT:1;3;;"_s,
                                                 u"KARIMELDUNG:2;Rau, Kim;SPR;"_s,
                                                 u"KARIABSCHNITT:2;2;;"_s,
                                                 u"TRAINER:1;Falk, Sabine;"_s}
                                  << QStringList();
        QTest::newRow("Format 8 of two sections")
            << u"2027-03-14-Musterst-Wk.DSV8z"_s << 3 << 3
            << QStringList{u"KARIMELDUNG:1;Kraus, Martina;WKR;W;"_s, u"KARIABSCHNITT:1;1;ZN;"_s,
                           u"TRAINER:1;Falk, Sabine;W;"_s}
            << QStringList{u"Kampfrichter Kraus, Martina: Abschnitt 3 gibt es in der "
                           u"Ausschreibung nicht; ohne ihn gemeldet"_s,
                           u"Kampfrichter Rau, Kim: Abschnitt 3 gibt es in der Ausschreibung "
                           u"nicht; nicht gemeldet"_s};
        QTest::newRow("host's own session numbers")
            << QString() << 2 << 1 << QStringList{u"KARIMELDUNG:1;Kraus, Martina;WKR;"_s,
                                                  u"KARIABSCHNITT:1;5;ZN;"_s,
                                                  u"KARIABSCHNITT:1;7;;"_s,
                                                  u"KARIMELDUNG:2;Rau, Kim;SPR;"_s,
                                                  u"KARIABSCHNITT:2;5;;"_s,
                                                  u"TRAINER:1;Falk, Sabine;"_s}
            << QStringList();
    }
    void write_staff() {
        QFETCH(QString, source);
        QFETCH(int, krausSecond);
        QFETCH(int, rauSection);
        QFETCH(QStringList, records);
        QFETCH(QStringList, notes);
        const TInvitation invitation =
            source.isEmpty() ? ReadLenexInvitation(lenexMeet(
                                   lenexSession(5, u"2026-06-06"_s, u"09:00"_s, lenexEvent(1)) +
                                   lenexSession(7, u"2026-06-06"_s, u"15:00"_s, lenexEvent(2))))
                             : ReadInvitationFile((InteropDataDir + source).toStdString());
        CompetitionBuilder club;
        ImportInvitation(invitation, club.model);
        club.model.ClubName = "SV Probe";
        club.model.EMail = "probe@example.org";
        club.model.Person = "Probe, Pia";
        club.model.Fina = "GER";
        club.model.ClubId = "1234";
        club.nomin(u"Probe, Pia"_s, 2014, "1", NoTime, 1);
        const TCompanion companion{
            {{"Kraus, Martina", "4711", "WKR", "W", {{1, "ZN"}, {krausSecond, ""}}},
             {"Rau, Kim", "815", "SPR", "D", {{rauSection, ""}}}},
            {},
            {{"Falk, Sabine", "W"}}};
        const QByteArray bytes = WriteDsv7Entries(club.model, invitation, nullptr, companion);
        const QStringList written = linesOf(bytes);
        const qsizetype contact = written.indexOf(QRegularExpression(u"ANSPRECHPARTNER:.*"_s));
        QCOMPARE(written.mid(contact + 1, records.size()), records);
        QVERIFY(written.value(contact + records.size() + 1).startsWith(u"PNMELDUNG:"_s));
        QVERIFY(written.value(contact + records.size() + 1).endsWith(u";;1;;;;"_s));
        std::vector<std::pair<QString, QStringList>> parsed;
        QCOMPARE(ruleBreaches(bytes, parsed).join(u"\n"_s), QString());
        QStringList said;
        CollectStaff(companion, invitation, &said);
        QCOMPARE(said, notes);
    }

    // A Lenex invitation in DSV terms: manual timing is Handzeit, a session without start
    // time never starts at 00:00, and a final sharing its heat's number is left out.
    void write_fromLenexInvitation_convertsWhatDsvCannotSay_data() {
        QTest::addColumn<QString>("timing");
        QTest::addColumn<QString>("dayTime");
        QTest::addColumn<QString>("finalNumber");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("absent"); // no line starts with it
        QTest::newRow("manual timing")
            << u"MANUAL2"_s << u"09:00"_s << u"105"_s
            << QStringList{u"VERANSTALTUNG:Testfest;Teststadt;50;HANDZEIT;"_s,
                           u"WETTKAMPF:105;F;1;;100;F;GL;W;1;V;"_s}
            << u"ABSCHNITT:1;02.05.2026;00:00"_s;
        QTest::newRow("no start time")
            << u"AUTOMATIC"_s << QString() << u"105"_s
            << QStringList{u"VERANSTALTUNG:Testfest;Teststadt;50;AUTOMATISCH;"_s,
                           u"ABSCHNITT:1;02.05.2026;;;"_s}
            << u"ABSCHNITT:1;02.05.2026;00:00"_s;
        QTest::newRow("final with the heat's number")
            << u"SEMIAUTOMATIC"_s << u"09:00"_s << u"1"_s
            << QStringList{u"VERANSTALTUNG:Testfest;Teststadt;50;HALBAUTOMATISCH;"_s,
                           u"WETTKAMPF:1;V;1;;100;F;GL;W;;;"_s}
            << u"WETTKAMPF:1;F;"_s;
    }
    void write_fromLenexInvitation_convertsWhatDsvCannotSay() {
        QFETCH(QString, timing);
        QFETCH(QString, dayTime);
        QFETCH(QString, finalNumber);
        QFETCH(QStringList, expected);
        QFETCH(QString, absent);
        const QString events =
            u"<EVENT eventid=\"11\" number=\"1\" gender=\"F\" round=\"PRE\"><SWIMSTYLE "
            u"distance=\"100\" relaycount=\"1\" stroke=\"FREE\"/></EVENT>"
            u"<EVENT eventid=\"12\" number=\"%1\" gender=\"F\" round=\"FIN\" "
            u"preveventid=\"11\"><SWIMSTYLE distance=\"100\" relaycount=\"1\" "
            u"stroke=\"FREE\"/></EVENT>"_s.arg(finalNumber);
        QString session =
            u"<SESSION number=\"1\" date=\"2026-05-02\"%1><EVENTS>%2</EVENTS>"
            u"</SESSION>"_s.arg(dayTime.isEmpty() ? QString() : u" daytime=\"%1\""_s.arg(dayTime),
                                events);
        const TInvitation invitation =
            ReadLenexInvitation(lenexMeet(session, u"timing=\"%1\""_s.arg(timing)));
        CompetitionBuilder club;
        ImportInvitation(invitation, club.model);
        club.model.ClubName = "SV Probe";
        club.model.ClubId = "1234";
        club.model.EMail = "probe@example.org";
        club.nomin(u"Probe, Pia"_s, 2014, "1", NoTime, 1);
        const QStringList written = linesOf(WriteDsv7Entries(club.model, invitation));
        for (const QString& line : expected)
            QVERIFY2(written.contains(line),
                     qPrintable(line + u" fehlt in\n"_s + written.join(u'\n')));
        QVERIFY2(written.filter(QRegularExpression(u"^"_s + QRegularExpression::escape(absent)))
                     .isEmpty(),
                 qPrintable(written.join(u'\n')));
    }

    void write_everyNomination_followsRecordRules() {
        const TInvitation invitation =
            ReadDsv7Invitation(readData(u"2026-12-13-Musterst-Wk.DSV7"_s));
        CompetitionBuilder club;
        TMeldeAustausch& model = club.model;
        model.ClubName = ansi(u"TSV Probe; Abt. Schwimmen"_s);
        model.ClubId = "12a";
        model.Verband = 20;
        model.Fina = "GER";
        model.Person = ansi(u"Kühn, Lotte"_s);
        model.EMail = "lotte@example.org";
        club.nomin(u"Zander, Ida"_s, 2013, "1", 7001, 1, u"AB12"_s);
        club.nomin(u"Ahorn, Tim"_s, 2014, "2", NoTime, 0, u"1234567"_s);
        club.nomin(u"Zander, Ida"_s, 2012, "6", 24000, 1);
        club.nomin(u"Staffel, 2"_s, 2014, "4", NoTime, 2);
        club.nomin(u"Zander, Ida"_s, 2013, "3", 4000, 1, u"AB12"_s);
        club.nomin(u"Staffel, 1"_s, 2014, "4", 15000, 2);
        club.nomin(u"Ahorn, Tim"_s, 2014, "5", 599999, 0, u"1234567"_s);
        club.nomin(u"Staffel, 1"_s, 2012, "7", 17000, 0);

        QStringList warnings;
        const QByteArray bytes = WriteDsv7Entries(model, invitation, &warnings);
        QCOMPARE(warnings.size(), 2); // club number, association
        std::vector<std::pair<QString, QStringList>> records;
        QCOMPARE(ruleBreaches(bytes, records).join(u'\n'), QString());

        // Without an e-mail address the club is warned, and the one rule it breaks is that one.
        TMeldeAustausch withoutMail = model;
        withoutMail.EMail.clear();
        warnings.clear();
        std::vector<std::pair<QString, QStringList>> ignored;
        QCOMPARE(ruleBreaches(WriteDsv7Entries(withoutMail, invitation, &warnings), ignored),
                 QStringList({u"line 19: ANSPRECHPARTNER field 8 is \"\""_s}));
        QCOMPARE(warnings.size(), 3);

        // Each nomination exactly once, pointing at a swimmer or team of the file and at an
        // individual or relay event of the invitation.
        std::map<QString, QStringList> swimmers, teams;
        std::set<QString> individualEvents, relayEvents;
        std::multiset<QString> starts;
        for (const auto& [keyword, fields] : records) {
            if (keyword == u"WETTKAMPF")
                (fields[3].toInt() > 1 ? relayEvents : individualEvents).insert(fields[0]);
            else if (keyword == u"PNMELDUNG")
                QVERIFY(swimmers.emplace(fields[2], fields).second);
            else if (keyword == u"STMELDUNG")
                QVERIFY(!swimmers.count(fields[1]) && teams.emplace(fields[1], fields).second);
            else if (keyword == u"STARTPN") {
                QVERIFY(swimmers.count(fields[0]) && individualEvents.count(fields[1]));
                const QStringList& swimmer = swimmers[fields[0]];
                starts.insert(QStringList({swimmer[0], swimmer[4], swimmer[3], swimmer[1],
                                           fields[1], fields[2]})
                                  .join(u'|'));
            } else if (keyword == u"STARTST") {
                QVERIFY(teams.count(fields[0]) && relayEvents.count(fields[1]));
                const QStringList& team = teams[fields[0]];
                starts.insert(
                    QStringList({team[0], team[3], team[4], fields[1], fields[2]}).join(u'|'));
            }
        }
        const std::multiset<QString> expected = {
            u"Zander, Ida|2013|W|0|1|00:01:10,01"_s, u"Ahorn, Tim|2014|M|0|2|00:00:00,00"_s,
            u"Zander, Ida|2012|W|0|6|00:04:00,00"_s, u"Zander, Ida|2013|W|0|3|00:00:40,00"_s,
            u"Ahorn, Tim|2014|M|0|5|01:39:59,99"_s,  u"1|2013|2016|4|00:00:00,00"_s,
            u"2|2013|2016|4|00:02:30,00"_s,          u"1|2012|2026|7|00:02:50,00"_s};
        QCOMPARE(starts, expected);
        QCOMPARE(swimmers.size(), std::size_t(3));
        const auto verein = std::find_if(records.begin(), records.end(), [](const auto& record) {
            return record.first == u"VEREIN";
        });
        QCOMPARE(verein->second,
                 QStringList({u"TSV Probe, Abt. Schwimmen"_s, u"0"_s, u"0"_s, u"GER"_s}));
    }

    // Relay swimmers and a masters class keep the record rules; each leg names a swimmer of
    // the file, one swimming in two teams or alone too is one swimmer.
    void write_relaySwimmers_followRecordRules_data() {
        QTest::addColumn<QList<int>>("youthTeam");   // event 2
        QTest::addColumn<QList<int>>("maleTeam");    // event 3
        QTest::addColumn<QList<int>>("mastersTeam"); // event 4
        QTest::addColumn<int>("swimmers");
        QTest::addColumn<int>("legs");
        QTest::addColumn<int>("notes"); // a masters relay without its class
        QTest::newRow("youth and masters")
            << QList<int>{0, 1, 2, 3} << QList<int>() << QList<int>{5, 7, 0, 1} << 6 << 8 << 0;
        QTest::newRow("one swimmer in two events")
            << QList<int>{0, 1, 2, 3} << QList<int>{0, 1, 4, 6} << QList<int>() << 6 << 8 << 1;
        QTest::newRow("teams without names")
            << QList<int>() << QList<int>() << QList<int>() << 1 << 0 << 1;
    }
    void write_relaySwimmers_followRecordRules() {
        QFETCH(QList<int>, youthTeam);
        QFETCH(QList<int>, maleTeam);
        QFETCH(QList<int>, mastersTeam);
        QFETCH(int, swimmers);
        QFETCH(int, legs);
        QFETCH(int, notes);
        const TInvitation invitation = ReadDsv7Invitation(relayInvitationDsv());
        TCompanion companion;
        const auto name = [&](int event, const QString& team, const QList<int>& people) {
            TRelayLineUp named = lineUp(event, team, {});
            for (const int person : people)
                named.Swimmers.push_back(relaySwimmer(person));
            SetLineUp(companion, named);
        };
        name(2, u"TV Möwe 1"_s, youthTeam);
        name(3, u"TV Möwe 1"_s, maleTeam);
        name(4, u"TV Möwe Masters"_s, mastersTeam);
        std::vector<std::pair<QString, QStringList>> records;
        QStringList warnings;
        QCOMPARE(
            ruleBreaches(WriteDsv7Entries(relayCompetition(), invitation, &warnings, companion),
                         records)
                .join(u'\n'),
            QString());
        // Without any names the masters relay's note stands beside the club's own notes.
        QStringList unnamed;
        WriteDsv7Entries(relayCompetition(), invitation, &unnamed);
        QCOMPARE(warnings.size(), unnamed.size() - 1 + notes);
        std::set<QString> written;
        std::map<QString, QString> teamClasses;
        int legsWritten = 0;
        for (const auto& [keyword, fields] : records) {
            if (keyword == u"PNMELDUNG")
                written.insert(fields[2]);
            if (keyword == u"STAFFELPERSON") {
                QVERIFY(written.count(fields[2]));
                ++legsWritten;
            }
            if (keyword == u"STMELDUNG")
                teamClasses[fields[1]] = fields.mid(2, 4).join(u';');
            if (keyword == u"STARTST" && fields[1] == u"4")
                QCOMPARE(teamClasses[fields[0]], mastersTeam.isEmpty()
                                                     ? u"JG;1900;2026;TV Möwe Masters"_s
                                                     : u"AK;100+;;TV Möwe Masters"_s);
        }
        QCOMPARE(int(written.size()), swimmers);
        QCOMPARE(legsWritten, legs);
    }

    void entriesFileStem_followsNamingRule_data() {
        QTest::addColumn<QString>("club");
        QTest::addColumn<QString>("town");
        QTest::addColumn<QString>("stem");
        QTest::newRow("sample") << u"SV Blau-Weiß Beispielhausen"_s << u"Musterstadt"_s
                                << u"2026-12-13-Musterst-SVBlauWeissBeisp-Me"_s;
        QTest::newRow("umlauts, accents, signs") << u"SC Möwe e.V. (Kölln)"_s << u"Übach-Süd"_s
                                                 << u"2026-12-13-UebachSu-SCMoeweeVKoelln-Me"_s;
        QTest::newRow("short") << u"TuS 09"_s << u"Bad É"_s << u"2026-12-13-BadE-TuS09-Me"_s;
    }
    void entriesFileStem_followsNamingRule() {
        QFETCH(QString, club);
        QFETCH(QString, town);
        QFETCH(QString, stem);
        TInvitation invitation = ReadDsv7Invitation(readData(u"2026-12-13-Musterst-Wk.DSV7"_s));
        invitation.City = town;
        TMeldeAustausch model;
        model.ClubName = ansi(club);
        QCOMPARE(EntriesFileStem(model, invitation), stem);
    }
};

QTEST_GUILESS_MAIN(TestDsv7)
#include "tst_dsv7.moc"
