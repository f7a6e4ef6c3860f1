// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli report FILE`, run as a host or a script runs it.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "clirunner.h"
#include "meldeaustausch.h"
#include "report.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

const QString DataDir = QStringLiteral(TEST_DATA_DIR "/report/");

} // namespace

class TestCliReport : public QObject {
    Q_OBJECT
private slots:
    // Nominations in file order (not name order), a section without date element, a club
    // name with RTF's special characters, umlauts as single bytes.
    void report_handWrittenFile_printsHandCheckedText() {
        const CliResult result = runCli({u"report"_s, DataDir + u"unsorted.NT2"_s});
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, readFile(DataDir + u"unsorted.txt"_s));
    }

    void report_demoFile_isByteForByteThePlainTextSave() {
        TMeldeAustausch model;
        model.LoadFromFile(DEMO_FILE);
        QTemporaryDir folder;
        const QString saved = folder.filePath(u"ausdruck.txt"_s);
        SaveReportPlainText(saved.toStdString(), BuildReportLines(model));

        const CliResult result = runCli({u"report"_s, QStringLiteral(DEMO_FILE)});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, readFile(saved));
        QVERIFY(result.out.endsWith("\r\n"));
        QCOMPARE(result.out.count('\n'), result.out.count("\r\n"));
    }

    void report_missingFile_failsWithGermanMessage() {
        QTemporaryDir folder;
        const CliResult result = runCli({u"report"_s, folder.filePath(u"EXCHANGE.NT2"_s)});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QByteArray());
        QVERIFY2(result.err.contains("Datei nicht gefunden"), result.err.constData());
    }

    void report_outputThatCannotBeWritten_fails() {
        const CliResult result = runCli({u"report"_s, QStringLiteral(DEMO_FILE)}, u"/dev/full"_s);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains("Zu wenig Speicherplatz"), result.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestCliReport)
#include "tst_cli_report.moc"
