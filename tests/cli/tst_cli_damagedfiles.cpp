// SPDX-License-Identifier: GPL-3.0-or-later
// ntbmelde-cli on files that are not what a script expects: no exchange file, one cut off,
// one saved as UTF-8, and a target that a program has open.
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

#include "clirunner.h"
#include "meldeaustausch.h"
#include "report.h"

using namespace Qt::Literals::StringLiterals;

namespace {
QString dataFile(const QString& name) {
    return QStringLiteral(TEST_DATA_DIR "/") + name;
}

// The printout of what the reader finds in these bytes, as `report` prints it.
QByteArray printoutOf(const QByteArray& bytes) {
    TMeldeAustausch model;
    model.LoadFromText(bytes.toStdString());
    return QByteArray::fromStdString(ReportPlainText(BuildReportLines(model)));
}

const QByteArray OldContent = "the target's old content\r\n";
} // namespace

class TestCliDamagedFiles : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> folder;

    QString path(const QString& name) const { return folder->filePath(name); }
    QStringList folderContent() const {
        return QDir(folder->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private slots:
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
    }

    void anyCommand_onFileThatIsNoExchangeFile_failsNamingItAndWritesNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        for (const QString& name : QDir(dataFile(u"damaged"_s)).entryList(QDir::Files)) {
            if (name != u"cut-off.nt2")
                QTest::newRow(qPrintable(name))
                    << u"damaged/"_s + name << u"ist keine Austauschdatei"_s;
        }
        QTest::newRow("UTF-8 with a character Windows-1252 cannot hold")
            << u"utf8/unconvertible.nt2"_s << u"in Zeile 28 das Zeichen Ł (U+0141)"_s;
    }
    void anyCommand_onFileThatIsNoExchangeFile_failsNamingItAndWritesNothing() {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        const QString in = path(u"EXCHANGE.NT2"_s);
        QVERIFY(QFile::copy(dataFile(file), in));
        const QByteArray before = readBytes(in);
        writeBytes(path(u"out.nt2"_s), OldContent);
        const QList<QStringList> calls = {{u"check"_s, in},
                                          {u"report"_s, in},
                                          {u"resave"_s, in, path(u"out.nt2"_s)},
                                          {u"resave"_s, u"--force"_s, in, path(u"out.nt2"_s)},
                                          {u"resave"_s, in, in}};
        for (const QStringList& call : calls) {
            const CliResult result = runCli(call);
            const QString err = QString::fromUtf8(result.err);
            QCOMPARE(result.exitCode, 1);
            QVERIFY2(err.startsWith(u"ntbmelde-cli: Die Datei "_s + in + u' ') &&
                         err.contains(reason) && err.contains(u"weder gelesen noch verändert"_s),
                     qPrintable(err));
            QCOMPARE(result.out, QByteArray());
        }
        QCOMPARE(readBytes(in), before);
        QCOMPARE(readBytes(path(u"out.nt2"_s)), OldContent);
        QCOMPARE(folderContent(), QStringList({u"EXCHANGE.NT2"_s, u"out.nt2"_s}));
    }

    void cutOffFile_checkFindsIt_reportPrintsIt_resaveNeedsForce() {
        const QString in = dataFile(u"damaged/cut-off.nt2"_s);
        const QString warning = u"Die Datei "_s + in +
                                u" ist unvollständig: das Dateiende fehlt. Es wurden 2 Meldungen "
                                u"gelesen; fehlende Meldungen müssen neu erfasst werden."_s;

        const CliResult check = runCli({u"check"_s, in});
        QCOMPARE(check.exitCode, 1);
        QCOMPARE(QString::fromUtf8(check.out).split(u'\n').first(), warning);
        QVERIFY(!check.out.contains("Keine fehlerhaften Meldungen"));

        const CliResult report = runCli({u"report"_s, in});
        QCOMPARE(report.exitCode, 0);
        QCOMPARE(report.out, printoutOf(readBytes(in)));
        QVERIFY(report.out.contains("W\xF6hler, J\xFCrgen"));
        QCOMPARE(QString::fromUtf8(report.err), u"ntbmelde-cli: "_s + warning + u'\n');

        const QString out = path(u"out.nt2"_s);
        const CliResult refused = runCli({u"resave"_s, in, out});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("--force"), refused.err.constData());
        QVERIFY(folderContent().isEmpty());

        const CliResult forced = runCli({u"resave"_s, u"--force"_s, in, out});
        QCOMPARE(forced.exitCode, 0);
        TMeldeAustausch saved;
        const TLoadReport savedReport = saved.LoadFromFile(out.toStdString());
        QCOMPARE(savedReport.Verdict, TFileVerdict::Complete);
        QCOMPARE(saved.NominCount(), 2);
        QCOMPARE(folderContent(), QStringList{u"out.nt2"_s});
    }

    void utf8File_isConvertedWithANote_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("with byte-order mark") << u"utf8/nominations-bom.nt2"_s;
        QTest::newRow("without byte-order mark") << u"utf8/nominations.nt2"_s;
    }
    void utf8File_isConvertedWithANote() {
        QFETCH(QString, file);
        const QString original = dataFile(u"exchange/nominations.nt2"_s);
        QCOMPARE(runCli({u"resave"_s, original, path(u"original.nt2"_s)}).exitCode, 0);
        const CliResult resave = runCli({u"resave"_s, dataFile(file), path(u"converted.nt2"_s)});
        QCOMPARE(resave.exitCode, 0);
        QCOMPARE(readBytes(path(u"converted.nt2"_s)), readBytes(path(u"original.nt2"_s)));
        QCOMPARE(QString::fromUtf8(resave.err),
                 u"ntbmelde-cli: Die Datei "_s + dataFile(file) +
                     u" war in UTF-8 geschrieben und wurde beim Lesen umgewandelt. Gespeichert "
                     u"wird sie wie jede Austauschdatei im Zeichensatz Windows-1252.\n"_s);
        const CliResult report = runCli({u"report"_s, dataFile(file)});
        QCOMPARE(report.exitCode, 0);
        QCOMPARE(report.out, runCli({u"report"_s, original}).out);
    }

    void resave_ontoFileOpenInAProgram_failsAndLeavesItAlone() {
        const QString target = path(u"EXCHANGE.NT2"_s);
        writeBytes(target, OldContent);
        QLockFile program(path(u".EXCHANGE.NT2.lock"_s));
        QVERIFY(program.tryLock(0));
        const CliResult result = runCli({u"resave"_s, QStringLiteral(DEMO_FILE), target});
        QCOMPARE(result.exitCode, 1);
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(
            err.startsWith(u"ntbmelde-cli: Die Datei "_s + target +
                           u" ist bereits in einem anderen Meldeprogramm geöffnet (Prozess "_s +
                           QString::number(QCoreApplication::applicationPid())),
            qPrintable(err));
        QCOMPARE(readBytes(target), OldContent);
        program.unlock();
        QCOMPARE(runCli({u"resave"_s, QStringLiteral(DEMO_FILE), target}).exitCode, 0);
        QCOMPARE(folderContent(), QStringList{u"EXCHANGE.NT2"_s});
    }

    // A program that crashed left its lock behind; nobody holds it any more.
    void resave_ontoFileWithStaleLock_savesAndRemovesTheLock() {
        const QString target = path(u"EXCHANGE.NT2"_s);
        const QString lockPath = path(u".EXCHANGE.NT2.lock"_s);
        const pid_t child = ::fork();
        if (child == 0) {
            QLockFile crashing(lockPath);
            ::_exit(crashing.tryLock(0) ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(QFile::exists(lockPath));
        const CliResult result = runCli({u"resave"_s, QStringLiteral(DEMO_FILE), target});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(folderContent(), QStringList{u"EXCHANGE.NT2"_s});
    }
};

QTEST_GUILESS_MAIN(TestCliDamagedFiles)
#include "tst_cli_damagedfiles.moc"
