// SPDX-License-Identifier: GPL-3.0-or-later
// Result lists read into swims: the samples' own club gives the same swims from Lenex and from
// both DSV7 lists; which club counts; what gives no personal time; damaged files.
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <map>

#include "interopfixtures.h"
#include "lxfarchive.h"
#include "results.h"
#include "transliteration.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const std::string LenexResults = (InteropDataDir + u"lenex-results.lef"_s).toStdString();
const std::string ClubResults =
    (InteropDataDir + u"2026-12-13-Musterst-SVBlauWeissBeisp-Pr.DSV7"_s).toStdString();
const std::string MeetResults = (InteropDataDir + u"2026-12-13-Musterst-Pr.DSV7"_s).toStdString();

TClubFilter ownClub(const char* id = "5432") {
    TClubFilter filter;
    filter.ClubId = id;
    filter.ClubName = toAnsi(u"SV Blau-Weiß Beispielhausen"_s);
    return filter;
}

QString dateText(const std::chrono::year_month_day& date) {
    return QDate(int(date.year()), unsigned(date.month()), unsigned(date.day()))
        .toString(Qt::ISODate);
}

// Every swim as one line, sorted, so that lists from different formats compare.
QStringList lines(const std::vector<TSwim>& swims) {
    QStringList result;
    for (const TSwim& swim : swims)
        result << QStringLiteral("%1;%2;%3;%4;%5;%6;%7;%8;%9")
                      .arg(AnsiToQString(swim.Name))
                      .arg(swim.BirthYear)
                      .arg(swim.Sex)
                      .arg(AnsiToQString(swim.RegNr),
                           AnsiToQString(DisciplineName(swim.Discipline)))
                      .arg(swim.LaneLength)
                      .arg(dateText(swim.Date),
                           AnsiToQString(HundredthsToTimeText(swim.Hundredths)),
                           AnsiToQString(swim.CompName) + u'|' + AnsiToQString(swim.ClubId));
    result.sort();
    return result;
}

// The fastest swim per swimmer and discipline.
QStringList bestTimes(const std::vector<TSwim>& swims) {
    std::map<std::pair<std::string, std::string>, int> best;
    for (const TSwim& swim : swims) {
        const auto key = std::pair(swim.Name, DisciplineName(swim.Discipline));
        const auto found = best.find(key);
        if (found == best.end() || swim.Hundredths < found->second)
            best[key] = swim.Hundredths;
    }
    QStringList result;
    for (const auto& [key, time] : best)
        result << AnsiToQString(key.first + ' ' + key.second + ' ' + HundredthsToTimeText(time));
    return result;
}

QString writeFile(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString failureOf(const QString& path, const TClubFilter& filter) {
    try {
        ReadResultFile(path.toStdString(), filter);
    } catch (const TInteropError& error) {
        return error.Text();
    }
    return {};
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT
private slots:
    // The own club's swims: DSQ, DNS, relays and the other club left out, a swim ranked twice
    // once, the final beside the prelim, the kick event apart from whole stroke.
    void samples_ownClubGiveTheSameSwimsAndBestTimes() {
        const std::vector<TSwim> lenex = ReadResultFile(LenexResults, ownClub());
        const std::vector<TSwim> club = ReadResultFile(ClubResults, ownClub());
        const std::vector<TSwim> meet = ReadResultFile(MeetResults, ownClub());
        QCOMPARE(lenex.size(), 10u);
        QCOMPARE(lines(club), lines(lenex));
        QCOMPARE(lines(meet), lines(lenex));
        QVERIFY(lines(lenex).contains(
            u"Winter, Jonas;2012;0;900103;50m Schmetterling;25;2026-12-12;00:31,12;"
            "Nikolausschwimmfest 2026|5432"_s));
        QVERIFY(lines(lenex).contains(
            u"Wolf, Noah;2015;0;;100m Brust;25;2026-12-13;01:41,08;Nikolausschwimmfest 2026|5432"_s));
        QCOMPARE(bestTimes(lenex), (QStringList{
                                       u"Frühling, Emma 100m Brust 01:34,02"_s,
                                       u"Frühling, Emma 200m Brust 03:55,61"_s,
                                       u"Groß, Ben 100m Freistil 01:15,30"_s,
                                       u"Herbst, Mia 50m Freistil Beine 00:55,02"_s,
                                       u"Herbst, Mia 50m Rücken 00:43,77"_s,
                                       u"Sommer, Lea 100m Freistil 01:11,87"_s,
                                       u"Winter, Jonas 100m Freistil 01:04,99"_s,
                                       u"Winter, Jonas 50m Schmetterling 00:31,12"_s,
                                       u"Wolf, Noah 100m Brust 01:41,08"_s,
                                   }));
    }

    // By club number where both have one, else by name.
    void clubFilter_numberThenName() {
        TClubFilter byName = ownClub("");
        QCOMPARE(ReadResultFile(LenexResults, byName).size(), 10u);
        TClubFilter wrongNumber = ownClub("9999");
        const std::vector<TSwim> other = ReadResultFile(LenexResults, wrongNumber);
        QCOMPARE(other.size(), 0u); // the number decides, though the name fits the first club
        TClubFilter otherByName;
        otherByName.ClubName = "sc delphin musterstadt ";
        // The other club's swimmer with letters Windows-1252 lacks comes rewritten, and told.
        for (const std::string& file : {LenexResults, MeetResults}) {
            QStringList notes;
            const QStringList read = lines(ReadResultFile(file, otherByName, &notes));
            QVERIFY(read.join(u'\n').contains(u"Lecka, Zofia;2013;1;900201;"_s));
            QCOMPARE(notes,
                     QStringList{u"1 Name umgeschrieben: „Łęcka, Zofia“ → „Lecka, Zofia“"_s});
        }
        // A club list of another club gives nothing of it.
        QCOMPARE(ReadResultFile(ClubResults, otherByName).size(), 0u);
    }

    // Zipped Lenex, yards, an exhibition swim, a missing license read from license_dsv.
    void lenex_zippedYardsAndExhibition() {
        QTemporaryDir folder;
        const QString athletes = uR"(<CLUBS><CLUB name="Testverein" code="1234"><ATHLETES>
<ATHLETE athleteid="1" lastname="Test" firstname="Tina" birthdate="2011-05-03" gender="F" license_dsv="4711"><RESULTS>
<RESULT resultid="1" eventid="501" swimtime="00:01:00.00" status="EXH" />
<RESULT resultid="2" eventid="502" swimtime="00:01:10.00" />
<RESULT resultid="3" eventid="503" swimtime="01:40:00.00" />
<RESULT resultid="4" eventid="501" swimtime="NT" />
</RESULTS></ATHLETE></ATHLETES></CLUB></CLUBS>)"_s;
        const QByteArray lef =
            lenexMeet(lenexSession(1, u"2026-05-02"_s, u"09:00"_s, lenexEvent(1) + lenexEvent(3)) +
                          uR"(<SESSION number="2" date="2026-05-03" course="SCY"><EVENTS>)"_s +
                          lenexEvent(2) + u"</EVENTS></SESSION>"_s,
                      {}, {})
                .replace("</SESSIONS>", "</SESSIONS>" + athletes.toUtf8());
        const QString path = writeFile(folder, u"ergebnis.xyz"_s, PackLxf(lef, u"ergebnis.lef"_s));
        TClubFilter filter;
        filter.ClubId = "1234";
        const QStringList read = lines(ReadResultFile(path.toStdString(), filter));
        QCOMPARE(
            read,
            (QStringList{
                u"Test, Tina;2011;1;4711;100m Freistil;50;2026-05-02;01:00,00;Testfest|1234"_s,
                u"Test, Tina;2011;1;4711;100m Freistil;50;2026-05-02;100:00,00;Testfest|1234"_s,
            }));
    }

    // Unreadable files are refused naming the file and the line; an invitation holds no results.
    void damagedFiles_namedWithLine() {
        QTemporaryDir folder;
        const QByteArray lenex = readFileBytes(QString::fromStdString(LenexResults));
        const QString cut = writeFile(folder, u"cut.lef"_s, lenex.left(lenex.indexOf("Winter")));
        QVERIFY(failureOf(cut, ownClub()).startsWith(cut + u": Lenex-Datei, Zeile "_s));
        QByteArray badTime = lenex;
        badTime.replace("00:01:34.02", "1:34,02");
        const QString bad = writeFile(folder, u"bad.lef"_s, badTime);
        QVERIFY(failureOf(bad, ownClub()).contains(u"RESULT swimtime „1:34,02“ ist keine Zeit"_s));
        QVERIFY(failureOf(InteropDataDir + u"lenex-invitation.lxf"_s, ownClub())
                    .contains(u"enthält keine Ergebnisse"_s));
        QVERIFY(failureOf(InteropDataDir + u"2026-12-13-Musterst-Wk.DSV7"_s, ownClub())
                    .contains(u"„Wettkampfdefinitionsliste“ ist keine Ergebnisliste"_s));
        QByteArray dsv = readFileBytes(QString::fromStdString(ClubResults));
        dsv.replace("303;105;F", "303;106;F");
        const QString unknownEvent = writeFile(folder, u"x.dsv7"_s, dsv);
        QVERIFY2(failureOf(unknownEvent, ownClub())
                     .contains(u"(PERSONENERGEBNIS): Wettkampf 106 F fehlt"_s),
                 qPrintable(failureOf(unknownEvent, ownClub())));
    }

    // Letters Windows-1252 lacks become the nearest it has, Cyrillic and Greek follow the
    // romanisation tables; what no table renders is refused naming the character.
    void transliteration_rewritesOrRefuses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result"); // empty: refused
        QTest::newRow("Polish") << u"Łukasz Wałęsa"_s << u"Lukasz Walesa"_s;
        QTest::newRow("Turkish and Czech") << u"Şahin Dvořák"_s << u"Sahin Dvorák"_s;
        QTest::newRow("Hungarian keeps the umlaut") << u"Kőszegi Űrs"_s << u"Köszegi Ürs"_s;
        QTest::newRow("Cyrillic") << u"Юрий Ерёмин"_s << u"Yuriy Yeremin"_s;
        QTest::newRow("Greek") << u"Οδυσσέας"_s << u"Odysseas"_s;
        QTest::newRow("Windows-1252 untouched") << u"Müller Æbelø – €"_s << u"Müller Æbelø – €"_s;
        QTest::newRow("Chinese") << u"王小明"_s << QString();
    }
    void transliteration_rewritesOrRefuses() {
        QFETCH(QString, text);
        QFETCH(QString, result);
        TTextRewrites rewrites;
        try {
            const std::string ansi = rewrites.ToAnsi(text, u"Feld"_s);
            QCOMPARE(AnsiToQString(ansi), result);
            QCOMPARE(rewrites.Note().isEmpty(), result == text);
        } catch (const TInteropError& error) {
            QVERIFY2(result.isEmpty(), qPrintable(error.Text()));
            QVERIFY(error.Text().startsWith(u"Feld: das Zeichen „王“"_s));
        }
    }

    // The count of rewritten texts, with two examples.
    void transliteration_noteCountsDistinctTexts() {
        TTextRewrites rewrites;
        for (const QString& text : {u"Łukasz"_s, u"Иван"_s, u"Łukasz"_s, u"Ilona"_s, u"Şule"_s})
            rewrites.Rewritten(text);
        QCOMPARE(rewrites.Note(),
                 u"3 Namen umgeschrieben, z. B. „Łukasz“ → „Lukasz“, „Иван“ → „Ivan“"_s);
    }

    // The own club's name in a result list, spelt with a legal form or other blanks and case.
    void clubFilter_legalFormsAndSpelling_data() {
        QTest::addColumn<QString>("inFile");
        QTest::addColumn<bool>("taken");
        QTest::newRow("e.V.") << u"SV Blau-Weiß Beispielhausen e.V."_s << true;
        QTest::newRow("e. V.") << u"SV Blau-Weiß Beispielhausen e. V."_s << true;
        QTest::newRow("eV, case, blanks") << u"sv blau-weiß  beispielhausen eV"_s << true;
        QTest::newRow("another club") << u"SV Blau-Weiß Beispielhausen-Süd"_s << false;
        QTest::newRow("name ending in ev") << u"SV Blau-Weiß Beispielhausenev"_s << false;
    }
    void clubFilter_legalFormsAndSpelling() {
        QFETCH(QString, inFile);
        QFETCH(bool, taken);
        QCOMPARE(ownClub("").Takes(QString(), inFile), taken);
    }

    // Athletes without a readable birth date are skipped with their swims, and counted.
    void lenex_athletesWithoutBirthDate_areSkippedAndCounted() {
        QTemporaryDir folder;
        const QString athletes = uR"(<CLUBS><CLUB name="Testverein"><ATHLETES>
<ATHLETE athleteid="1" lastname="Test" firstname="Tina" birthdate="2011-01-01" gender="F"><RESULTS>
<RESULT resultid="1" eventid="501" swimtime="00:01:00.00" /></RESULTS></ATHLETE>
<ATHLETE athleteid="2" lastname="Staffel" firstname="Sam" gender="M"><RESULTS>
<RESULT resultid="2" eventid="501" swimtime="00:01:01.00" /></RESULTS></ATHLETE>
<ATHLETE athleteid="3" lastname="Datum" firstname="Dana" birthdate="2011-13-45" gender="F"><RESULTS>
<RESULT resultid="3" eventid="501" swimtime="00:01:02.00" /></RESULTS></ATHLETE>
</ATHLETES></CLUB></CLUBS>)"_s;
        const QByteArray lef =
            lenexMeet(lenexSession(1, u"2026-05-02"_s, u"09:00"_s, lenexEvent(1)))
                .replace("</SESSIONS>", "</SESSIONS>" + athletes.toUtf8());
        const QString path = writeFile(folder, u"ergebnis.lef"_s, lef);
        TClubFilter filter;
        filter.ClubName = "Testverein";
        QStringList notes;
        const QStringList read = lines(ReadResultFile(path.toStdString(), filter, &notes));
        QCOMPARE(read.size(), 1);
        QVERIFY(read.front().startsWith(u"Test, Tina;2011;"_s));
        QCOMPARE(notes, QStringList{u"2 Schwimmer ohne Geburtsdatum übersprungen"_s});
    }

    void formatFiles_toldByContent() {
        QVERIFY(IsFormatFile(readFileBytes(QString::fromStdString(LenexResults))));
        QVERIFY(IsFormatFile(readFileBytes(InteropDataDir + u"lenex-invitation.lxf"_s)));
        QVERIFY(IsFormatFile(readFileBytes(QString::fromStdString(ClubResults))));
        QVERIFY(!IsFormatFile(readFileBytes(QStringLiteral(DEMO_FILE))));
        // A long document type before the root, and a packed DSV list.
        const QByteArray doctype = "<?xml version=\"1.0\"?>\n<!-- x -->\n<!DOCTYPE LENEX [" +
                                   QByteArray(20000, ' ') + "<!ENTITY a \"b\">]>\n<LENEX/>";
        QVERIFY(IsLenexDocument(doctype));
        QVERIFY(!IsLenexDocument("<?xml version=\"1.0\"?><MELDEAUSTAUSCH/>"));
        QVERIFY(IsFormatFile(readFileBytes(InteropDataDir + u"2027-03-14-Musterst-Wk.DSV8z"_s)));
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
