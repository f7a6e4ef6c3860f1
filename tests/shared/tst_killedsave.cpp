// SPDX-License-Identifier: GPL-3.0-or-later
// A save killed at any moment (power cut, kill -9 of a host's script) leaves the old or the new
// complete exchange file, and after the next save nothing else: no temporary file outlives it.
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "atomicfile.h"
#include "meldeaustausch.h"

namespace {
// A club's large file: saving it takes long enough to be killed in the middle.
TMeldeAustausch largeModel(const std::string& club) {
    TMeldeAustausch model;
    model.ClubName = club;
    TEventRecord event = EmptyEvent;
    event.WkNr = 1000;
    model.SetEvent(1, event);
    for (int i = 1; i <= 50000; ++i)
        model.SetNomin(i, {"Testname" + std::to_string(i) + ", Vorname", 2010, 0, 1000, 3000 + i,
                           "R" + std::to_string(i)});
    return model;
}

// Starts a process that saves `model` to `path` and ends.
pid_t startSaving(const TMeldeAustausch& model, const std::string& path, bool namedTemporary) {
    const pid_t child = ::fork();
    if (child == 0) {
        PinNamedTemporaryFiles(namedTemporary);
        TMeldeAustausch copy = model;
        copy.SaveToFile(path);
        ::_exit(0);
    }
    return child;
}
} // namespace

class TestKilledSave : public QObject {
    Q_OBJECT
    QTemporaryDir folder;

    QStringList folderContent() const {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private slots:
    void initTestCase() { QVERIFY(folder.isValid()); }

    void saveKilledAtManyMoments_leavesOldOrNewFileAndNothingAfterTheNextSave_data() {
        QTest::addColumn<bool>("namedTemporary");
        QTest::newRow("unnamed temporary file") << false;
        QTest::newRow("temporary file named from the start") << true;
    }
    void saveKilledAtManyMoments_leavesOldOrNewFileAndNothingAfterTheNextSave() {
        QFETCH(bool, namedTemporary);
        const std::string path = folder.filePath(QStringLiteral("EXCHANGE.NT2")).toStdString();
        const TMeldeAustausch models[] = {largeModel("SV Alt"), largeModel("SV Neu")};
        const std::string texts[] = {TMeldeAustausch(models[0]).ToFileText(),
                                     TMeldeAustausch(models[1]).ToFileText()};
        WriteFileAtomically(path, texts[0]);

        // How long one save takes here, so that the kills spread over all of it.
        QElapsedTimer timer;
        timer.start();
        int status = 0;
        const pid_t timed = startSaving(models[0], path, namedTemporary);
        QCOMPARE(::waitpid(timed, &status, 0), timed);
        const qint64 saveTime = std::max<qint64>(timer.nsecsElapsed() / 1000, 1000);

        constexpr int Kills = 20;
        int leftBehind = 0;
        for (int kill = 0; kill < Kills; ++kill) {
            const std::string before = ReadWholeFile(path);
            const int other = before == texts[0] ? 1 : 0;
            const pid_t child = startSaving(models[other], path, namedTemporary);
            ::usleep(static_cast<useconds_t>(saveTime * kill / (Kills - 5)));
            ::kill(child, SIGKILL);
            QCOMPARE(::waitpid(child, &status, 0), child);
            const std::string after = ReadWholeFile(path);
            QVERIFY2(
                after == before || after == texts[other],
                qPrintable(QStringLiteral("kill %1: the file is neither old nor new").arg(kill)));
            if (folderContent().size() == 1)
                continue;
            // What the killed save left goes with the next save, or at the next start.
            if (++leftBehind % 2 == 1)
                TMeldeAustausch(models[after == texts[0] ? 0 : 1]).SaveToFile(path);
            else
                RemoveStaleTemporaryFiles(path);
            QCOMPARE(folderContent(), QStringList{QStringLiteral("EXCHANGE.NT2")});
            QCOMPARE(ReadWholeFile(path), after);
        }
        // With a name from the start, kills in the middle must have caught temporary files.
        if (namedTemporary)
            QVERIFY(leftBehind >= 2);
    }

    // Only files of processes that no longer run are removed: one that a running save still
    // writes, one of another computer and any other file stay.
    void staleTemporaryFiles_onlyThoseOfEndedProcessesGo() {
        QTemporaryDir place;
        const QString target = place.filePath(QStringLiteral("EXCHANGE.NT2"));
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        const pid_t ended = ::fork();
        if (ended == 0)
            ::_exit(0);
        int status = 0;
        QCOMPARE(::waitpid(ended, &status, 0), ended);
        const QString ours = QStringLiteral(".EXCHANGE.NT2.") + QString::fromLatin1(host) + u'.';
        const QStringList gone = {ours + QString::number(ended) + QStringLiteral(".1.tmp"),
                                  ours + QString::number(ended) + QStringLiteral(".17.tmp")};
        const QStringList kept = {ours + QString::number(::getpid()) + QStringLiteral(".1.tmp"),
                                  QStringLiteral(".EXCHANGE.NT2.anderer-rechner.") +
                                      QString::number(ended) + QStringLiteral(".1.tmp"),
                                  ours + QString::number(ended) + QStringLiteral(".1.tmp.bak"),
                                  ours + QStringLiteral("x.1.tmp"),
                                  QStringLiteral(".OTHER.NT2.") + QString::fromLatin1(host) + u'.' +
                                      QString::number(ended) + QStringLiteral(".1.tmp"),
                                  QStringLiteral("EXCHANGE.NT2")};
        for (const QString& name : gone + kept) {
            QFile file(place.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        RemoveStaleTemporaryFiles(target.toStdString());
        QStringList left = QDir(place.path()).entryList(QDir::Files | QDir::Hidden);
        QStringList expected = kept;
        left.sort();
        expected.sort();
        QCOMPARE(left, expected);
    }
};

QTEST_GUILESS_MAIN(TestKilledSave)
#include "tst_killedsave.moc"
