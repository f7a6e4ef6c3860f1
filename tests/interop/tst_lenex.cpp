// SPDX-License-Identifier: GPL-3.0-or-later
// A host's Lenex invitation turned into an exchange file, and the club's entries written back
// as Lenex: the invented sample meet, hand-made invitations with what real files carry, and
// everything either side cannot hold.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "atomicfile.h"
#include "competitionbuilder.h"
#include "environment.h"
#include "feereport.h"
#include "interopfiles.h"
#include "interopfixtures.h"
#include "lenex.h"
#include "lxfarchive.h"

using namespace Qt::Literals::StringLiterals;

namespace {

TMeldeAustausch importedSample() {
    TMeldeAustausch model;
    ImportInvitation(ReadInvitationFile((InteropDataDir + u"lenex-invitation.lxf"_s).toStdString()),
                     model);
    return model;
}

// Number, section, name, sex and relay flag of every event: what survives a round trip.
QStringList eventsOf(const TMeldeAustausch& model) {
    QStringList events;
    for (int position = 1; position <= model.EventCount(); ++position) {
        const TEventRecord& event = model.Event(position);
        events << u"%1|%2|%3|%4|%5"_s.arg(event.WkNr / 1000)
                      .arg(event.Period)
                      .arg(QString::fromStdString(AnsiToUtf8(event.Name)))
                      .arg(event.Sex)
                      .arg(event.Staffel);
    }
    return events;
}

QString importError(const QByteArray& lenex) {
    TMeldeAustausch model;
    model.CompName = "vorher";
    try {
        ImportInvitation(ReadLenexInvitation(lenex), model);
    } catch (const TInteropError& error) {
        if (model.CompName != "vorher" || model.EventCount() != 0)
            return u"model changed"_s;
        return error.Text();
    }
    return u"imported"_s;
}

QString exportError(const TMeldeAustausch& model, const TInvitation& invitation) {
    try {
        WriteLenexEntries(model, invitation);
    } catch (const TInteropError& error) {
        return error.Text();
    }
    return u"exported"_s;
}

} // namespace

class TestLenex : public QObject {
    Q_OBJECT
private slots:
    void init() {
        PinCurrentYear(2026);
        PinDecimalSeparator(',');
    }
    void cleanup() {
        PinCurrentYear(0);
        PinDecimalSeparator(0);
    }

    void import_sampleInvitation_givesTheHandCheckedExchangeFile_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("lef") << u"lenex-invitation.lef"_s;
        QTest::newRow("lxf") << u"lenex-invitation.lxf"_s;
    }
    void import_sampleInvitation_givesTheHandCheckedExchangeFile() {
        QFETCH(QString, file);
        TMeldeAustausch model;
        ImportInvitation(ReadInvitationFile((InteropDataDir + file).toStdString()), model);
        QCOMPARE(model.CompName, "Nikolausschwimmfest 2026");
        QCOMPARE(model.Veranstalter, "Schwimmbezirk Musterland & Umland");
        QCOMPARE(model.Ausrichter, "SC Delphin Musterstadt");
        QCOMPARE(model.Place, "Musterstadt");
        QCOMPARE(model.Date1, "12.12.2026");
        QCOMPARE(model.Date2, "13.12.2026");
        QCOMPARE(model.LaneLen, 25);
        QCOMPARE(model.AbsCnt, 3);
        const char* sections[][4] = {{"12.12.2026", "09:00", "08:00", "08:30"},
                                     {"12.12.2026", "14:00", "13:00", "13:30"},
                                     {"13.12.2026", "09:00", "08:00", "08:30"}};
        for (int s = 1; s <= 3; ++s) {
            QCOMPARE(model.GetPeriodDate(s), sections[s - 1][0]);
            QCOMPARE(model.GetPeriodTime(s), sections[s - 1][1]);
            QCOMPARE(model.GetPeriodInt(s), sections[s - 1][2]);
            QCOMPARE(model.GetPeriodWarmUp(s), sections[s - 1][2]);
            QCOMPARE(model.GetPeriodKari(s), sections[s - 1][3]);
        }
        struct Expected {
            int Number, Section;
            const char* Name;
            int Sex, Relay, EarliestBirthYear, LatestBirthYear;
            double Fee;
        };
        const Expected events[] = {
            {1, 1, "100m Freistil weiblich", 1, 0, 1900, 2014, 6},
            {2, 1, "100m Freistil männlich", 0, 0, 1900, 2014, 6},
            {3, 1, "50m Rücken offen", 2, 0, 2016, 2018, 5},
            {4, 1, "4x50m Freistil mixed", 2, 1, 2013, 2016, 10},
            {5, 1, "50m Schmetterling männlich", 0, 0, 1900, 2026, 5},
            {6, 2, "200m Brust weiblich", 1, 0, 2012, 2015, 8},
            {7, 2, "4x50m Lagen männlich", 0, 1, 2012, 2026, 0},
            {8, 3, "100m Brust weiblich", 1, 0, 2014, 2015, 6},
            {9, 3, "100m Brust männlich", 0, 0, 2014, 2015, 6},
            {10, 3, "50m Freistil Beine offen", 2, 0, 2016, 2018, 4.5},
        };
        QCOMPARE(model.EventCount(), 10);
        for (int i = 0; i < 10; ++i) {
            const TEventRecord& event = model.Event(i + 1);
            const Expected& expected = events[i];
            QCOMPARE(event.WkNr, expected.Number * 1000);
            QCOMPARE(event.Period, expected.Section);
            QCOMPARE(event.Name, toAnsi(QString::fromUtf8(expected.Name)));
            QCOMPARE(event.Sex, expected.Sex);
            QCOMPARE(event.Staffel, expected.Relay == 1);
            QCOMPARE(event.EarliestBirthYear, expected.EarliestBirthYear);
            QCOMPARE(event.LatestBirthYear, expected.LatestBirthYear);
            QCOMPARE(event.Fee, expected.Fee);
        }
        // The fee as the system writes decimals, and the year kept by the file's own reader.
        const std::string text = model.ToFileText();
        QVERIFY(text.find("<FEE>4,5</FEE>") != std::string::npos);
        TMeldeAustausch reread;
        reread.LoadFromText(text);
        QCOMPARE(reread.Event(5).LatestBirthYear, 2026);
    }

    // What real files carry: a byte-order mark, CR LF, a line break inside a value, vendor
    // elements and attributes, a style named by the host, rounds that are no entry events,
    // sessions numbered with gaps, and start times counted from the previous session.
    void import_handMadeInvitation_takesWhatRealFilesCarry() {
        const QString events1 =
            lenexEvent(1, u"gender=\"M\" vendor.flag=\"1\""_s) + u"<VENDOR><X/></VENDOR>"_s +
            lenexEvent(2, u"gender=\"A\" round=\"SEM\""_s) +
            lenexEvent(3, u"gender=\"A\""_s,
                       u"distance=\"50\" relaycount=\"1\" stroke=\"UNKNOWN\" "
                       "name=\"Kleiderschwimmen\""_s) +
            lenexEvent(4, u"gender=\"F\" round=\"TIMETRIAL\" preveventid=\"-1\""_s,
                       u"distance=\"25\" relaycount=\"1\" stroke=\"BACK\" technique=\"START\""_s);
        const QString events2 =
            lenexEvent(5, u"round=\"PRE\" preveventid=\"501\""_s) +
            lenexEvent(6, {}, u"distance=\"100\" relaycount=\"4\" stroke=\"IMRELAY\""_s);
        const QString events3 = lenexEvent(7, u"gender=\"X\""_s);
        QByteArray bytes =
            "\xEF\xBB\xBF" +
            lenexMeet(lenexSession(2, u"2026-03-07"_s, u"10:00"_s, events1) +
                          lenexSession(5, u"2026-03-07"_s, u"01:30"_s, events2) +
                          lenexSession(9, u"2026-03-08"_s, u"09:30"_s, events3),
                      u"organizer=\"Bezirk &amp;&#10;Co\" abc.nation2=\"XYZ\""_s,
                      u"<POOL lanemax=\"8\"/><FEES><FEE type=\"CLUB\" value=\"900\"/></FEES>"_s)
                .replace("\n", "\r\n")
                .replace("><", ">\r\n<");
        TMeldeAustausch model;
        ImportInvitation(ReadLenexInvitation(bytes), model);
        // Sessions 2, 5 and 9 become 1, 2 and 3: a gap would leave an empty section.
        QCOMPARE(eventsOf(model), QStringList({
                                      u"1|1|100m Freistil männlich|0|0"_s,
                                      u"3|1|50m Kleiderschwimmen offen|2|0"_s,
                                      u"4|1|25m Rücken Start weiblich|1|0"_s,
                                      u"6|2|4x100m Lagen mixed|2|1"_s,
                                      u"7|3|100m Freistil offen|2|0"_s,
                                  }));
        QCOMPARE(model.Veranstalter, "Bezirk & Co"); // the line break of the value is a blank
        QCOMPARE(model.LaneLen, 50);
        QCOMPARE(model.AbsCnt, 3);
        QCOMPARE(model.Event(1).Fee, 0.0);
        QCOMPARE(model.GetPeriodTime(1), "10:00");
        QCOMPARE(model.GetPeriodKari(1), "07:30");
        // "01:30" after a 10:00 start on the same day is a duration: no clock times.
        QCOMPARE(model.GetPeriodDate(2), "07.03.2026");
        QCOMPARE(model.GetPeriodTime(2), BlankPeriodTime);
        QCOMPARE(model.GetPeriodInt(2), BlankPeriodTime);
        QCOMPARE(model.GetPeriodKari(2), BlankPeriodTime);
        QCOMPARE(model.GetPeriodTime(3), "09:30");
        QCOMPARE(model.Date2, "08.03.2026");
    }

    // A host's style name that repeats the distance gives the distance once.
    void import_hostsStyleName_givesTheDistanceOnce_data() {
        QTest::addColumn<QString>("styleName");
        QTest::addColumn<QString>("eventName");
        QTest::newRow("number") << u"25 Rücken Beinschlag"_s << u"25m Rücken Beinschlag offen"_s;
        QTest::newRow("metres") << u"25m Rücken Beinschlag"_s << u"25m Rücken Beinschlag offen"_s;
        QTest::newRow("no distance") << u"Kleiderschwimmen"_s << u"25m Kleiderschwimmen offen"_s;
        QTest::newRow("another number") << u"50 Rücken"_s << u"25m 50 Rücken offen"_s;
    }
    void import_hostsStyleName_givesTheDistanceOnce() {
        QFETCH(QString, styleName);
        QFETCH(QString, eventName);
        const QString style =
            u"distance=\"25\" relaycount=\"1\" stroke=\"UNKNOWN\" name=\"%1\""_s.arg(styleName);
        TMeldeAustausch model;
        ImportInvitation(ReadLenexInvitation(lenexMeet(lenexSession(1, u"2026-05-02"_s, u"09:00"_s,
                                                                    lenexEvent(1, {}, style)))),
                         model);
        QCOMPARE(AnsiToQString(model.Event(1).Name), eventName);
    }

    void import_sectionNumbersOutsideTheSlots_areRenumberedInFileOrder() {
        const QString event = lenexEvent(1);
        const QByteArray bytes =
            lenexMeet(lenexSession(13, u"2026-05-02"_s, u"09:00"_s, event) +
                      lenexSession(0, u"2026-05-01"_s, u"15:00"_s, lenexEvent(2)) +
                      lenexSession(4, u"2026-05-03"_s, u"08:00"_s, lenexEvent(3)));
        TMeldeAustausch model;
        ImportInvitation(ReadLenexInvitation(bytes), model);
        QCOMPARE(model.AbsCnt, 3);
        QCOMPARE(model.GetPeriodDate(1), "02.05.2026");
        QCOMPARE(model.GetPeriodDate(2), "01.05.2026");
        QCOMPARE(model.GetPeriodDate(3), "03.05.2026");
        QCOMPARE(model.Event(2).Period, 2);
        QCOMPARE(model.Event(3).Period, 3);
        QCOMPARE(model.Date1, "01.05.2026");
        QCOMPARE(model.Date2, "03.05.2026");
    }

    void import_ageGroups_becomeBirthYears_data() {
        QTest::addColumn<QString>("ageDate");
        QTest::addColumn<QString>("groups");
        QTest::addColumn<int>("earliest");
        QTest::addColumn<int>("latest");
        const auto group = [](int min, int max, const char* extra = "") {
            return u"<AGEGROUP agegroupid=\"1\" agemin=\"%1\" agemax=\"%2\" %3/>"_s.arg(min)
                .arg(max)
                .arg(QString::fromLatin1(extra));
        };
        const QString year2025 = u"<AGEDATE type=\"YEAR\" value=\"2025-01-01\"/>"_s;
        QTest::newRow("years, one open upwards")
            << year2025 << group(12, 12) + group(13, 13) + group(14, -1) << 1900 << 2013;
        QTest::newRow("exact date keeps the partly admitted year")
            << u"<AGEDATE type=\"DATE\" value=\"2025-06-30\"/>"_s << group(10, 12) << 2012 << 2015;
        QTest::newRow("exact date on 31 December")
            << u"<AGEDATE type=\"DATE\" value=\"2025-12-31\"/>"_s << group(10, 12) << 2013 << 2015;
        QTest::newRow("no age date: first session's year")
            << QString() << group(10, 10) << 2016 << 2016;
        QTest::newRow("open group beside year groups")
            << year2025 << group(10, 10) + group(-1, -1) << 1900 << 2026;
        QTest::newRow("sum of a relay's ages limits nobody")
            << year2025 << group(40, 59, "calculate=\"TOTAL\"") << 1900 << 2026;
        QTest::newRow("no age groups") << year2025 << QString() << 1900 << 2026;
        QTest::newRow("older than 1900 allowed") << year2025 << group(20, 200) << 1900 << 2005;
    }
    void import_ageGroups_becomeBirthYears() {
        QFETCH(QString, ageDate);
        QFETCH(QString, groups);
        QFETCH(int, earliest);
        QFETCH(int, latest);
        const QString children =
            groups.isEmpty() ? QString() : u"<AGEGROUPS>"_s + groups + u"</AGEGROUPS>"_s;
        const QByteArray bytes =
            lenexMeet(lenexSession(1, u"2026-02-01"_s, u"09:00"_s,
                                   lenexEvent(1, {},
                                              u"distance=\"50\" relaycount=\"1\" "
                                              "stroke=\"FLY\""_s,
                                              children)),
                      {}, ageDate);
        TMeldeAustausch model;
        ImportInvitation(ReadLenexInvitation(bytes), model);
        QCOMPARE(model.Event(1).EarliestBirthYear, earliest);
        QCOMPARE(model.Event(1).LatestBirthYear, latest);
    }

    // Each refusal names what the exchange file cannot take, and the model stays as it was.
    void import_whatTheExchangeFileCannotHold_isRefused_data() {
        QTest::addColumn<QByteArray>("lenex");
        QTest::addColumn<QString>("reason");
        QString thirteen;
        for (int s = 1; s <= 13; ++s)
            thirteen += lenexSession(s, u"2026-04-%1"_s.arg(s, 2, 10, QChar(u'0')), u"09:00"_s,
                                     lenexEvent(s));
        QTest::newRow("13 sessions") << lenexMeet(thirteen)
                                     << u"Die Ausschreibung hat 13 Abschnitte; die "
                                        "Austauschdatei kann höchstens 12 aufnehmen"_s;
        const auto oneEvent = [](const QString& event, const QString& meetAttributes = {},
                                 const QString& meetChildren = {}) {
            return lenexMeet(lenexSession(1, u"2026-04-01"_s, u"09:00"_s, event), meetAttributes,
                             meetChildren);
        };
        QTest::newRow("unknown stroke")
            << oneEvent(lenexEvent(3, {}, u"distance=\"50\" relaycount=\"1\" stroke=\"APNEA\""_s))
            << u"Lenex-Datei, Zeile 2: Wettkampf 3: unbekannte Lage „APNEA“"_s;
        QTest::newRow("character no table renders")
            << oneEvent(lenexEvent(1), u"organizer=\"王 SC\""_s)
            << u"Veranstalter: das Zeichen „王“ (U+738B) gibt es in Windows-1252 nicht"_s;
        QTest::newRow("style name outside Windows-1252")
            << oneEvent(lenexEvent(2, {},
                                   u"distance=\"0\" relaycount=\"1\" stroke=\"UNKNOWN\" "
                                   "name=\"Flossen ≈ schnell\""_s))
            << u"Wettkampf 2: das Zeichen „≈“ (U+2248) gibt es in Windows-1252 nicht"_s;
        QTest::newRow("birth year after this year")
            << oneEvent(lenexEvent(4, {}, u"distance=\"25\" relaycount=\"1\" stroke=\"FREE\""_s,
                                   u"<AGEGROUPS><AGEGROUP agegroupid=\"1\" agemin=\"0\" "
                                   "agemax=\"6\"/></AGEGROUPS>"_s),
                        {}, u"<AGEDATE type=\"YEAR\" value=\"2027-01-01\"/>"_s)
            << u"Wettkampf 4: die Altersklassen ergeben den Jahrgang 2027, der nach dem "
               "laufenden Jahr 2026 liegt"_s;
        QTest::newRow("event number of six digits")
            << oneEvent(lenexEvent(100000))
            << u"Wettkampf 100000: die Austauschdatei kann nur Wettkampfnummern von 1 bis "
               "99999 aufnehmen"_s;
        QTest::newRow("age group upside down")
            << oneEvent(lenexEvent(5, {}, u"distance=\"25\" relaycount=\"1\" stroke=\"FREE\""_s,
                                   u"<AGEGROUPS><AGEGROUP agegroupid=\"1\" agemin=\"14\" "
                                   "agemax=\"12\"/></AGEGROUPS>"_s))
            << u"Lenex-Datei, Zeile 2: Wettkampf 5: Altersklasse 14 bis 12 ist unmöglich"_s;
        QTest::newRow("session number given twice")
            << lenexMeet(lenexSession(2, u"2026-05-02"_s, u"09:00"_s, lenexEvent(1)) +
                         lenexSession(1, u"2026-05-02"_s, u"14:00"_s, lenexEvent(2)) +
                         lenexSession(2, u"2026-05-03"_s, u"09:00"_s, lenexEvent(3)))
            << u"Lenex-Datei, Zeile 2: Abschnitt 2 kommt zweimal vor"_s;
        QTest::newRow("event without number")
            << oneEvent(u"<EVENT eventid=\"9\"><SWIMSTYLE distance=\"50\" relaycount=\"1\" "
                        "stroke=\"FREE\"/></EVENT>"_s)
            << u"Lenex-Datei, Zeile 2: EVENT ohne Attribut „number“"_s;
        QTest::newRow("damaged XML")
            << QByteArray("<?xml version=\"1.0\"?>\n<LENEX version=\"3.0\">\n<MEETS>\n<MEET>"
                          "</MEETS>")
            << u"Lenex-Datei, Zeile 4: die Datei ist kein fehlerfreies XML (XML: „Opening and "
               u"ending tag mismatch.“)"_s;
        QTest::newRow("cut off")
            << QByteArray("<?xml version=\"1.0\"?>\n<LENEX version=\"3.0\">\n<MEETS>\n<MEET>")
            << u"Lenex-Datei, Zeile 4: die Datei endet vorzeitig und ist unvollständig (XML: "
               u"„Premature end of document.“)"_s;
        QTest::newRow("other version")
            << QByteArray("<LENEX version=\"2.0\"/>")
            << u"Lenex-Datei, Zeile 1: Lenex-Version „2.0“ wird nicht unterstützt, nur 3.x"_s;
        QTest::newRow("no meet") << QByteArray("<LENEX version=\"3.0\"><MEETS/></LENEX>")
                                 << u"Lenex-Datei, Zeile 1: die Lenex-Datei enthält keine "
                                    "Veranstaltung (MEET)"_s;
    }
    void import_whatTheExchangeFileCannotHold_isRefused() {
        QFETCH(QByteArray, lenex);
        QFETCH(QString, reason);
        QCOMPARE(importError(lenex), reason);
    }

    // The entries of the club exported against the sample invitation are the sample entries
    // file (its relay swimmers aside, which the exchange file does not know).
    void export_withKeptInvitation_reproducesTheSampleEntries() {
        TMeldeAustausch model = importedSample();
        enterSampleClub(model);
        model.SortNominByName();
        const TInvitation invitation =
            ReadInvitationFile((InteropDataDir + u"lenex-invitation.lef"_s).toStdString());
        const QByteArray written = WriteLenexEntries(model, invitation);
        QVERIFY(written.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        QCOMPARE(lenexStructureBreaches(written), QStringList());
        const QStringList skipped = {u"CONSTRUCTOR"_s, u"RELAYPOSITIONS"_s, u"AGEDATE"_s,
                                     u"AGEGROUPS"_s};
        QCOMPARE(flattenLenex(written, skipped),
                 flattenLenex(readFileBytes(InteropDataDir + u"lenex-entries.lef"_s), skipped));
        // The invitation's age groups and age date come back as they were.
        const QByteArray host = readFileBytes(InteropDataDir + u"lenex-invitation.lef"_s);
        for (const QString& element : {u"/EVENT/AGEGROUPS/AGEGROUP "_s, u"/AGEDATE "_s})
            QCOMPARE(flattenLenex(written).filter(element), flattenLenex(host).filter(element));
        const QStringList constructor = flattenLenex(written).filter(u"CONSTRUCTOR"_s);
        QCOMPARE(constructor.size(), 2);
        QVERIFY(constructor[0].contains(u"registration=SV Blau-Weiß Beispielhausen"_s));
        QVERIFY(constructor[1].startsWith(u"LENEX/CONSTRUCTOR/CONTACT email="_s));
    }

    // Exported without and with the invitation, the entries read back as an invitation give
    // the events the exchange file came from.
    void export_readBackAsInvitation_givesTheSameEvents() {
        TMeldeAustausch model = importedSample();
        enterSampleClub(model);
        const TInvitation kept =
            ReadInvitationFile((InteropDataDir + u"lenex-invitation.lxf"_s).toStdString());
        for (const bool withInvitation : {false, true}) {
            const QByteArray written =
                WriteLenexEntries(model, withInvitation ? kept : InvitationFromModel(model));
            QCOMPARE(lenexStructureBreaches(written), QStringList());
            TMeldeAustausch readBack;
            ImportInvitation(ReadLenexInvitation(written), readBack);
            QCOMPARE(eventsOf(readBack), eventsOf(model));
            QCOMPARE(readBack.CompName, model.CompName);
            QCOMPARE(readBack.Date2, model.Date2);
            const QStringList entries = flattenLenex(written).filter(u"/ENTRY "_s);
            QCOMPARE(entries.size(), model.NominCount());
            QCOMPARE(entries.filter(u"eventid=20"_s).size(), withInvitation ? 10 : 0);
        }
    }

    // Without the invitation, ids are the event numbers and styles come from the names.
    void export_withoutInvitation_takesStylesFromTheEventNames() {
        TMeldeAustausch model;
        model.ClubName = "SV Test";
        model.AbsCnt = 1;
        model.SetPeriodDate(1, "05.09.2026");
        const auto addEvent = [&model](int number, const char* name, int sex, bool relay) {
            TEventRecord event;
            event.WkNr = number * 1000;
            event.Period = 1;
            event.Name = name;
            event.Sex = static_cast<std::uint8_t>(sex);
            event.Staffel = relay;
            model.SetEvent(model.EventCount() + 1, event);
            TNominRecord nomin;
            nomin.Name = "Muster, Max";
            nomin.BirthYear = 2010;
            nomin.WkNr = number * 1000;
            nomin.Time = 6123;
            model.SetNomin(model.NominCount() + 1, nomin);
        };
        addEvent(1, "50 m Brust Beine", 0, false);
        addEvent(2, "Lagenstaffel 4 x 100 m", 2, true);
        addEvent(3, "Kleiderschwimmen", 2, false);
        addEvent(4, "Staffel Spa\xDF", 1, true);
        const QStringList lines =
            flattenLenex(WriteLenexEntries(model, InvitationFromModel(model)));
        const QStringList styles = lines.filter(u"SWIMSTYLE"_s);
        QCOMPARE(styles,
                 QStringList({
                     u"LENEX/MEETS/MEET/SESSIONS/SESSION/EVENTS/EVENT/SWIMSTYLE distance=50 "
                     "relaycount=1 stroke=BREAST technique=KICK"_s,
                     u"LENEX/MEETS/MEET/SESSIONS/SESSION/EVENTS/EVENT/SWIMSTYLE distance=100 "
                     "relaycount=4 stroke=MEDLEY"_s,
                     u"LENEX/MEETS/MEET/SESSIONS/SESSION/EVENTS/EVENT/SWIMSTYLE distance=0 "
                     "name=Kleiderschwimmen relaycount=1 stroke=UNKNOWN"_s,
                     u"LENEX/MEETS/MEET/SESSIONS/SESSION/EVENTS/EVENT/SWIMSTYLE distance=0 "
                     "name=Staffel Spaß relaycount=4 stroke=UNKNOWN"_s,
                 }));
        QCOMPARE(lines.filter(u"/EVENT "_s),
                 QStringList({
                     u"LENEX/MEETS/MEET/SESSIONS/SESSION/EVENTS/EVENT eventid=1 gender=M "
                     "number=1 round=TIM"_s,
                     u"LENEX/MEETS/MEET/SESSIONS/SESSION/EVENTS/EVENT eventid=2 gender=X "
                     "number=2 round=TIM"_s,
                     u"LENEX/MEETS/MEET/SESSIONS/SESSION/EVENTS/EVENT eventid=3 gender=A "
                     "number=3 round=TIM"_s,
                     u"LENEX/MEETS/MEET/SESSIONS/SESSION/EVENTS/EVENT eventid=4 gender=F "
                     "number=4 round=TIM"_s,
                 }));
        QVERIFY(lines.contains(u"LENEX/MEETS/MEET/SESSIONS/SESSION date=2026-09-05 number=1"_s));
        QCOMPARE(lines.filter(u"/ENTRY "_s).filter(u"entrytime=00:01:01.23"_s).size(), 4);
        QCOMPARE(lines.filter(u"/RELAY "_s).size(), 2);
    }

    // Athletes are grouped by the identity rule: one name in two letter cases is one athlete,
    // one number with the same birth year too; a placeholder number is none and not written.
    void export_athletesGroupedByTheIdentityRule() {
        TMeldeAustausch model;
        model.ClubName = "SV Test";
        model.AbsCnt = 1;
        model.SetPeriodDate(1, "05.09.2026");
        for (int number = 1; number <= 2; ++number) {
            TEventRecord event;
            event.WkNr = number * 1000;
            event.Period = 1;
            event.Name = number == 1 ? "50m Freistil" : "50m Brust";
            event.Sex = 2;
            model.SetEvent(number, event);
        }
        const struct {
            const char* name;
            int year;
            int sex;
            int event;
            const char* regNr;
        } entries[] = {
            {"Brandt, Lotte", 2012, 1, 1, ""},      {"BRANDT, LOTTE", 2012, 1, 2, ""},
            {"Gro\xDF, Ben", 2011, 0, 1, "900104"}, {"GROSS, Ben", 2011, 0, 2, "0900104"},
            {"Klein, Anna", 2012, 1, 1, "0"},       {"Zand", 2014, 1, 1, "000000"},
        };
        for (const auto& entry : entries) {
            TNominRecord nomin;
            nomin.Name = entry.name;
            nomin.BirthYear = entry.year;
            nomin.Sex = static_cast<std::uint8_t>(entry.sex);
            nomin.WkNr = entry.event * 1000;
            nomin.RegNr = entry.regNr;
            model.SetNomin(model.NominCount() + 1, nomin);
        }
        const QStringList lines =
            flattenLenex(WriteLenexEntries(model, InvitationFromModel(model)));
        QStringList athletes;
        for (const QString& line : lines.filter(u"/ATHLETE "_s))
            athletes << line.section(u' ', 1).remove(QRegularExpression(u"athleteid=\\d+ "_s));
        QCOMPARE(athletes, (QStringList{
                               u"birthdate=2012-01-01 firstname=Lotte gender=F lastname=Brandt"_s,
                               u"birthdate=2011-01-01 firstname=Ben gender=M lastname=Groß "
                               u"license=900104"_s,
                               u"birthdate=2012-01-01 firstname=Anna gender=F lastname=Klein"_s,
                               u"birthdate=2014-01-01 firstname= gender=F lastname=Zand"_s,
                           }));
        QCOMPARE(lines.filter(u"/ENTRY "_s).size(), 6);
    }

    // Every nomination the formats cannot carry is listed, none is written.
    void export_whatTheFormatsCannotCarry_isRefusedListingEveryCase() {
        TMeldeAustausch model = importedSample();
        enterSampleClub(model);
        TEventRecord letterEvent = model.GetEvent(1);
        letterEvent.WkNr = TMeldeAustausch::TextToWkNr("12a");
        model.SetEvent(model.EventCount() + 1, letterEvent);
        const auto nomin = [&model](const char* name, int sex, const char* event, int time) {
            TNominRecord record;
            record.Name = name;
            record.BirthYear = 2012;
            record.Sex = static_cast<std::uint8_t>(sex);
            record.WkNr = TMeldeAustausch::TextToWkNr(event);
            record.Time = time;
            model.SetNomin(model.NominCount() + 1, record);
        };
        nomin("Aal, Anna", 1, "12a", NoTime);
        nomin("Barsch, Bo", 0, "14", NoTime);
        nomin("Carp, Cem", 0, "105", NoTime);
        nomin("Dorsch, Dana", 1, "1", -1);
        nomin("Eber, Eli", 2, "3", 4410);
        nomin("Staffel, 2", 2, "4", NoTime); // a mixed relay team is fine
        TNominRecord team = model.GetNomin(model.NominCount());
        team.BirthYear = 2014; // of the event's years, as the entry dialog admits
        model.SetNomin(model.NominCount(), team);

        QTemporaryDir folder;
        const std::string out = folder.filePath(u"meldung.lxf"_s).toStdString();
        WriteFileAtomically(out, "voriger Export");
        const std::string invitation = (InteropDataDir + u"lenex-invitation.lxf"_s).toStdString();
        try {
            ExportEntries(model, out, invitation);
            QFAIL("exported");
        } catch (const TInteropError& error) {
            QCOMPARE(error.Text(),
                     u"Die Meldung kann so nicht exportiert werden, nichts geschrieben:\n"
                     "Wettkampf 12a (Aal, Anna): Lenex und DSV7 kennen keine Wettkampfnummern "
                     "mit Buchstaben\n"
                     "Wettkampf 14 (Barsch, Bo): diesen Wettkampf gibt es in der Ausschreibung "
                     "nicht\n"
                     "Wettkampf 105 (Carp, Cem): diesen Wettkampf gibt es in der Ausschreibung "
                     "nicht\n"
                     "Wettkampf 1 (Dorsch, Dana): die Meldezeit ist ungültig\n"
                     "Wettkampf 3 (Eber, Eli): Einzelschwimmer sind in Lenex und DSV7 nur "
                     "männlich oder weiblich"_s);
        }
        QCOMPARE(ReadWholeFile(out), "voriger Export");

        model.ClubName.clear();
        QVERIFY(exportError(model, InvitationFromModel(model))
                    .contains(u"Der Name des Vereins fehlt (Vereinsdaten)"_s));
    }

    // The zipped file holds exactly one .lef named after the archive, with what .lef holds.
    // A meet's relay fee per team stands in for a relay event's own; the currency and the
    // meet's and session's other fees reach the fee overview, each with what it is charged for.
    void import_meetFees_givesRelayFeeAndCurrency() {
        const QString fees =
            u"<FEES><FEE type=\"CLUB\" value=\"2000\" currency=\"CHF\"/>"
            u"<FEE type=\"ATHLETE\" value=\"500\" currency=\"CHF\"/>"
            u"<FEE type=\"RELAY\" value=\"1500\" currency=\"CHF\"/>"
            u"<FEE type=\"LATEENTRY.INDIVIDUAL\" value=\"1000\" currency=\"CHF\"/></FEES>"_s;
        const QString events =
            lenexEvent(1, {}, u"distance=\"50\" relaycount=\"1\" stroke=\"FREE\""_s,
                       u"<FEE value=\"800\" currency=\"CHF\"/>"_s) +
            lenexEvent(3, u"gender=\"X\""_s, u"distance=\"50\" relaycount=\"4\" stroke=\"FREE\""_s);
        const QString session =
            lenexSession(1, u"2027-05-08"_s, u"09:00"_s, events)
                .replace(u"<EVENTS>"_s,
                         u"<FEES><FEE type=\"CLUB\" value=\"300\"/></FEES><EVENTS>"_s);
        const TInvitation invitation = ReadLenexInvitation(lenexMeet(session, {}, fees));
        TMeldeAustausch model;
        ImportInvitation(invitation, model);
        QCOMPARE(model.Event(2).Fee, 15.0);
        QCOMPARE(model.Event(1).Fee, 8.0);
        QCOMPARE(BuildFeeLines(model, "01.01.2027", MeetFeesOf(invitation)).back(),
                 "Meldegeld gesamt: 0,00 CHF");
        QStringList flat; // kind (0 club, 1 swimmer, 2 section, 3 late), cents, section
        for (const TFlatFee& fee : MeetFeesOf(invitation).Flat)
            flat << u"%1 %2 %3"_s.arg(int(fee.Kind)).arg(fee.Cents).arg(fee.Section);
        QCOMPARE(flat, QStringList({u"0 2000 0"_s, u"1 500 0"_s, u"3 1000 0"_s, u"2 300 1"_s}));
    }

    // DSV rounds and sexes as Lenex defines them: a heat with a final is PRE, without one TIM;
    // a re-swim has no Lenex round and is left out; an individual event open to all is A.
    void export_dsvRoundsAndSexes_becomeLenexValues_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("round"); // empty: not written
        QTest::addColumn<QString>("gender");
        QTest::newRow("heat with final") << 1 << u"PRE"_s << u"F"_s;
        QTest::newRow("its final") << 101 << u"FIN"_s << u"F"_s;
        QTest::newRow("heat alone") << 2 << u"TIM"_s << u"A"_s;
        QTest::newRow("timed final, mixed relay") << 3 << u"TIM"_s << u"X"_s;
        QTest::newRow("re-swim") << 4 << QString() << QString();
        QTest::newRow("diverse only") << 5 << u"TIM"_s << u"A"_s;
    }
    void export_dsvRoundsAndSexes_becomeLenexValues() {
        QFETCH(int, number);
        QFETCH(QString, round);
        QFETCH(QString, gender);
        TInvitation invitation;
        invitation.Name = u"Testfest"_s;
        invitation.Sessions.push_back({1, QDate(2026, 5, 2), u"09:00"_s, {}, {}, false, {}});
        const auto add = [&](int eventNumber, const char* dsvRound, TEventGender sex,
                             int relayCount = 1, const QString& previous = {}) {
            TInvitationEvent event;
            event.Id = QString::number(eventNumber);
            event.Number = eventNumber;
            event.Session = 1;
            event.Round = QString::fromLatin1(dsvRound);
            event.Gender = sex;
            event.RelayCount = relayCount;
            event.Distance = 50;
            event.PreviousId = previous;
            invitation.Events.push_back(event);
        };
        add(1, "V", TEventGender::Female);
        add(101, "F", TEventGender::Female, 1, u"1"_s);
        add(2, "V", TEventGender::Mixed);
        add(3, "E", TEventGender::Mixed, 4);
        add(4, "N", TEventGender::Male);
        add(5, "E", TEventGender::Diverse);
        CompetitionBuilder club;
        club.model.ClubName = "SV Probe";
        club.nomin(u"Probe, Pia"_s, 2014, "1", NoTime, 1);
        QXmlStreamReader xml(WriteLenexEntries(club.model, invitation));
        QString writtenRound, writtenGender;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"EVENT" &&
                xml.attributes().value(u"number"_s) == QString::number(number)) {
                writtenRound = xml.attributes().value(u"round"_s).toString();
                writtenGender = xml.attributes().value(u"gender"_s).toString();
            }
        }
        QVERIFY(!xml.hasError());
        QCOMPARE(lenexStructureBreaches(WriteLenexEntries(club.model, invitation)), QStringList());
        QCOMPARE(writtenRound, round);
        QCOMPARE(writtenGender, gender);
    }

    void export_lxf_holdsOneLefNamedAfterTheArchive() {
        TMeldeAustausch model = importedSample();
        enterSampleClub(model);
        QTemporaryDir folder;
        const QString lxf = folder.filePath(u"Meldung Nikolaus.lxf"_s);
        const QString lef = folder.filePath(u"Meldung Nikolaus.lef"_s);
        const std::string invitation = (InteropDataDir + u"lenex-invitation.lef"_s).toStdString();
        ExportEntries(model, lxf.toStdString(), invitation);
        ExportEntries(model, lef.toStdString(), invitation);
        QProcess unzip;
        unzip.start(u"unzip"_s, {u"-Z1"_s, lxf});
        QVERIFY(unzip.waitForFinished());
        QCOMPARE(unzip.readAllStandardOutput(), "Meldung Nikolaus.lef\n");
        QCOMPARE(UnpackFormatFile(readFileBytes(lxf)), readFileBytes(lef));
        QVERIFY(!readFileBytes(lef).startsWith("\xEF\xBB\xBF"));
    }

    void read_lxfWithoutExactlyOneLef_isRefused() {
        QTemporaryDir folder;
        const auto zipOf = [&folder](const QString& archive, const QStringList& names) {
            for (const QString& name : names)
                WriteFileAtomically(folder.filePath(name).toStdString(), "<LENEX/>");
            QProcess zip;
            zip.setWorkingDirectory(folder.path());
            zip.start(u"zip"_s, QStringList{u"-q"_s, archive} + names);
            zip.waitForFinished();
            return folder.filePath(archive).toStdString();
        };
        const auto readError = [](const std::string& path) {
            try {
                ReadInvitationFile(path);
            } catch (const TInteropError& error) {
                return error.Text();
            }
            return u"read"_s;
        };
        QCOMPARE(readError(zipOf(u"two.lxf"_s, {u"a.lef"_s, u"b.LEF"_s})),
                 u"Archiv: das Archiv enthält mehr als eine Lenex- oder DSV-Datei"_s);
        QCOMPARE(readError(zipOf(u"none.lxf"_s, {u"a.xml"_s})),
                 u"Archiv: das Archiv enthält keine Lenex- oder DSV-Datei"_s);
        const std::string notZip = folder.filePath(u"text.lxf"_s).toStdString();
        WriteFileAtomically(notZip, "<LENEX version=\"3.0\"/>");
        // The content tells the kind, not the name: an unpacked Lenex file is read as one.
        QCOMPARE(readError(notZip),
                 u"Lenex-Datei, Zeile 1: die Lenex-Datei enthält keine Veranstaltung (MEET)"_s);
        QVERIFY(readError(folder.filePath(u"x.pdf"_s).toStdString()).contains(u"unbekanntes"_s));
    }

    // The invitation kept for an exchange file bears its name and is found again; keeping
    // another replaces it; another exchange file in the folder keeps its own.
    void keptInvitation_isFoundUnderTheExchangeFilesNameAndReplaced() {
        QTemporaryDir folder;
        const TMeldeAustausch model = importedSample();
        const std::string exchange = folder.filePath(u"Nikolaus.NT2"_s).toStdString();
        QVERIFY(!FindKeptInvitation(exchange, model));
        const std::string lxf = (InteropDataDir + u"lenex-invitation.lxf"_s).toStdString();
        const std::string lef = (InteropDataDir + u"lenex-invitation.lef"_s).toStdString();
        KeepInvitation(lef, exchange);
        QCOMPARE(FindKeptInvitation(exchange, model).value_or(""),
                 folder.filePath(u"Nikolaus.AUSSCHREIBUNG.lef"_s).toStdString());
        KeepInvitation(lxf, exchange);
        QCOMPARE(FindKeptInvitation(exchange, model).value_or(""),
                 folder.filePath(u"Nikolaus.AUSSCHREIBUNG.lxf"_s).toStdString());
        QVERIFY(!QFile::exists(folder.filePath(u"Nikolaus.AUSSCHREIBUNG.lef"_s)));
        QCOMPARE(ReadWholeFile(*FindKeptInvitation(exchange, model)), ReadWholeFile(lxf));
        KeepInvitation(*FindKeptInvitation(exchange, model), exchange); // the kept file itself
        QCOMPARE(ReadWholeFile(*FindKeptInvitation(exchange, model)), ReadWholeFile(lxf));
        QVERIFY(!FindKeptInvitation(folder.filePath(u"Anderes.NT2"_s).toStdString(), model));
    }
};

QTEST_GUILESS_MAIN(TestLenex)
#include "tst_lenex.moc"
