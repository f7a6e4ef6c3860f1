// SPDX-License-Identifier: GPL-3.0-or-later
// A swimmer store that cannot be used: newer schema, damaged file or pages, another program's
// database, read-only folder, another program holding the write lock. The store says why,
// leaves the file alone, never stores half a change and works again once it can.
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../shared/competitionbuilder.h"
#include "swimmerstore.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Unavailable = u"Die Schwimmerliste ist nicht verfügbar: "_s;

QByteArray hashOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// A second program's connection to the store file, as raw SQLite.
class OtherProgram {
public:
    explicit OtherProgram(const QString& path, const QString& name = u"other program"_s)
        : name(name) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
    }
    ~OtherProgram() {
        QSqlDatabase::database(name).close();
        QSqlDatabase::removeDatabase(name);
    }
    void run(const QString& statement) {
        QSqlQuery query(QSqlDatabase::database(name));
        if (!query.exec(statement))
            qFatal("%s failed", qPrintable(statement));
    }

private:
    QString name;
};

// A folder that cannot be written: its own read-only tmpfs where mounting is allowed (as
// root, who may write into any folder with mode 0555), else the mode.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : folder(path) {
        QDir().mkpath(path);
        mounted = ::mount("tmpfs", path.toLocal8Bit().constData(), "tmpfs", 0, "size=1m") == 0;
    }
    ~ReadOnlyFolder() {
        if (mounted)
            ::umount(folder.toLocal8Bit().constData());
        else
            ::chmod(folder.toLocal8Bit().constData(), 0755);
    }
    bool protect() {
        if (mounted)
            return ::mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs",
                           MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        return ::geteuid() != 0 && ::chmod(folder.toLocal8Bit().constData(), 0555) == 0;
    }
    QString folder;
    bool mounted = false;
};

// Overwrites the middle of every page after the first, keeping the file's size and header.
void damagePages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        qFatal("cannot open %s", qPrintable(path));
    constexpr qint64 PageSize = 4096;
    for (qint64 page = 1; page * PageSize < file.size(); ++page) {
        file.seek(page * PageSize + 8);
        file.write(QByteArray(64, '\x5A'));
    }
}

TMeldeAustausch competitionOfThree() {
    CompetitionBuilder builder;
    builder.model.CompName = "Stadtmeisterschaft";
    builder.model.Date1 = "14.06.2026";
    builder.model.LaneLen = 25;
    builder.model.ClubName = "SV Neustadt";
    builder.event("1", u"100m Freistil"_s);
    builder.nomin(u"Meier, Hans"_s, 2008, "1", 6512);
    builder.nomin(u"Berg, Ida"_s, 2009, "1", 7012, 1);
    builder.nomin(u"Lang, Tim"_s, 2007, "1", 6012);
    return builder.done();
}

} // namespace

class TestStoreFaults : public QObject {
    Q_OBJECT
private slots:
    void init() {
        folderOwner = std::make_unique<QTemporaryDir>();
        QVERIFY(folderOwner->isValid());
        path = folderOwner->filePath(u"ntbmelde.sqlite"_s);
    }

    void newerSchema_unavailableAndUntouched() {
        { TSwimmerStore created(folderOwner->path()); }
        {
            OtherProgram newerProgram(path);
            newerProgram.run(u"PRAGMA user_version = 6"_s);
        }
        const QByteArray before = hashOf(path);
        TSwimmerStore store(folderOwner->path());
        QVERIFY(!store.Available());
        QCOMPARE(store.Problem(),
                 Unavailable +
                     u"Die Datei %1 stammt von einer neueren Programmversion."_s.arg(path));
        QVERIFY(store.AllSwimmers().empty());
        QVERIFY(!store.RememberCompetition(competitionOfThree()));
        QCOMPARE(hashOf(path), before);
    }

    // The end of the file lost (a copy broken off, a full stick): reported with its path and
    // left exactly as it is, nothing created beside it.
    void damagedFile_unavailableAndUntouched_data() {
        QTest::addColumn<bool>("truncated");
        QTest::newRow("truncated database") << true;
        QTest::newRow("no database at all") << false;
    }
    void damagedFile_unavailableAndUntouched() {
        QFETCH(bool, truncated);
        if (truncated) {
            TSwimmerStore filled(folderOwner->path());
            std::vector<TSwimmer> swimmers(3000);
            for (int i = 0; i < 3000; ++i) {
                swimmers[i].Name = "Name" + std::to_string(i) + ", Vorname";
                swimmers[i].BirthYear = 2000 + i % 15;
            }
            QVERIFY(filled.AddSwimmers(swimmers));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("Name;Vorname\r\n").repeated(200));
        }
        QVERIFY(!QFile::exists(path + u"-wal"_s));
        if (truncated)
            QVERIFY(QFile::resize(path, QFileInfo(path).size() / 2));
        const QByteArray before = hashOf(path);

        TSwimmerStore store(folderOwner->path());
        QVERIFY(!store.Available());
        QCOMPARE(store.Problem(),
                 Unavailable +
                     u"Die Datei %1 ist beschädigt; sie bleibt unverändert erhalten."_s.arg(path));
        QVERIFY(!store.RememberCompetition(competitionOfThree()));
        TSwimmer swimmer;
        swimmer.Name = "Meier, Hans";
        QVERIFY(!store.SaveSwimmer(swimmer));
        QCOMPARE(hashOf(path), before);
        QCOMPARE(QDir(folderOwner->path()).entryList(QDir::Files),
                 QStringList{u"ntbmelde.sqlite"_s});
    }

    void readOnlyFolder_unavailable_data() {
        QTest::addColumn<bool>("withStore");
        QTest::newRow("new store") << false;
        QTest::newRow("existing store") << true;
    }
    void readOnlyFolder_unavailable() {
        QFETCH(bool, withStore);
        ReadOnlyFolder readOnly(folderOwner->filePath(u"home"_s));
        if (withStore) {
            TSwimmerStore filled(readOnly.folder);
            QVERIFY(filled.RememberCompetition(competitionOfThree()));
        }
        if (!readOnly.protect())
            QSKIP("no read-only folder here: not root, or root without mounting");
        TSwimmerStore store(readOnly.folder);
        QVERIFY(!store.Available());
        QVERIFY2(store.Problem().startsWith(Unavailable), qPrintable(store.Problem()));
        QVERIFY(!store.RememberCompetition(competitionOfThree()));

        // A folder that cannot even be created is named.
        TSwimmerStore below(readOnly.folder + u"/ntbmelde"_s);
        QCOMPARE(below.Problem(),
                 Unavailable +
                     u"Der Ordner %1/ntbmelde lässt sich nicht anlegen."_s.arg(readOnly.folder));
    }

    // Another program in the middle of a write: a lock held for a moment is waited for; one
    // held beyond the busy timeout fails the change whole, and the next change works again.
    void lockedStore_waitedForThenRecovers() {
        TSwimmerStore store(folderOwner->path());
        QVERIFY(store.Available());
        std::atomic<bool> held = false;
        std::thread importing([this, &held] {
            OtherProgram other(path, u"importing program"_s);
            other.run(u"BEGIN IMMEDIATE"_s);
            held = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            other.run(u"ROLLBACK"_s);
        });
        while (!held)
            std::this_thread::yield();
        QElapsedTimer clock;
        clock.start();
        const std::optional<TStoreCount> waited = store.RememberCompetition(competitionOfThree());
        importing.join();
        QVERIFY2(waited, qPrintable(store.Problem()));
        QCOMPARE(waited->NewSwimmers, 3);
        QVERIFY(clock.elapsed() >= 1000);

        OtherProgram other(path);
        other.run(u"BEGIN IMMEDIATE"_s);
        other.run(u"INSERT INTO swimmer (name, name_key, first_name_key, birth_year, sex,"
                  " reg_nr, active) VALUES ('Zorn, Eva', 'ZORN, EVA', 'EVA', 2010, 1, '', 1)"_s);
        TSwimmer swimmer;
        swimmer.Name = "Kern, Ole";
        QVERIFY(!store.SaveSwimmer(swimmer));
        QCOMPARE(swimmer.Id, 0);
        QCOMPARE(store.Problem(),
                 Unavailable +
                     u"Die Datei %1 wird gerade von einem anderen Programm benutzt."_s.arg(path));
        QCOMPARE(store.AllSwimmers().size(), 3u); // the other program's row is not committed
        QVERIFY(store.Problem().isEmpty());

        other.run(u"ROLLBACK"_s);
        QVERIFY(store.Available());
        QVERIFY(store.SaveSwimmer(swimmer));
        QCOMPARE(store.AllSwimmers().size(), 4u);
    }

    // Another program's SQLite file, and one whose pages are damaged: read as far as it goes,
    // never written into, not even switched to a write-ahead log.
    void foreignOrDamagedDatabase_neverWritten_data() {
        QTest::addColumn<bool>("foreign");
        QTest::newRow("another program's database") << true;
        QTest::newRow("damaged pages") << false;
    }

    void foreignOrDamagedDatabase_neverWritten() {
        QFETCH(bool, foreign);
        if (foreign) {
            OtherProgram other(path);
            other.run(u"CREATE TABLE unrelated (x)"_s);
            other.run(u"INSERT INTO unrelated VALUES (1)"_s);
        } else {
            {
                TSwimmerStore store(folderOwner->path());
                QVERIFY(store.RememberCompetition(competitionOfThree()));
            }
            damagePages(path);
        }
        const QByteArray before = hashOf(path);
        TSwimmerStore store(folderOwner->path());
        QCOMPARE(store.Available(), !foreign);
        QVERIFY(!store.RememberCompetition(competitionOfThree()));
        TSwimmer swimmer;
        swimmer.Name = "Kern, Ole";
        QVERIFY(!store.SaveSwimmer(swimmer));
        QVERIFY(store.Problem().startsWith(Unavailable + u"Die Datei %1 "_s.arg(path)));
        QVERIFY(store.Problem().endsWith(u"; sie bleibt unverändert erhalten."_s));
        QCOMPARE(hashOf(path), before);
        if (foreign) // a store of this program has its log already
            QVERIFY(!QFile::exists(path + u"-wal"_s));
    }

private:
    std::unique_ptr<QTemporaryDir> folderOwner;
    QString path;
};

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "tst_storefaults.moc"
