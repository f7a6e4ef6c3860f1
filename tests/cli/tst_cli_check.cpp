// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli check FILE`, run as a host or a script runs it.
#include <QTemporaryDir>
#include <QTest>

#include "clirunner.h"
#include "meldeaustausch.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The check's lists are UTF-8 text.
struct CheckResult {
    int exitCode = -1;
    QString out;
    QString err;
};

CheckResult runCheck(const QString& file) {
    const CliResult result = runCli({u"check"_s, file});
    return {result.exitCode, QString::fromUtf8(result.out), QString::fromUtf8(result.err)};
}

const QString RefusalsFile = QStringLiteral(TEST_DATA_DIR "/check/refusals.NT2");

} // namespace

class TestCliCheck : public QObject {
    Q_OBJECT
private slots:
    // Positions in file order; umlauts of the Windows-1252 file come out as UTF-8. Meldung 5
    // fits the first event 3 but not the last one, which is the one that counts.
    void check_handWrittenFile_listsEveryRefusalWithSwimmerAndReason() {
        const CheckResult result = runCheck(RefusalsFile);
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(
            result.out.split(u'\n'),
            QStringList({
                u"Meldung 2: Adler, Eva, Jg. 2001, Wettkampf 2b: In diesem Wettkampf sind "
                u"nur Teilnehmer der Jahrgänge 2005 bis 2015 erlaubt"_s,
                u"Meldung 3: MÜLLER, LENA, Jg. 2009, Wettkampf 2B: Ungültige Wettkampfnummer"_s,
                u"Meldung 4: Weiß, Jörg, Jg. 2009, Wettkampf 3: Falsches Geschlecht für "
                u"diesen Wettkampf"_s,
                u"Meldung 5: Öztürk, Can, Jg. 2005, Wettkampf 3: In diesem Wettkampf sind "
                u"nur Teilnehmer der Jahrgänge 2008 bis 2014 erlaubt"_s,
                u"Meldung 6: Berg, Uwe, Jg. 2010, Wettkampf 3: Ungültige Meldezeit"_s,
                u"Meldung 7: Kunz, Ida, Jg. 1850, Wettkampf 1: Ungültige Jahrgangsangabe"_s,
                u"Meldung 8: Lang, Tim, Jg. 2012, Wettkampf 9: Ungültige Wettkampfnummer"_s,
                QString(),
            }));
    }

    void check_fittingNominations_saysSoAndSucceeds() {
        TMeldeAustausch model;
        model.LoadFromFile(RefusalsFile.toStdString());
        for (int position = 8; position >= 2; --position)
            model.DeleteNomin(position);
        QTemporaryDir folder;
        const QString fitting = folder.filePath(u"EXCHANGE.NT2"_s);
        model.SaveToFile(fitting.toStdString());

        const CheckResult result = runCheck(fitting);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, u"Keine fehlerhaften Meldungen.\n"_s);
        QCOMPARE(runCheck(QStringLiteral(DEMO_FILE)).exitCode, 0); // no nominations at all
    }

    void check_missingFile_failsWithAGermanMessage() {
        QTemporaryDir folder;
        const CheckResult result = runCheck(folder.filePath(u"EXCHANGE.NT2"_s));
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QString());
        QCOMPARE(result.err,
                 u"ntbmelde-cli: %1 kann nicht gelesen werden: Datei nicht gefunden\n"_s.arg(
                     folder.filePath(u"EXCHANGE.NT2"_s)));
    }
};

QTEST_GUILESS_MAIN(TestCliCheck)
#include "tst_cli_check.moc"
