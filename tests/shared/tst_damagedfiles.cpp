// SPDX-License-Identifier: GPL-3.0-or-later
// Opening files that are not what they should be: no exchange file at all, an exchange file
// cut off, a file saved as UTF-8 by another tool. Every file a host or this program writes
// must still load exactly as the reader reads it.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <fstream>

#include "atomicfile.h"
#include "environment.h"
#include "meldeaustausch.h"
#include "modeldump.h"
#include "utf8.h"

using namespace Qt::StringLiterals;

namespace {
std::string dataFile(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/" + name;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The demo competition as a club's file: club data and a few entries added, as saved.
TMeldeAustausch clubModel() {
    TMeldeAustausch model;
    model.LoadFromFile(DEMO_FILE);
    model.ClubName = "SV Testhausen";
    model.Person = "Erika Beispiel";
    const char* const names[] = {"Abel, Tina",  "Brandt, Udo",  "Claus, Vera",
                                 "Dorn, Willi", "Ernst, Xenia", "Fuchs, Yann"};
    for (const char* name : names)
        model.SetNomin(model.NominCount() + 1, {name, 2012, 0, 3000, 4567, "1234"});
    return model;
}

// The club's file in the shapes that hand-made and older files take.
std::string clubFileVariant(const QString& shape) {
    std::string text = clubModel().ToFileText();
    const std::string rootEnd = "</NOMINATION>\r\n";
    if (shape == u"without declaration and banners") {
        text.erase(0, text.find("<NOMINATION>"));
        text.erase(text.find(rootEnd) + rootEnd.size());
    } else if (shape == u"line feeds only") {
        replaceAll(text, "\r\n", "\n");
    } else if (shape == u"Ctrl+Z at the end") {
        text += '\x1A';
    } else if (shape == u"Ctrl+Z after the root") {
        text.insert(text.find(rootEnd) + rootEnd.size(), "\x1A garbage");
    } else if (shape == u"lower-case root") {
        replaceAll(text, "<NOMINATION>", "<nomination>");
        replaceAll(text, "</NOMINATION>", "</Nomination>");
    } else if (shape == u"comments between sections") {
        replaceAll(text, "  <NOMIN id=", "<!-- naechste Meldung -->\r\n  <NOMIN id=");
        replaceAll(text, "</NOMINATION>", "<!--\r\n</NOMINATION>\r\n-->\r\n</NOMINATION>");
    } else if (shape == u"blanks and tabs around the root") {
        replaceAll(text, "<NOMINATION>", " \t<NOMINATION>\t ");
        replaceAll(text, "</NOMINATION>", "\t</NOMINATION> ");
    }
    return text;
}
// What loading leaves when it reads nothing: no events, entries or club.
bool isReset(const TMeldeAustausch& model) {
    return model.EventCount() == 0 && model.NominCount() == 0 && model.ClubName.empty() &&
           model.GetPeriodDate(1) == BlankPeriodDate;
}
} // namespace

class TestDamagedFiles : public QObject {
    Q_OBJECT
    QTemporaryDir folder;

    std::string writtenFile(const std::string& bytes, const std::string& name = "file.nt2") {
        const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
        // A new file each time: truncating one makes the file system write it out at close.
        std::remove(path.c_str());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

private slots:
    void initTestCase() {
        QVERIFY(folder.isValid());
        PinCurrentYear(2026);
        PinDecimalSeparator(',');
    }
    void cleanupTestCase() {
        PinCurrentYear(0);
        PinDecimalSeparator(0);
    }

    void goodFile_loadsCompleteAndAsTheReaderReadsIt_data() {
        QTest::addColumn<QByteArray>("bytes");
        for (const char* name :
             {"exchange/nominations.nt2", "check/refusals.NT2", "report/unsorted.NT2",
              "endtoend/EXCHANGE.expected.NT2", "../../fuzz/seeds/exchange.nt2",
              "../../fuzz/seeds/lower-case-tags.nt2", "../../fuzz/seeds/multi-line-comments.nt2",
              "../../fuzz/seeds/nested-keys.nt2"})
            QTest::newRow(name) << QByteArray::fromStdString(ReadWholeFile(dataFile(name)));
        QTest::newRow("demo, a host's file") << QByteArray::fromStdString(ReadWholeFile(DEMO_FILE));
        for (const QString& shape :
             {u"as saved"_s, u"without declaration and banners"_s, u"line feeds only"_s,
              u"Ctrl+Z at the end"_s, u"Ctrl+Z after the root"_s, u"lower-case root"_s,
              u"comments between sections"_s, u"blanks and tabs around the root"_s})
            QTest::newRow(qPrintable(u"club file, "_s + shape))
                << QByteArray::fromStdString(clubFileVariant(shape));
        // Whatever this program writes is complete.
        TMeldeAustausch odd = clubModel();
        odd.ClubName = "</NOMINATION>";
        odd.SetNomin(odd.NominCount() + 1, {"<NOMINATION>", 2001, 1, 1000, NoTime, ""});
        QTest::newRow("saved with root tags as values")
            << QByteArray::fromStdString(odd.ToFileText());
    }
    void goodFile_loadsCompleteAndAsTheReaderReadsIt() {
        QFETCH(QByteArray, bytes);
        TMeldeAustausch model;
        const TLoadReport report = model.LoadFromFile(writtenFile(bytes.toStdString()));
        QCOMPARE(report.Verdict, TFileVerdict::Complete);
        QVERIFY(report.Loaded());
        QVERIFY(!report.FromUtf8);
        QCOMPARE(report.Nominations, model.NominCount());
        TMeldeAustausch asRead;
        asRead.LoadFromText(bytes.toStdString());
        QCOMPARE(DumpModel(model), DumpModel(asRead));
        QCOMPARE(VerdictText(report), std::string());
    }

    // A failed download or copy ends anywhere: before the root's start it is no exchange
    // file, after it and before the root's end it is cut off, and the entries up to the cut
    // are read as they stand.
    void fileCutAtEveryByte_isNotAnExchangeFileOrCutOff() {
        const TMeldeAustausch full = clubModel();
        const std::string text = TMeldeAustausch(full).ToFileText();
        const std::size_t rootStart =
            text.find("<NOMINATION>") + std::string("<NOMINATION>").size();
        const std::size_t rootEnd =
            text.find("</NOMINATION>") + std::string("</NOMINATION>").size();
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            const std::string part = text.substr(0, cut);
            TMeldeAustausch model = full;
            const TLoadReport report = model.LoadFromFile(writtenFile(part));
            const QByteArray where = "cut after " + QByteArray::number(qulonglong(cut)) + " bytes";
            const TFileVerdict expected = cut < rootStart ? TFileVerdict::NotExchangeFile
                                          : cut < rootEnd ? TFileVerdict::CutOff
                                                          : TFileVerdict::Complete;
            QVERIFY2(report.Verdict == expected, where);
            if (expected == TFileVerdict::NotExchangeFile) {
                QVERIFY2(isReset(model), where);
                continue;
            }
            // An entry counts once its start line is there up to its ">".
            int started = 0;
            for (std::size_t at = part.find("<NOMIN id="); at != std::string::npos;
                 at = part.find("<NOMIN id=", at + 1))
                started += part.find('>', at) != std::string::npos;
            QVERIFY2(model.NominCount() == started, where);
            QVERIFY2(report.Nominations == started, where);
            for (int i = 1; i < started; ++i)
                QVERIFY2(model.GetNomin(i) == full.GetNomin(i), where);
        }
    }

    void utf8File_readAsItsWindows1252Original_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("with byte-order mark") << u"nominations-bom.nt2"_s;
        QTest::newRow("without byte-order mark") << u"nominations.nt2"_s;
    }
    void utf8File_readAsItsWindows1252Original() {
        QFETCH(QString, name);
        TMeldeAustausch original;
        QVERIFY(!original.LoadFromFile(dataFile("exchange/nominations.nt2")).FromUtf8);
        TMeldeAustausch model;
        const TLoadReport report = model.LoadFromFile(dataFile("utf8/" + name.toStdString()));
        QVERIFY(report.FromUtf8);
        QCOMPARE(report.Verdict, TFileVerdict::Complete);
        QCOMPARE(DumpModel(model), DumpModel(original));
        QCOMPARE(model.ClubName, std::string("SV Gr\xFCn-Wei\xDF Beispielstadt"));
        QCOMPARE(model.ToFileText(), original.ToFileText());
    }

    void decode_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("fromUtf8");
        QTest::addColumn<QByteArray>("text"); // empty when it fails
        QTest::addColumn<int>("failedLine");
        QTest::addColumn<uint>("failedCharacter");
        auto row = [](const char* tag, QByteArray bytes, bool utf8, QByteArray text, int line = 0,
                      uint character = 0) {
            QTest::newRow(tag) << bytes << utf8 << text << line << character;
        };
        row("UTF-8 umlauts", "M\xC3\xBCller", true, "M\xFCller");
        row("euro sign and S caron", "\xE2\x82\xAC \xC5\xA0", true, "\x80 \x8A");
        row("C1 control kept", "\xC2\x81x\xC3\xA4", true, "\x81x\xE4");
        row("byte-order mark, ASCII",
            "\xEF\xBB\xBF"
            "abc",
            true, "abc");
        row("overlong form is no UTF-8", "\xC0\xBC \xC3\xBC", false, "\xC0\xBC \xC3\xBC");
        row("surrogate is no UTF-8", "\xED\xA0\x80 \xC3\xBC", false, "\xED\xA0\x80 \xC3\xBC");
        row("sequence cut at the end", "\xC3\xBC\xC3", false, "\xC3\xBC\xC3");
        row("after Ctrl+Z nothing counts", "\xC3\xBC\x1A\xFF", true, "\xFC");
        row("character outside Windows-1252", "a\r\nb\n\xC5\x81ukasz", true, "", 3, 0x141);
        row("byte-order mark, then no UTF-8", "\xEF\xBB\xBF\r\nM\xFCller", true, "", 2, 0);
    }
    void decode() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, fromUtf8);
        QFETCH(QByteArray, text);
        QFETCH(int, failedLine);
        QFETCH(uint, failedCharacter);
        const TDecodedText decoded = DecodeFileBytes(bytes.toStdString());
        QCOMPARE(decoded.FromUtf8, fromUtf8);
        QCOMPARE(QByteArray::fromStdString(decoded.Text), text);
        QCOMPARE(decoded.FailedLine, failedLine);
        QCOMPARE(uint(decoded.FailedCharacter), failedCharacter);
    }
};

QTEST_GUILESS_MAIN(TestDamagedFiles)
#include "tst_damagedfiles.moc"
