// SPDX-License-Identifier: GPL-3.0-or-later
// The control printout: its lines for several models against hand-checked files, and the
// plain-text and RTF documents written from them.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "ioerror.h"
#include "meldeaustausch.h"
#include "report.h"
#include "windows1252.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Test texts are written in UTF-8; the model holds Windows-1252.
std::string ansi(const char* utf8) {
    std::string result;
    for (QChar c : QString::fromUtf8(utf8))
        result.push_back(static_cast<char>(UnicodeToAnsi(c.unicode())));
    return result;
}

void setSection(TMeldeAustausch& model, int section, const std::string& date,
                const std::string& admission, const std::string& judges, const std::string& start) {
    model.SetPeriodDate(section, date);
    model.SetPeriodInt(section, admission);
    model.SetPeriodKari(section, judges);
    model.SetPeriodTime(section, start);
}

void addEvent(TMeldeAustausch& model, int period, const std::string& number, const char* name,
              int youngest, int oldest) {
    TEventRecord event = EmptyEvent;
    event.Period = period;
    event.WkNr = TMeldeAustausch::TextToWkNr(number);
    event.Name = ansi(name);
    event.LatestBirthYear = youngest;
    event.EarliestBirthYear = oldest;
    model.SetEvent(model.EventCount() + 1, event);
}

void addNomin(TMeldeAustausch& model, const char* name, int year, const std::string& number,
              int time, const std::string& regNr) {
    TNominRecord nomin = EmptyNomin;
    nomin.Name = ansi(name);
    nomin.BirthYear = year;
    nomin.WkNr = TMeldeAustausch::TextToWkNr(number);
    nomin.Time = time;
    nomin.RegNr = regNr;
    model.SetNomin(model.NominCount() + 1, nomin);
}

// Every club field filled; sections 1, 2 and 5 (an empty date text) listed, section 3 (blank
// date) and sections 9 to 12 not; events of sections 0, 1, 2, 1; nominations with and
// without registration number and time, one with a four-character event number.
TMeldeAustausch fullModel() {
    TMeldeAustausch model;
    model.CompName = "Kreismeisterschaften 2026";
    model.Veranstalter = ansi("Kreisschwimmverband Süd");
    model.Ausrichter = "SG Wasserfreunde";
    model.Place = "Neustadt, Hallenbad";
    setSection(model, 1, "14.03.2026", "08:00", "08:30", "09:00");
    model.SetPeriodWarmUp(1, "08:05");
    setSection(model, 2, "14.03.2026", "13:00", "13:30", "14:00");
    setSection(model, 3, BlankPeriodDate, "10:00", "10:30", "11:00");
    model.SetPeriodDate(5, "");
    for (int section = 9; section <= 12; ++section)
        setSection(model, section, "15.03.2026", "07:00", "07:30", "08:00");
    addEvent(model, 0, "1", "25m Beine Kraul Kinder", 2019, 2017);
    addEvent(model, 1, "2", "100m Freistil weiblich", 2014, 1900);
    addEvent(model, 1, "3a", "100m Freistil männlich", 2014, 1900);
    addEvent(model, 2, "4", "200m Lagen offen", 2012, 1900);
    addEvent(model, 1, "123b", "50m Rücken Masters", 2001, 1930);
    model.ClubName = ansi("SV Blau-Weiß Neustadt");
    model.Verband = 17;
    model.Fina = "GER";
    model.ClubId = "4711";
    model.Person = "Erika Mustermann";
    model.Street = ansi("Hauptstraße 1");
    model.Zip = "12345";
    model.ClubPlace = "Neustadt";
    model.Fon = "0123 456789";
    model.Fax = "0123 456780";
    model.EMail = "meldung@svbw.example";
    addNomin(model, "BEISPIEL, ANNA", 2008, "2", 7234, "123456");
    addNomin(model, "MUSTER, OTTO", 2007, "3a", NoTime, "");
    addNomin(model, "MÜLLER-LÜDENSCHEIDT, ALEXANDRA", 1975, "123b", 603999, "123456789012345");
    addNomin(model, "WEIß, JÖRG", 2010, "1", 2345, "");
    return model;
}

// No section with a date, an association outside the table, only the club's name, an event
// name of the full sixty characters, nominations not in name order.
TMeldeAustausch noSectionsModel() {
    TMeldeAustausch model;
    model.CompName = "Pokalschwimmen";
    model.Veranstalter = "SC Delphin";
    model.Ausrichter = "SC Delphin";
    model.Place = "Musterstadt";
    addEvent(model, 1, "1", "400m Freistil offen mit Zeitnahme nach 200m und Zwischenzeit", 2014,
             1900);
    addEvent(model, 1, "12a", "50m Brust", 2016, 2010);
    model.ClubName = "TSV Musterstadt";
    model.Verband = -1;
    addNomin(model, "ZANDER, PAUL", 2012, "12a", 4107, "");
    addNomin(model, "ADLER, EVA", 2013, "1", 33000, "9");
    return model;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

QByteArray bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void buildLines_matchesHandCheckedPrintout_data() {
        QTest::addColumn<QString>("expectedFile");
        QTest::addColumn<TMeldeAustausch>("model");
        QTest::newRow("full") << u"full.txt"_s << fullModel();
        QTest::newRow("new model") << u"empty.txt"_s << TMeldeAustausch();
        QTest::newRow("no sections") << u"nosections.txt"_s << noSectionsModel();
    }
    void buildLines_matchesHandCheckedPrintout() {
        QFETCH(QString, expectedFile);
        QFETCH(TMeldeAustausch, model);
        const QByteArray expected =
            readFile(QStringLiteral(TEST_DATA_DIR "/report/") + expectedFile);
        const std::vector<std::string> lines = BuildReportLines(model);
        // Line by line first, so that a failure names the line.
        QList<QByteArray> expectedLines = expected.split('\n');
        QCOMPARE(expectedLines.takeLast(), QByteArray());
        for (qsizetype i = 0; i < std::min<qsizetype>(expectedLines.size(), lines.size()); ++i)
            QCOMPARE(bytes(lines[i]) + '\r', expectedLines[i]);
        QCOMPARE(qsizetype(lines.size()), expectedLines.size());
        QCOMPARE(bytes(ReportPlainText(lines)), expected);
    }

    void rtf_isCourierAnsiDocumentWithOneParagraphPerLine() {
        TMeldeAustausch model = fullModel();
        model.ClubName = ansi("A\\B {C} Ä") + "\x7F\t";
        const std::vector<std::string> lines = BuildReportLines(model);
        const QByteArray rtf = bytes(ReportRtf(lines));
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
        QVERIFY(rtf.contains("\\fmodern\\fprq1\\fcharset0 Courier New;"));
        QVERIFY(rtf.trimmed().endsWith('}'));
        QCOMPARE(rtf.count("\\par\r\n"), qsizetype(lines.size()));
        // Special characters escaped; DEL, control and 8-bit characters as hex; blanks kept.
        QVERIFY(rtf.contains("\r\nMeldender Verein: A\\\\B \\{C\\} \\'c4\\'7f\\'09\\par\r\n"));
        QVERIFY(rtf.contains("\r\n   KONTROLLAUSDRUCK MELDEPROGRAMM\\par\r\n"));
        QVERIFY(rtf.contains("\r\nMUSTER, OTTO                                     2007"));
        QVERIFY(rtf.contains("\\par\r\n\\par\r\n"));
        for (char c : rtf)
            QVERIFY2(static_cast<unsigned char>(c) < 0x80, "RTF must be 7-bit text");
    }

    void save_replacesFileOrRaisesIoError() {
        QTemporaryDir folder;
        const std::vector<std::string> lines = BuildReportLines(fullModel());
        const std::string textPath = QDir(folder.path()).filePath(u"ausdruck.txt"_s).toStdString();
        const std::string rtfPath = QDir(folder.path()).filePath(u"ausdruck.rtf"_s).toStdString();
        QFile old(QString::fromStdString(textPath));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(10000, 'x'));
        old.close();

        SaveReportPlainText(textPath, lines);
        SaveReportRtf(rtfPath, lines);
        QCOMPARE(readFile(QString::fromStdString(textPath)), bytes(ReportPlainText(lines)));
        QCOMPARE(readFile(QString::fromStdString(rtfPath)), bytes(ReportRtf(lines)));

        const std::string missing = QDir(folder.path()).filePath(u"fehlt/a.txt"_s).toStdString();
        try {
            SaveReportPlainText(missing, lines);
            QFAIL("saving into a missing folder succeeded");
        } catch (const TIoError& error) {
            QCOMPARE(error.code(), 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
