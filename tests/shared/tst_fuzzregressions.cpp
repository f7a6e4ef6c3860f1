// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs that made the exchange file reader hang, crash or lose data, found by the fuzzer
// (fuzz/fuzz_exchange.cpp) or built by hand beside it. The files are under tests/data/fuzz.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

#include "atomicfile.h"
#include "environment.h"
#include "meldeaustausch.h"

namespace {
// A quadratic reader needs minutes on these files, a linear one well under a second; the
// sanitizers slow everything several times, and a busy machine more.
#ifdef __SANITIZE_ADDRESS__
constexpr qint64 LinearTimeLimitMs = 30000;
#else
constexpr qint64 LinearTimeLimitMs = 5000;
#endif

std::string dataFile(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/fuzz/" + name;
}

int occurrences(const std::string& text, const std::string& pattern) {
    int count = 0;
    for (std::size_t at = text.find(pattern); at != std::string::npos;
         at = text.find(pattern, at + 1))
        ++count;
    return count;
}

void replaceFirst(std::string& text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
}
} // namespace

class TestFuzzRegressions : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

    std::string writtenFile(const std::string& name, const std::string& bytes) {
        const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // The model of `path`, saved as text, read again and saved again: both texts.
    std::pair<std::string, std::string> savedTwice(const std::string& path) {
        TMeldeAustausch model;
        model.LoadFromText(ReadWholeFile(path));
        const std::string saved = model.ToFileText();
        TMeldeAustausch again;
        again.LoadFromFile(writtenFile("saved.nt2", saved));
        return {saved, again.ToFileText()};
    }

private slots:
    void initTestCase() {
        QVERIFY(folder.isValid());
        PinCurrentYear(2026);
        PinDecimalSeparator(',');
    }

    void load_sectionCountAtIntMax_visitsOnlyListedSections() {
        TMeldeAustausch model;
        QElapsedTimer timer;
        timer.start();
        model.LoadFromFile(dataFile("abscnt-int-max.nt2"));
        QVERIFY2(timer.elapsed() < LinearTimeLimitMs,
                 "the reader walks every section number up to ABSCNT");
        QCOMPARE(model.AbsCnt, 2147483647);
        QCOMPARE(model.GetPeriodDate(1), std::string("13.03.2027"));
        QCOMPARE(model.GetPeriodDate(13), BlankPeriodDate);
        // Section 13 is read and dropped, and removing it (up to the next end tag) still
        // takes the event inside it along.
        QCOMPARE(model.EventCount(), 1);
        QCOMPARE(model.GetEvent(1).Name, std::string());
    }

    void load_sectionCountTwelve_leavesTheThirteenthInPlace() {
        std::string bytes = ReadWholeFile(dataFile("abscnt-int-max.nt2"));
        replaceFirst(bytes, "<ABSCNT>2147483647<", "<ABSCNT>12<");
        TMeldeAustausch model;
        model.LoadFromFile(writtenFile("twelve.nt2", bytes));
        QCOMPARE(model.EventCount(), 1);
        QCOMPARE(model.GetEvent(1).Name, std::string("50m Brust"));
    }

    void load_sectionsWithOwnEndMarkers_inLinearTime() {
        // Each section ends only at a line holding its own "</E<n>EVENT"; only section 7 has
        // one, before the one NAME of the file (not a whole end line, so nothing is removed).
        constexpr int Sections = 50000;
        std::string text;
        for (int i = 1; i <= Sections; ++i)
            text += "<E" + std::to_string(i) + "EVENT id=" + std::to_string(i) + ">\r\n";
        text += "x</E7EVENT>\r\n<NAME>weit hinten</NAME>\r\n";
        TMeldeAustausch model;
        QElapsedTimer timer;
        timer.start();
        model.LoadFromText(text);
        QVERIFY2(timer.elapsed() < LinearTimeLimitMs, "every section scans the rest of the file");
        QCOMPARE(model.EventCount(), Sections);
        QCOMPARE(model.GetEvent(1).Name, std::string("weit hinten"));
        QCOMPARE(model.GetEvent(7).Name, std::string());
        QCOMPARE(model.GetEvent(70).Name, std::string("weit hinten"));
        QCOMPARE(model.GetEvent(Sections).WkNr, Sections * 1000);
    }

    void load_manyUnclosedSectionsOfOneName_inLinearTime() {
        // No section ends and no key is found: each lookup must not scan the rest of the file.
        std::string text = "<NOMINATION>\r\n";
        for (int i = 0; i < 50000; ++i)
            text += "<NOMIN id=1>\r\n";
        TMeldeAustausch model;
        QElapsedTimer timer;
        timer.start();
        model.LoadFromFile(writtenFile("unclosed.nt2", text));
        QVERIFY2(timer.elapsed() < LinearTimeLimitMs, "every section scans the rest of the file");
        QCOMPARE(model.NominCount(), 50000);
        QCOMPARE(model.GetNomin(50000).BirthYear, 1900);
    }

    void load_noKeptLineAndManySections_inLinearTime() {
        // Every line has "!" second, so none is kept and each start tag is looked for inside
        // the lines: 50,000 of them, each naming its own event, must not each search the file.
        constexpr int Events = 50000;
        std::string text;
        for (int i = 1; i <= Events; ++i)
            text += "a!<EVENT id=" + std::to_string(i) + ">\r\n";
        text += "a!<NAME>Schmetterling</NAME>\r\n";
        TMeldeAustausch model;
        QElapsedTimer timer;
        timer.start();
        // No kept line holds the root, so the program refuses such a file; the reader itself
        // must still be fast on it.
        model.LoadFromText(text);
        QVERIFY2(timer.elapsed() < LinearTimeLimitMs,
                 "every start tag is searched for in the whole file");
        QCOMPARE(model.EventCount(), Events);
        QCOMPARE(model.GetEvent(Events).WkNr, Events * 1000);
        // The line holds the tag but does not begin with it: the value runs into its end tag.
        QCOMPARE(model.GetEvent(1).Name, std::string("Schmetterling</"));
    }

    void roundTrip_negativeEntryTime_settlesAsInvalidTime() {
        // Found by the fuzzer: "-1z02,03" converts (minutes -1, separators not examined) to
        // -5797, which is written as "00:0-57,0-97"; that no longer has eight characters and
        // reads back as -1, written "00:00,0-1" from then on. Invalid it stays throughout.
        const std::string path = dataFile("negative-time.nt2");
        TMeldeAustausch model;
        model.LoadFromText(ReadWholeFile(path));
        QCOMPARE(model.GetNomin(1).Time, -5797);
        const auto [saved, savedAgain] = savedTwice(path);
        QVERIFY(saved.find("    <TIME>00:0-57,0-97</TIME>\r\n") != std::string::npos);
        QVERIFY(savedAgain.find("0-57") == std::string::npos);
        QCOMPARE(occurrences(savedAgain, "    <TIME>00:00,0-1</TIME>\r\n"), 2);
        TMeldeAustausch again;
        again.LoadFromFile(writtenFile("again.nt2", savedAgain));
        QCOMPARE(again.GetNomin(1).Time, -1);
        QCOMPARE(again.ToFileText(), savedAgain);
    }

    void save_sectionCountAtIntMax_writesAtMost999Sections() {
        const auto [saved, savedAgain] = savedTwice(dataFile("abscnt-int-max.nt2"));
        QVERIFY(saved.find("    <ABSCNT>2147483647</ABSCNT>\r\n") != std::string::npos);
        QCOMPARE(occurrences(saved, "  <PERIOD id="), 999);
        QVERIFY(saved.find("  <PERIOD id=999>\r\n    <DATE>  .  .    </DATE>\r\n") !=
                std::string::npos);
        QCOMPARE(savedAgain, saved);
    }

    void save_fourteenSections_writesAllFourteen() {
        std::string bytes = ReadWholeFile(dataFile("abscnt-int-max.nt2"));
        replaceFirst(bytes, "<ABSCNT>2147483647<", "<ABSCNT>14<");
        const auto [saved, savedAgain] = savedTwice(writtenFile("fourteen.nt2", bytes));
        QCOMPARE(occurrences(saved, "  <PERIOD id="), 14);
        QCOMPARE(savedAgain, saved);
    }
};

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
