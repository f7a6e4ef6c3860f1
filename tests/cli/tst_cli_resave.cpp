// SPDX-License-Identifier: GPL-3.0-or-later
// ntbmelde-cli resave, run as a host or script runs it.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "clirunner.h"

namespace {
QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestCliResave : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void resave_demoWithPointLocale() {
        const QString out = dir.filePath(QStringLiteral("out.nt2"));
        const CliResult result = runCli({QStringLiteral("resave"), QStringLiteral(DEMO_FILE), out});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.err.isEmpty());
        QByteArray expected = fileBytes(QStringLiteral(DEMO_FILE));
        // The demo file carries the host's comma; the C locale writes a point.
        expected.replace("<FEE>4,5</FEE>", "<FEE>4.5</FEE>");
        QCOMPARE(fileBytes(out), expected);
    }

    void resave_inPlaceKeepsNominationsAndSortsThem() {
        const QString file = dir.filePath(QStringLiteral("EXCHANGE.NT2"));
        QFile::copy(QStringLiteral(TEST_DATA_DIR "/exchange/nominations.nt2"), file);
        QCOMPARE(runCli({QStringLiteral("resave"), file, file}).exitCode, 0);
        const QByteArray text = fileBytes(file);
        QVERIFY(text.indexOf("<NAME>Berger, Lina</NAME>") <
                text.indexOf("<NAME>W\xF6hler, J\xFCrgen</NAME>"));
        QVERIFY(text.contains("<NAME>SV Gr\xFCn-Wei\xDF Beispielstadt</NAME>"));
        QVERIFY(text.contains("  <NOMIN id=2>"));
        // A second resave changes nothing.
        const QByteArray once = text;
        QCOMPARE(runCli({QStringLiteral("resave"), file, file}).exitCode, 0);
        QCOMPARE(fileBytes(file), once);
    }

    void resave_missingInputIsAnError() {
        const QString out = dir.filePath(QStringLiteral("never.nt2"));
        const CliResult result =
            runCli({QStringLiteral("resave"), dir.filePath(QStringLiteral("nope.nt2")), out});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains("Datei nicht gefunden"), result.err.constData());
        QVERIFY(!QFile::exists(out));
    }

    void resave_unwritableTargetIsAnError() {
        const CliResult result = runCli({QStringLiteral("resave"), QStringLiteral(DEMO_FILE),
                                         dir.filePath(QStringLiteral("no/such/folder/x.nt2"))});
        QCOMPARE(result.exitCode, 1);
        QVERIFY(!result.err.isEmpty());
    }

    void wrongArguments_showUsage() {
        const CliResult result = runCli({QStringLiteral("resave"), QStringLiteral("only-one")});
        QVERIFY(result.exitCode != 0);
        QVERIFY(result.err.contains("Aufruf"));
    }
};

QTEST_GUILESS_MAIN(TestCliResave)
#include "tst_cli_resave.moc"
