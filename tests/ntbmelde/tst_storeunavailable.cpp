// SPDX-License-Identifier: GPL-3.0-or-later
// A store that cannot be used: the program starts, enters and saves as without it, says once
// what is wrong, and leaves a damaged store file as it found it.
#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "environment.h"
#include "global.h"
#include "mainwindow.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "modaldialog.h"
#include "nextmodal.h"
#include "swimmerstore.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool activate(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

} // namespace

class TestStoreUnavailable : public QObject {
    Q_OBJECT
    QByteArray dataDirBefore;

private slots:
    void init() {
        PinCurrentYear(2026);
        dataDirBefore = qgetenv("NTBMELDE_DATA_DIR");
    }
    void cleanup() {
        qputenv("NTBMELDE_DATA_DIR", dataDirBefore);
        PinCurrentYear(0);
    }

    void program_worksWithoutTheStore_andSaysSoOnce_data() {
        QTest::addColumn<QString>("damage");
        // sysfs refuses new folders even to root, who may write into any read-only folder.
        QTest::newRow("folder that cannot be made") << u"unmakeable folder"_s;
        QTest::newRow("store file cut off") << u"truncated file"_s;
    }
    void program_worksWithoutTheStore_andSaysSoOnce() {
        QFETCH(QString, damage);
        QTemporaryDir dataFolder;
        QString storeFile;
        QByteArray damagedBytes;
        if (damage == u"unmakeable folder"_s) {
            qputenv("NTBMELDE_DATA_DIR", "/sys/ntbmelde-test");
        } else {
            {
                TSwimmerStore store(dataFolder.path());
                QVERIFY(store.Available());
                TSwimmer swimmer;
                swimmer.Name = "Meier, Hans";
                swimmer.BirthYear = 2008;
                QVERIFY(store.SaveSwimmer(swimmer));
                storeFile = store.FilePath();
            }
            QFile file(storeFile);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.resize(file.size() / 2 + 100));
            file.close();
            damagedBytes = readFile(storeFile);
            qputenv("NTBMELDE_DATA_DIR", QFile::encodeName(dataFolder.path()));
        }

        QTemporaryDir folder;
        const QString exchangeFile = folder.filePath(u"EXCHANGE.NT2"_s);
        QVERIFY(QFile::copy(QStringLiteral(DEMO_FILE), exchangeFile));
        QVERIFY(QFile::setPermissions(exchangeFile, QFile::ReadOwner | QFile::WriteOwner));
        Global::ResetDataChanged();
        MessageRecorder messages;
        TMainWindow window(folder.path());
        window.show();
        QVERIFY(activate(&window));
        QTRY_COMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown.constFirst().startsWith(
                     u"Warnung: Die Schwimmerliste ist nicht verfügbar: "_s),
                 qPrintable(messages.shown.constFirst()));
        // The window tries the store again when asked for.
        QVERIFY(window.findChild<QPushButton*>(u"ButtonSchwimmer"_s)->isEnabled());
        if (!storeFile.isEmpty())
            QVERIFY2(messages.shown.constFirst().contains(QDir::toNativeSeparators(storeFile)),
                     "the user is told where the damaged file is");

        // A swimmer typed as ever, no list under the name field; the save is not held up.
        {
            NextModal entries([](QWidget* dialog) {
                type(u"Meier, Hans"_s);
                QVERIFY(!dialog->findChild<QCompleter*>()->popup()->isVisible());
                press(Qt::Key_Return);
                type(u"08"_s);
                for (int i = 0; i < 3; ++i)
                    press(Qt::Key_Return);
                type(u"2"_s);
                press(Qt::Key_Return);
                type(u"24510"_s);
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                pressAccelerator(Qt::Key_K);
                QVERIFY(!dialog->isVisible());
            });
            pressAccelerator(Qt::Key_M);
            QTRY_VERIFY(entries.seen());
        }
        QCOMPARE(window.meldeAustausch()->NominCount(), 1);
        QVERIFY(activate(&window));
        NextModal exitNotice([](QWidget*) { press(Qt::Key_Return); });
        pressAccelerator(Qt::Key_B);
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown.constLast(), u"Frage: Daten jetzt speichern?"_s);

        TMeldeAustausch saved;
        saved.LoadFromFile(QFile::encodeName(exchangeFile).toStdString());
        QCOMPARE(saved.NominCount(), 1);
        QCOMPARE(saved.GetNomin(1).Time, 16510);
        if (!storeFile.isEmpty())
            QCOMPARE(readFile(storeFile), damagedBytes);
    }

    // The store fails only when the competition is remembered: the exchange file is saved all
    // the same, and the failure is said once.
    void save_storeFailsAfterwards_savesTheFileAndSaysSoOnce() {
        QTemporaryDir dataFolder;
        const QString mountPoint = dataFolder.filePath(u"store"_s);
        QVERIFY(QDir().mkdir(mountPoint));
        // A small file system of its own, which the test fills.
        if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=4m"_s, u"tmpfs"_s,
                                           mountPoint}) != 0)
            QSKIP("cannot mount a file system here");
        const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {mountPoint}); });
        qputenv("NTBMELDE_DATA_DIR", QFile::encodeName(mountPoint));

        QTemporaryDir folder;
        const QString exchangeFile = folder.filePath(u"EXCHANGE.NT2"_s);
        QVERIFY(QFile::copy(QStringLiteral(DEMO_FILE), exchangeFile));
        QVERIFY(QFile::setPermissions(exchangeFile, QFile::ReadOwner | QFile::WriteOwner));
        MessageRecorder messages;
        TMainWindow window(folder.path());
        window.show();
        QVERIFY(activate(&window));
        QTest::qWait(20);
        QCOMPARE(messages.shown, QStringList());
        // The store's file system fills up.
        QFile filler(mountPoint + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(64 * 1024, '\0');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();

        window.meldeAustausch()->ClubName = "SV Teststadt";
        Global::SetDataChanged();
        NextModal exitNotice([](QWidget*) { press(Qt::Key_Return); });
        QVERIFY(window.close());
        QVERIFY(exitNotice.seen());
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown.constFirst(), u"Frage: Daten jetzt speichern?"_s);
        QCOMPARE(messages.shown.constLast(),
                 u"Warnung: Die Meldungen sind gespeichert; in die Schwimmerliste wurden sie "
                 u"nicht übernommen: Zu wenig Speicherplatz für %1."_s.arg(
                     QDir::toNativeSeparators(mountPoint + u"/ntbmelde.sqlite"_s)));
        TMeldeAustausch saved;
        saved.LoadFromFile(QFile::encodeName(exchangeFile).toStdString());
        QCOMPARE(saved.ClubName, std::string("SV Teststadt"));
    }
};

QTEST_MAIN(TestStoreUnavailable)
#include "tst_storeunavailable.moc"
