// SPDX-License-Identifier: GPL-3.0-or-later
// The swimmer list as CSV: what a spreadsheet program gets, and what it may give back.
#include <QTest>

#include "environment.h"
#include "swimmercsv.h"
#include "swimmerfixture.h"
#include "windows1252.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// One line per swimmer as `swimmers list` prints it, UTF-8.
QStringList described(const std::vector<TSwimmer>& swimmers) {
    QStringList lines;
    for (const TSwimmer& s : swimmers)
        lines << u"%1|%2|%3|%4|%5"_s.arg(QString::fromStdString(AnsiToUtf8(s.Name)))
                     .arg(s.BirthYear)
                     .arg(s.Sex)
                     .arg(QString::fromStdString(s.RegNr))
                     .arg(s.Active ? u"ja"_s : u"nein"_s);
    return lines;
}

std::string bytes(const QByteArray& text) {
    return text.toStdString();
}

} // namespace

class TestSwimmerCsv : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PinCurrentYear(2026); }
    void cleanupTestCase() { PinCurrentYear(0); }

    // UTF-8 with byte-order mark and CR LF; the name split at its first comma; a field with
    // the separator or a quote in quotes.
    void export_writesWhatSpreadsheetsOpen() {
        const std::string text = SwimmersToCsv({
            swimmer("Meier, Hans", 2008, 0, "DE-4711", true),
            swimmer("\xD6zdemir, \xDClk\xFC, Maria", 2010, 1, "", false),
            swimmer("Einname", 2012, 2, "X1", true),
            swimmer("Semi;kolon, Eva \"Evi\"", 2011, 1, "", true),
        });
        QCOMPARE(QByteArray::fromStdString(text),
                 "\xEF\xBB\xBFName;Vorname;Jahrgang;Geschlecht;Reg.-Nr.;Aktiv\r\n"
                 "Meier;Hans;2008;m;DE-4711;ja\r\n"
                 "Özdemir;Ülkü, Maria;2010;w;;nein\r\n"
                 "Einname;;2012;x;X1;ja\r\n"
                 "\"Semi;kolon\";\"Eva \"\"Evi\"\"\";2011;w;;ja\r\n"_ba);
        QCOMPARE(QByteArray::fromStdString(SwimmersToCsv({})),
                 "\xEF\xBB\xBFName;Vorname;Jahrgang;Geschlecht;Reg.-Nr.;Aktiv\r\n"_ba);
    }

    void import_acceptsWhatSpreadsheetsSave_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("swimmers");
        QTest::addColumn<bool>("hasActiveColumn");
        const QStringList expected = {u"Meier, Hans|2008|0|DE-4711|ja"_s,
                                      u"Özdemir, Ülkü|2010|1||nein"_s, u"Groß|2012|2||ja"_s};
        QTest::newRow("our own export")
            << "\xEF\xBB\xBFName;Vorname;Jahrgang;Geschlecht;Reg.-Nr.;Aktiv\r\n"
               "Meier;Hans;2008;m;DE-4711;ja\r\n"
               "Özdemir;Ülkü;2010;w;;nein\r\n"
               "Groß;;2012;x;;ja\r\n"_ba
            << expected << true;
        QTest::newRow("Windows-1252, commas, other order")
            << "Jahrgang,Geschlecht,Vorname,Name,Aktiv,RegNr\n"
               "2008,M,Hans,Meier,JA,DE-4711\n"
               "2010,F,\xDClk\xFC,\xD6zdemir,Nein,\n"
               "2012,d,,Gro\xDF,,\n"_ba
            << expected << true;
        QTest::newRow("titles clubs use, separators at the line ends, two-digit years")
            << "Nachname;Vorname;Jg;Geschlecht;DSV-ID;Aktiv;\r\n"
               "Meier;Hans;08;m;DE-4711;ja;\r\n"
               "\xD6zdemir;\xDClk\xFC;10;w;;nein;\r\n"
               "Gro\xDF;;2012;x;;ja\r\n"_ba
            << expected << true;
        QTest::newRow("Geburtsjahr and Registriernummer")
            << "Name;Vorname;Geburtsjahr;Geschlecht;Registriernummer;Aktiv\n"
               "Meier;Hans;2008;m;DE-4711;ja\n"
               "Özdemir;Ülkü;2010;w;;nein\n"
               "Groß;;12;x;;ja\n"_ba
            << expected << true;
        QTest::newRow("UTF-8 without mark, quotes, words, blank lines")
            << "\"Name\";\"Vorname\";\"Jahrgang\";\"Geschlecht\"\n\n"
               "\" Meier \";Hans;2008;männlich\n"
               "\"Özdemir\";\"Ülkü\";2010;weiblich\n"
               "  \n"
               "Groß;;2012;X\n"_ba
            << QStringList{u"Meier, Hans|2008|0||ja"_s, u"Özdemir, Ülkü|2010|1||ja"_s,
                           u"Groß|2012|2||ja"_s}
            << false;
        QTest::newRow("a name with comma in its quoted field")
            << "Name,Jahrgang,Geschlecht\r\n\"Meier, Hans\",2008,m\r\n"_ba
            << QStringList{u"Meier, Hans|2008|0||ja"_s} << false;
    }
    void import_acceptsWhatSpreadsheetsSave() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, swimmers);
        QFETCH(bool, hasActiveColumn);
        const TCsvSwimmers read = ReadSwimmersCsv(bytes(file));
        QCOMPARE(read.Error, QString());
        QCOMPARE(described(read.Swimmers), swimmers);
        QCOMPARE(read.HasActiveColumn, hasActiveColumn);
    }

    // Every bad line is named with its number and reason, and nothing of the file is taken.
    void import_refusesBadLine_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        const QByteArray header = "Name;Vorname;Jahrgang;Geschlecht;Reg.-Nr.;Aktiv\r\n"
                                  "Meier;Hans;2008;m;DE-4711;ja\r\n"_ba;
        auto row = [&](const char* name, const QByteArray& line, const QString& error) {
            QTest::newRow(name) << header + line + "\r\nBerg;Ida;2009;w;;ja\r\n" << error;
        };
        row("year not a number", "Lang;Tim;20x8;m;;ja", u"Zeile 3: Jahrgang „20x8“ ungültig"_s);
        row("year with three digits", "Lang;Tim;208;m;;ja", u"Zeile 3: Jahrgang „208“ ungültig"_s);
        row("year before 1900", "Lang;Tim;1899;m;;ja", u"Zeile 3: Jahrgang „1899“ ungültig"_s);
        row("year to come", "Lang;Tim;2027;m;;ja", u"Zeile 3: Jahrgang „2027“ ungültig"_s);
        row("long value cut to 60", "Lang;Tim;2008;" + QByteArray(70, 'q') + ";;ja",
            u"Zeile 3: Geschlecht „%1…“ unbekannt (m, w, x oder d)"_s.arg(QString(59, u'q')));
        row("unknown sex", "Lang;Tim;2008;q;;ja",
            u"Zeile 3: Geschlecht „q“ unbekannt (m, w, x oder d)"_s);
        row("active neither", "Lang;Tim;2008;m;;vielleicht",
            u"Zeile 3: Aktiv „vielleicht“ ist weder ja noch nein"_s);
        row("name missing", " ; ;2008;m;;ja", u"Zeile 3: Name fehlt"_s);
        row("too few fields", "Lang;Tim;2008;m", u"Zeile 3: 4 Felder statt 6"_s);
        row("too many fields", "Lang;Tim;2008;m;;ja;x", u"Zeile 3: 7 Felder statt 6"_s);
        row("quote left open", "\"Lang;Tim;2008;m;;ja",
            u"Zeile 3: Anführungszeichen nicht geschlossen"_s);
        row("registration number too long", "Lang;Tim;2008;m;DE-1234567890123;ja",
            u"Zeile 3: Reg.-Nr. „DE-1234567890123“ länger als 15 Zeichen"_s);
        row("character the exchange file cannot hold", "Łukasiewicz;Jan;2008;m;;ja",
            u"Zeile 3: das Zeichen „Ł“ ist in der Austauschdatei nicht darstellbar"_s);
        QTest::newRow("broken UTF-8 after a byte-order mark")
            << "\xEF\xBB\xBFName;Jahrgang;Geschlecht\r\nM\xFCller;2008;m\r\n"_ba
            << u"Zeile 2: ungültige UTF-8-Zeichenfolge"_s;
        QTest::newRow("column missing") << "Name;Vorname;Geschlecht\r\nMeier;Hans;m\r\n"_ba
                                        << u"Zeile 1: Kopfzeile ohne Spalte „Jahrgang“"_s;
        QTest::newRow("column twice")
            << "\r\nName;Jahrgang;Geschlecht;name\r\nMeier;2008;m;Maier\r\n"_ba
            << u"Zeile 2: Spalte „name“ doppelt"_s;
        QTest::newRow("unknown column")
            << "Name;Jahrgang;Geschlecht;Bemerkung\r\nMeier;2008;m;Kapitän\r\n"_ba
            << u"Zeile 1: Spalte „Bemerkung“ unbekannt; bekannt sind Name (Nachname), Vorname, "
               "Jahrgang (Jg, Geburtsjahr), Geschlecht, Reg.-Nr. (DSV-ID, Registriernummer), "
               "Aktiv"_s;
        QTest::newRow("nothing but blanks")
            << " \r\n\r\n"_ba << u"Die Datei enthält keine Kopfzeile."_s;
    }
    void import_refusesBadLine() {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        const TCsvSwimmers read = ReadSwimmersCsv(bytes(file));
        QCOMPARE(read.Error, error);
        QVERIFY(read.Failed());
        QVERIFY(read.Swimmers.empty());
    }
};

QTEST_GUILESS_MAIN(TestSwimmerCsv)
#include "tst_swimmercsv.moc"
