// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the exchange file on real files, and the protection of the old file.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>

#include "atomicfile.h"
#include "environment.h"
#include "ioerror.h"
#include "meldeaustausch.h"

using namespace Qt::StringLiterals;

namespace {
std::string crlf(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

void writeBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string readBytes(const QString& path) {
    return ReadWholeFile(path.toStdString());
}

// The lines of a saved file between its first "<NOMINATION>" and "</NOMINATION>".
std::vector<std::string> bodyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = text.find("<NOMINATION>");
    const std::size_t end = text.find("</NOMINATION>");
    for (std::size_t next; (next = text.find("\r\n", start)) < end; start = next + 2)
        lines.push_back(text.substr(start, next - start));
    return lines;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A folder backed by its own tmpfs; unmounted again by the destructor.
// How a save is made to fail.
enum class SaveTrap { MissingFolder, ReadOnlyFile, ReadOnlyFolder, DiskFull };

class MountedFolder {
public:
    MountedFolder(const QString& path, const char* options) : folder(path) {
        QDir().mkpath(path);
        mounted = ::mount("tmpfs", path.toLocal8Bit().constData(), "tmpfs", 0, options) == 0;
    }
    ~MountedFolder() {
        if (mounted)
            ::umount(folder.toLocal8Bit().constData());
    }
    bool remountReadOnly() {
        return ::mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                       nullptr) == 0;
    }
    QString folder;
    bool mounted = false;
};

const std::string HostFile = crlf({
    "<?xml version=\"1.0\"?>",
    "<NOMINATION>",
    "  <COMPETITION>",
    "    <NAME>Pokal</NAME>",
    "  </COMPETITION>",
    "  <PERIOD id=1>",
    "    <DATE>01.02.2027</DATE>",
    "  </PERIOD>",
    "  <EVENT id=12a>",
    "    <PERIOD>1</PERIOD>",
    "    <NAME>50m Brust</NAME>",
    "    <SEX>W</SEX>",
    "    <AGEMIN>1850</AGEMIN>",
    "    <AGEMAX>2030</AGEMAX>",
    "    <STAFFEL>ja</STAFFEL>",
    "    <FEE>2,50</FEE>",
    "  </EVENT>",
    "  <EVENT id=\"3\">",
    "    <SEX>FX</SEX>",
    "    <AGEMIN>2015</AGEMIN>",
    "    <AGEMAX>2000</AGEMAX>",
    "    <STAFFEL>1</STAFFEL>",
    "    <FEE>2.50</FEE>",
    "  </EVENT>",
    "  <EVENT id=4>",
    "    <SEX>f</SEX>",
    "    <FEE>2,50 EUR</FEE>",
    "  </EVENT>",
    "  <NOMIN id=1>",
    "    <NAME>Hans M\xFCller</NAME>",
    "    <TIME></TIME>",
    "    <WKNR></WKNR>",
    "  </NOMIN>",
    "  <NOMIN id=1>",
    "    <NAME>Anna Maria Schmidt</NAME>",
    "    <AGE>2012</AGE>",
    "    <SEX>F</SEX>",
    "    <REGNR>1234567890123456789</REGNR>",
    "  </NOMIN>",
    "  <NOMIN id=7>",
    "    <NAME>ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefgh</NAME>",
    "    <TIME>00:00,00</TIME>",
    "    <WKNR>12a</WKNR>",
    "  </NOMIN>",
    "</NOMINATION>",
});

// A competition as this program saves it: three periods, events 1 and 12a, a club, three
// entries.
std::string savedCompetition() {
    TMeldeAustausch model;
    model.CompName = "Fr\xFChjahrsmeeting";
    model.AbsCnt = 3;
    for (int s = 1; s <= 3; ++s)
        model.SetPeriodDate(s, "0" + std::to_string(s) + ".03.2027");
    for (int wkNr : {1000, 12097}) {
        TEventRecord event = EmptyEvent;
        event.WkNr = wkNr;
        event.Name = "50m Freistil";
        event.Sex = 1;
        event.LatestBirthYear = 2016;
        event.EarliestBirthYear = 1990;
        event.Fee = 4.5;
        model.SetEvent(model.EventCount() + 1, event);
    }
    model.ClubName = "SV Neustadt";
    model.ClubId = "4711";
    const char* const names[] = {"Meier, Anna", "Kr\xE4mer, J\xFCrgen", "Zander, Ute"};
    for (int i = 0; i < 3; ++i) {
        TNominRecord nomin = EmptyNomin;
        nomin.Name = names[i];
        nomin.BirthYear = 2010 + i;
        nomin.Sex = 1;
        nomin.WkNr = i == 1 ? 12097 : 1000;
        nomin.Time = 3456 + i;
        nomin.RegNr = "12345" + std::to_string(i);
        model.SetNomin(i + 1, nomin);
    }
    return model.ToFileText();
}

// `text` with the first `from` replaced by `to` (which must be there).
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos)
        qFatal("test text lacks %s", from.c_str());
    return text.replace(at, from.size(), to);
}

TMeldeAustausch loadedFrom(const std::string& text) {
    TMeldeAustausch model;
    model.LoadFromText(text);
    return model;
}
} // namespace

class TestExchangeFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase() {
        PinCurrentYear(2026);
        PinDecimalSeparator(',');
    }

    void load_hostFileWithDefaultsAndConversions() {
        writeBytes(path("host.nt2"), HostFile);
        TMeldeAustausch model;
        model.LoadFromFile(path("host.nt2").toStdString());
        QCOMPARE(model.CompName, std::string("Pokal"));
        QCOMPARE(model.LaneLen, 25);
        QCOMPARE(model.AbsCnt, 1);
        QCOMPARE(model.GetPeriodDate(1), std::string("01.02.2027"));
        QCOMPARE(model.GetPeriodTime(1), std::string(""));
        QCOMPARE(model.GetPeriodDate(2), std::string("  .  .    "));
        QCOMPARE(model.ClubName, std::string(""));
        QCOMPARE(model.Fina, std::string("GER"));
        QCOMPARE(model.Verband, 0);

        QCOMPARE(model.EventCount(), 3);
        const TEventRecord e12a = model.GetEvent(1);
        QCOMPARE(e12a.WkNr, 12097);
        QCOMPARE(e12a.Sex, std::uint8_t(0));
        QCOMPARE(e12a.LatestBirthYear, 2026);
        QCOMPARE(e12a.EarliestBirthYear, 1900);
        QCOMPARE(e12a.Staffel, false);
        QCOMPARE(e12a.Fee, 2.5);
        const TEventRecord quoted = model.GetEvent(2);
        QCOMPARE(quoted.WkNr, -1);
        QCOMPARE(quoted.Sex, std::uint8_t(1));
        QCOMPARE(quoted.LatestBirthYear, 2015);
        QCOMPARE(quoted.Staffel, true);
        QCOMPARE(quoted.Fee, 2.5);
        QCOMPARE(model.GetEvent(3).Sex, std::uint8_t(0));
        QCOMPARE(model.GetEvent(3).Fee, 0.0);
        QCOMPARE(model.GetEvent(3).LatestBirthYear, 2026);

        QCOMPARE(model.NominCount(), 3);
        const TNominRecord hans = model.GetNomin(1);
        QCOMPARE(hans.Name, std::string("M\xFCller, Hans"));
        QCOMPARE(hans.Time, -1);
        QCOMPARE(hans.WkNr, -1);
        QCOMPARE(hans.BirthYear, 1900);
        const TNominRecord anna = model.GetNomin(2);
        QCOMPARE(anna.Name, std::string("Maria Schmidt, Anna"));
        QCOMPARE(anna.Time, NoTime);
        QCOMPARE(anna.WkNr, 0);
        QCOMPARE(anna.Sex, std::uint8_t(1));
        QCOMPARE(anna.RegNr, std::string("123456789012345"));
        // Cut to 30 before normalising.
        QCOMPARE(model.GetNomin(3).Name, std::string("abc, ABCDEFGHIJKLMNOPQRSTUVWXY"));
        QCOMPARE(model.GetNomin(3).Time, NoTime);
    }

    void save_writesTheFileOrder() {
        TMeldeAustausch model;
        model.LoadFromFile(path("host.nt2").toStdString());
        model.SaveToFile(path("saved.nt2").toStdString());
        const std::string text = readBytes(path("saved.nt2"));
        const std::vector<std::string> body = bodyLines(text);
        QCOMPARE(std::vector<std::string>(body.begin(), body.begin() + 14),
                 (std::vector<std::string>{
                     "<NOMINATION>", " ", "  <COMPETITION>", "    <NAME>Pokal</NAME>",
                     "    <VERANSTALTER></VERANSTALTER>", "    <AUSRICHTER></AUSRICHTER>",
                     "    <PLACE></PLACE>", "    <DATE1></DATE1>", "    <DATE2></DATE2>",
                     "    <LANELEN>25</LANELEN>", "    <ABSCNT>1</ABSCNT>", "  </COMPETITION>", " ",
                     "  <PERIOD id=1>"}));
        QVERIFY(contains(body, "  <EVENT id=12a>"));
        QVERIFY(contains(body, "  <EVENT id=0\xFF>"));
        QVERIFY(contains(body, "    <FEE>2,5</FEE>"));
        QVERIFY(!contains(body, "  <CLUB>"));
        // Names in order, running numbers 1..3, NoTime as the blank time.
        const auto first = std::find(body.begin(), body.end(), "  <NOMIN id=1>");
        QVERIFY(first != body.end());
        QCOMPARE(*(first + 1), std::string("    <NAME>abc, ABCDEFGHIJKLMNOPQRSTUVWXY</NAME>"));
        QCOMPARE(*(first + 5), std::string("    <TIME>  :  ,  </TIME>"));
        QVERIFY(contains(body, "  <NOMIN id=3>"));
        QVERIFY(contains(body, "    <NAME>M\xFCller, Hans</NAME>"));
        // Reading the saved file again gives the same file.
        TMeldeAustausch again;
        again.LoadFromFile(path("saved.nt2").toStdString());
        QCOMPARE(again.ToFileText(), text);
    }

    void load_birthYearsAtTheEndsOfTheirRange_stayAsRead() {
        // 1900 and the current year (2026 here) are the first and the last birth year that
        // an event admits as read; one year beyond either end is replaced.
        const TMeldeAustausch model = loadedFrom(
            crlf({"<EVENT id=1>", "<AGEMIN>1900</AGEMIN>", "<AGEMAX>2026</AGEMAX>", "</EVENT>",
                  "<EVENT id=2>", "<AGEMIN>2026</AGEMIN>", "<AGEMAX>1900</AGEMAX>", "</EVENT>",
                  "<EVENT id=3>", "<AGEMIN>1899</AGEMIN>", "<AGEMAX>2027</AGEMAX>", "</EVENT>"}));
        QCOMPARE(model.GetEvent(1).LatestBirthYear, 1900);
        QCOMPARE(model.GetEvent(1).EarliestBirthYear, 2026);
        QCOMPARE(model.GetEvent(2).LatestBirthYear, 2026);
        QCOMPARE(model.GetEvent(2).EarliestBirthYear, 1900);
        QCOMPARE(model.GetEvent(3).LatestBirthYear, 2026);
        QCOMPARE(model.GetEvent(3).EarliestBirthYear, 1900);
    }

    void periods_countZeroNegativeAndBeyondTwelve() {
        for (const char* count : {"0", "-3"}) {
            writeBytes(path("p.nt2"),
                       crlf({"<COMPETITION>", std::string("<ABSCNT>") + count + "</ABSCNT>",
                             "</COMPETITION>", "<PERIOD id=1>", "<DATE>x</DATE>", "</PERIOD>"}));
            TMeldeAustausch model;
            model.LoadFromText(readBytes(path("p.nt2")));
            QCOMPARE(model.GetPeriodDate(1), std::string("  .  .    "));
            const std::vector<std::string> body = bodyLines(model.ToFileText());
            QVERIFY(!contains(body, "  <PERIOD id=1>"));
            // The COMPETITION block's blank line, then the one that follows the sections.
            const auto close = std::find(body.begin(), body.end(), "  </COMPETITION>");
            QCOMPARE(std::vector<std::string>(close + 1, close + 4),
                     (std::vector<std::string>{" ", " ", " "}));
        }

        std::string text = "<COMPETITION>\r\n<ABSCNT>14</ABSCNT>\r\n</COMPETITION>\r\n";
        for (int s = 1; s <= 14; ++s)
            text += crlf({"<PERIOD id=" + std::to_string(s) + ">",
                          "<DATE>" + std::to_string(s) + ".01.2027</DATE>", "<TIME>10:00</TIME>",
                          "</PERIOD>"});
        writeBytes(path("p14.nt2"), text);
        TMeldeAustausch model;
        model.LoadFromText(readBytes(path("p14.nt2")));
        QCOMPARE(model.GetPeriodDate(12), std::string("12.01.2027"));
        const std::vector<std::string> body = bodyLines(model.ToFileText());
        const auto p13 = std::find(body.begin(), body.end(), "  <PERIOD id=13>");
        QVERIFY(p13 != body.end());
        QCOMPARE(std::vector<std::string>(p13 + 1, p13 + 6),
                 (std::vector<std::string>{"    <DATE>  .  .    </DATE>", "    <TIME>  :  </TIME>",
                                           "    <INT>  :  </INT>", "    <WARMUP>  :  </WARMUP>",
                                           "    <KARI>  :  </KARI>"}));
    }

    void periods_identifierWithQuotesNotFound() {
        writeBytes(path("q.nt2"), crlf({"<COMPETITION>", "<ABSCNT>2</ABSCNT>", "</COMPETITION>",
                                        "<PERIOD id=\"1\">", "<DATE>x</DATE>", "</PERIOD>",
                                        "<PERIOD id=02>", "<DATE>y</DATE>", "</PERIOD>",
                                        "<period id=2>", "<DATE>z</DATE>", "</period>"}));
        TMeldeAustausch model;
        model.LoadFromText(readBytes(path("q.nt2")));
        QCOMPARE(model.GetPeriodDate(1), std::string(""));
        QCOMPARE(model.GetPeriodDate(2), std::string("z"));
    }

    void club_writtenOnlyWithAName() {
        TMeldeAustausch model;
        model.Fina = "AUT";
        model.Person = "Somebody";
        QVERIFY(!contains(bodyLines(model.ToFileText()), "  <CLUB>"));
        model.ClubName = "   ";
        model.Verband = 17;
        const std::vector<std::string> body = bodyLines(model.ToFileText());
        QVERIFY(contains(body, "  <CLUB>"));
        QVERIFY(contains(body, "    <NAME>   </NAME>"));
        QVERIFY(contains(body, "    <VERBAND>17</VERBAND>"));
        model.SaveToFile(path("club.nt2").toStdString());
        TMeldeAustausch again;
        again.LoadFromFile(path("club.nt2").toStdString());
        QCOMPARE(again.ClubName, std::string("   "));
        QCOMPARE(again.Verband, 17);
        QCOMPARE(again.Fina, std::string("AUT"));
    }

    void club_presentButEmptyFinaStaysEmpty() {
        writeBytes(path("c.nt2"), crlf({"<CLUB>", "<NAME>SV</NAME>", "<FINA></FINA>",
                                        "<VERBAND>99</VERBAND>", "</CLUB>"}));
        TMeldeAustausch model;
        model.LoadFromText(readBytes(path("c.nt2")));
        QCOMPARE(model.Fina, std::string(""));
        QCOMPARE(model.Verband, 99);
    }

    void umlautsSurviveByteForByte() {
        TMeldeAustausch model;
        model.CompName = "Gr\xF6\xDF"
                         "ter Pokal \x80 \xE4\xF6\xFC\xC4\xD6\xDC\xDF";
        model.ClubName = "SV Wei\xDF-Gr\xFCn";
        TNominRecord nomin = EmptyNomin;
        nomin.Name = "J\xFCrgens, \xC4nne";
        model.SetNomin(1, nomin);
        model.SaveToFile(path("u.nt2").toStdString());
        const std::string bytes = readBytes(path("u.nt2"));
        QVERIFY(bytes.find("<NAME>Gr\xF6\xDFter Pokal \x80 \xE4\xF6\xFC\xC4\xD6\xDC\xDF</NAME>") !=
                std::string::npos);
        TMeldeAustausch again;
        again.LoadFromFile(path("u.nt2").toStdString());
        QCOMPARE(again.CompName, model.CompName);
        QCOMPARE(again.ClubName, model.ClubName);
        QCOMPARE(again.GetNomin(1).Name, nomin.Name);
        again.SaveToFile(path("u2.nt2").toStdString());
        QCOMPARE(readBytes(path("u2.nt2")), bytes);
    }

    void emptyAndJunkTexts_readAsDefaults() {
        for (const std::string& content :
             {std::string(), std::string("\x1A<COMPETITION>"), std::string("\0\xFF\xFE<<>>", 7),
              std::string(100000, '<'), std::string("<COMPETITION>\r<NAME>x</NAME>\r")}) {
            writeBytes(path("junk.nt2"), content);
            TMeldeAustausch model;
            model.LoadFromText(readBytes(path("junk.nt2")));
            QCOMPARE(model.LaneLen, 25);
            QCOMPARE(model.AbsCnt, 1);
            QCOMPARE(model.Fina, std::string("GER"));
            QCOMPARE(model.EventCount(), 0);
            QCOMPARE(model.NominCount(), 0);
            QCOMPARE(model.GetPeriodDate(1), std::string(""));
        }
    }

    // Files that come close to what hosts write without being quite that.
    void load_nearMissesOfTheUsualLayout() {
        const std::string saved = savedCompetition();
        const std::string anna = "    <NAME>Meier, Anna</NAME>\r\n";
        QCOMPARE(loadedFrom(replaced(saved, anna, anna + "    <NAME>Zweiter, Name</NAME>\r\n"))
                     .GetNomin(2)
                     .Name,
                 std::string("Meier, Anna"));
        QCOMPARE(loadedFrom(replaced(saved, "<CLUB>", "<CLUBS>")).Fina, std::string("GER"));
        const TMeldeAustausch fewer =
            loadedFrom(replaced(saved, "<ABSCNT>3</ABSCNT>", "<ABSCNT>1</ABSCNT>"));
        QCOMPARE(fewer.GetPeriodDate(1), std::string("01.03.2027"));
        QCOMPARE(fewer.GetPeriodDate(2), std::string("  .  .    "));
        QCOMPARE(
            loadedFrom("a!<COMPETITION>\na!<NAME>Versteckt</NAME>\na!</COMPETITION>\n").CompName,
            std::string("Versteckt</")); // the tag does not begin the line
        const TMeldeAustausch cut =
            loadedFrom(replaced(saved, "  <NOMIN id=2>", "\x1A  <NOMIN id=2>"));
        QCOMPARE(cut.NominCount(), 1);
    }

    void load_missingFileLeavesModelReset() {
        TMeldeAustausch model;
        model.SetNomin(1, EmptyNomin);
        model.ClubName = "x";
        model.CompName = "kept";
        model.LoadFromFile(path("does-not-exist.nt2").toStdString());
        QCOMPARE(model.NominCount(), 0);
        QCOMPARE(model.ClubName, std::string(""));
        QCOMPARE(model.CompName, std::string("kept"));
    }

    void readWholeFile_missingFileRaisesNotFound() {
        try {
            ReadWholeFile(path("missing/folder/EXCHANGE.NT2").toStdString());
            QFAIL("no error");
        } catch (const TIoError& error) {
            QCOMPARE(error.code(), 2);
            QCOMPARE(std::string(error.what()), std::string("Datei nicht gefunden"));
        }
    }

    // A save that fails raises the system's error and leaves the previous file as it was, with
    // no temporary file beside it. A tmpfs (root only) gives a read-only folder and a full disk:
    // about 400 KB fail when the file is closed, about 4 MB while its lines are written.
    void save_failure_leavesPreviousFile_data() {
        QTest::addColumn<int>("trap");
        QTest::addColumn<int>("nomins");
        QTest::addColumn<int>("code"); // 0: whatever the system gives
        QTest::addColumn<QString>("text");
        QTest::newRow("missing folder")
            << int(SaveTrap::MissingFolder) << 0 << 2 << u"Datei nicht gefunden"_s;
        QTest::newRow("read-only file")
            << int(SaveTrap::ReadOnlyFile) << 0 << 5 << u"Dateizugriff verweigert"_s;
        QTest::newRow("read-only folder")
            << int(SaveTrap::ReadOnlyFolder) << 0 << 0 << u"Dateizugriff verweigert"_s;
        QTest::newRow("disk full when closed")
            << int(SaveTrap::DiskFull) << 2000 << 101 << u"Zu wenig Speicherplatz"_s;
        QTest::newRow("disk full while written")
            << int(SaveTrap::DiskFull) << 20000 << 101 << u"Zu wenig Speicherplatz"_s;
    }
    void save_failure_leavesPreviousFile() {
        QFETCH(int, trap);
        QFETCH(int, nomins);
        QFETCH(int, code);
        QFETCH(QString, text);
        std::optional<MountedFolder> mount;
        QString folder = path(QString::fromLatin1(QTest::currentDataTag()));
        if (trap == int(SaveTrap::ReadOnlyFolder) || trap == int(SaveTrap::DiskFull)) {
            mount.emplace(folder, "size=64k");
            if (!mount->mounted)
                QSKIP("mounting a tmpfs needs root");
        } else if (trap == int(SaveTrap::MissingFolder)) {
            folder += u"/missing/folder"_s;
        } else {
            QVERIFY(QDir().mkpath(folder));
        }
        const QString target = folder + u"/EXCHANGE.NT2"_s;
        const bool previous = trap != int(SaveTrap::MissingFolder);
        if (previous)
            writeBytes(target, "previous");
        if (trap == int(SaveTrap::ReadOnlyFile))
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
        if (trap == int(SaveTrap::ReadOnlyFolder))
            QVERIFY(mount->remountReadOnly());
        TMeldeAustausch model;
        TNominRecord nomin = EmptyNomin;
        nomin.Name = std::string(30, 'x');
        for (int i = 1; i <= nomins; ++i)
            model.SetNomin(i, nomin);
        try {
            model.SaveToFile(target.toStdString());
            QFAIL("no error");
        } catch (const TIoError& error) {
            if (code != 0)
                QCOMPARE(error.code(), code);
            QCOMPARE(std::string(error.what()), text.toStdString());
        }
        if (previous) {
            QCOMPARE(readBytes(target), std::string("previous"));
            QCOMPARE(QDir(folder).entryList(QDir::Hidden | QDir::Files | QDir::NoDotAndDotDot),
                     QStringList{u"EXCHANGE.NT2"_s});
        }
    }

    void save_keepsPermissionsOfThePreviousFile() {
        const QString target = path("perm.nt2");
        writeBytes(target, "previous");
        QVERIFY(::chmod(target.toLocal8Bit().constData(), 0640) == 0);
        TMeldeAustausch model;
        model.SaveToFile(target.toStdString());
        struct stat info {};
        QVERIFY(::stat(target.toLocal8Bit().constData(), &info) == 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
    }

    void demoFile_resavesToItself() {
        TMeldeAustausch model;
        model.LoadFromFile(DEMO_FILE);
        QCOMPARE(model.EventCount(), 20);
        QCOMPARE(model.ToFileText(), ReadWholeFile(DEMO_FILE));
    }
};

QTEST_GUILESS_MAIN(TestExchangeFile)
#include "tst_exchangefile.moc"
