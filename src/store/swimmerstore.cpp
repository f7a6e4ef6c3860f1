// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmerstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <map>
#include <tuple>

#include "conversions.h"
#include "entrycheck.h"
#include "germanorder.h"
#include "meldeaustausch.h"
#include "swimmeridentity.h"
#include "utf8.h"
#include "windows1252.h"

namespace {

constexpr auto DatabaseFileName = "ntbmelde.sqlite";
// A second program importing a large result list may hold the write lock for seconds; the
// user's save waits for it rather than forgetting what it would remember.
constexpr int BusyTimeoutMilliseconds = 5000;
constexpr auto IsoDate = "yyyy-MM-dd";

// SQLite's primary result codes that the user gets a text of their own for.
enum SqliteCode {
    SqliteBusy = 5,
    SqliteLocked = 6,
    SqliteReadOnly = 8,
    SqliteCorrupt = 11,
    SqliteFull = 13,
    SqliteCantOpen = 14,
    SqliteNotADatabase = 26,
};

// Ends the store operation under way; the public function turns it into Problem().
struct StoreFailure {
    QSqlError Error;
};

QString unicode(const std::string& ansi) {
    return QString::fromStdString(AnsiToUtf8(ansi));
}

// The database only ever holds texts that came from Windows-1252, so every character maps back.
// (Characters of Windows-1252 are all in the basic plane; ASCII is taken as it is, as the
// swimmer window reads every name.)
std::string ansi(QStringView text) {
    std::string result;
    result.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar character : text)
        result.push_back(static_cast<char>(
            character.unicode() < 0x80 ? character.unicode() : UnicodeToAnsi(character.unicode())));
    return result;
}

// Of UTF-8 text as SQLite hands it out.
std::string ansi(std::string_view utf8) {
    std::string result;
    char32_t failed = 0;
    Utf8ToAnsi(utf8, result, failed);
    return result;
}

// "yyyy-MM-dd" as the store writes it; invalid for anything else.
QDate dateOf(std::string_view text) {
    if (text.size() != 10)
        return {};
    const auto number = [text](std::size_t from, std::size_t length) {
        int value = 0;
        std::from_chars(text.data() + from, text.data() + from + length, value);
        return value;
    };
    return QDate(number(0, 4), number(5, 2), number(8, 2));
}

// Keys are blobs, never null, also when empty (a name without first name).
QByteArray blob(const std::string& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The form of a typed beginning that completion compares: outer blanks removed, capitals.
// Capitals never include byte 0xFF (ÿ becomes Ÿ), which the completion's range search relies on.
QByteArray matchKey(std::string_view text) {
    std::string trimmed = Trim(std::string(text));
    for (char& c : trimmed)
        c = ToUpperAnsi(c);
    return blob(trimmed);
}

// Of a normalised name.
QByteArray firstNameKey(const std::string& name) {
    const std::size_t comma = name.find(',');
    return comma == std::string::npos ? blob({}) : matchKey(name.substr(comma + 1));
}

QVariant isoDate(QDate date) {
    return date.isValid() ? QVariant(date.toString(QString::fromLatin1(IsoDate)))
                          : QVariant(QMetaType(QMetaType::QString));
}

QDate competitionDate(const TMeldeAustausch& model) {
    const QString text = QString::fromLatin1(Trim(model.Date1));
    for (const char* format : {"dd.MM.yyyy", "d.M.yyyy"}) {
        const QDate date = QDate::fromString(text, QString::fromLatin1(format));
        if (date.isValid())
            return date;
    }
    return QDate::currentDate();
}

// Forward migrations: step i turns schema version i into version i + 1.
void createVersion1(QSqlQuery& query);
void addSwumTimes(QSqlQuery& query);
void identifySwimmers(QSqlQuery& query);
void orderSwimmersGermanly(QSqlQuery& query);
void addOfficials(QSqlQuery& query);
using Migration = void (*)(QSqlQuery&);
constexpr std::array<Migration, 5> Migrations = {createVersion1, addSwumTimes, identifySwimmers,
                                                 orderSwimmersGermanly, addOfficials};
constexpr int SchemaVersion = static_cast<int>(Migrations.size());

void exec(QSqlQuery& query, const QString& statement) {
    if (!query.exec(statement))
        throw StoreFailure{query.lastError()};
}

void exec(QSqlQuery& query) {
    if (!query.exec())
        throw StoreFailure{query.lastError()};
}

void prepare(QSqlQuery& query, const QString& statement) {
    if (!query.prepare(statement))
        throw StoreFailure{query.lastError()};
}

// Keys are Windows-1252 capitals as blobs, so that a prefix is a range of an index.
// Strokes are TStroke's values; dates are ISO texts, which sort by date.
void createVersion1(QSqlQuery& query) {
    exec(query, QStringLiteral("CREATE TABLE swimmer ("
                               " id INTEGER PRIMARY KEY,"
                               " name TEXT NOT NULL,"
                               " name_key BLOB NOT NULL,"
                               " first_name_key BLOB NOT NULL,"
                               " birth_year INTEGER NOT NULL,"
                               " sex INTEGER NOT NULL,"
                               " reg_nr TEXT NOT NULL,"
                               " active INTEGER NOT NULL,"
                               " last_entered TEXT)"));
    exec(query, QStringLiteral("CREATE INDEX swimmer_by_name ON swimmer (name_key, birth_year)"));
    exec(query, QStringLiteral("CREATE INDEX swimmer_by_first_name ON swimmer (first_name_key)"));
    exec(query, QStringLiteral("CREATE INDEX swimmer_by_reg_nr ON swimmer (reg_nr)"));
    exec(query, QStringLiteral("CREATE TABLE entry_time ("
                               " swimmer_id INTEGER NOT NULL"
                               "  REFERENCES swimmer (id) ON DELETE CASCADE,"
                               " distance INTEGER NOT NULL,"
                               " stroke INTEGER NOT NULL,"
                               " lane_length INTEGER NOT NULL,"
                               " hundredths INTEGER NOT NULL,"
                               " competition TEXT NOT NULL,"
                               " competition_date TEXT NOT NULL)"));
    exec(query, QStringLiteral("CREATE INDEX entry_time_by_swimmer ON entry_time"
                               " (swimmer_id, distance, stroke, lane_length, hundredths)"));
    exec(query, QStringLiteral("CREATE INDEX entry_time_by_competition ON entry_time"
                               " (competition_date, competition, lane_length)"));
    exec(query, QStringLiteral("CREATE TABLE club_block ("
                               " id INTEGER PRIMARY KEY CHECK (id = 1),"
                               " competition_date TEXT NOT NULL,"
                               " verband INTEGER NOT NULL,"
                               " club_name TEXT NOT NULL, fina TEXT NOT NULL,"
                               " person TEXT NOT NULL, street TEXT NOT NULL,"
                               " zip TEXT NOT NULL, club_place TEXT NOT NULL,"
                               " fon TEXT NOT NULL, fax TEXT NOT NULL,"
                               " email TEXT NOT NULL, club_id TEXT NOT NULL)"));
}

// Times swum at competitions, from result lists; a swim is stored once, however often its file
// is imported (the unique key also serves the look-up of the fastest). Entry times learn the
// technique of an event ("50m Freistil Beine"); those entered before count as whole stroke.
void addSwumTimes(QSqlQuery& query) {
    exec(query,
         QStringLiteral("ALTER TABLE entry_time ADD COLUMN technique INTEGER NOT NULL DEFAULT 0"));
    exec(query, QStringLiteral("DROP INDEX entry_time_by_swimmer"));
    exec(query, QStringLiteral("CREATE INDEX entry_time_by_swimmer ON entry_time"
                               " (swimmer_id, distance, stroke, technique, lane_length,"
                               " hundredths)"));
    exec(query, QStringLiteral("CREATE TABLE swum_time ("
                               " swimmer_id INTEGER NOT NULL"
                               "  REFERENCES swimmer (id) ON DELETE CASCADE,"
                               " distance INTEGER NOT NULL,"
                               " stroke INTEGER NOT NULL,"
                               " technique INTEGER NOT NULL,"
                               " lane_length INTEGER NOT NULL,"
                               " hundredths INTEGER NOT NULL,"
                               " swim_date TEXT NOT NULL,"
                               " competition TEXT NOT NULL,"
                               " UNIQUE (swimmer_id, distance, stroke, technique, lane_length,"
                               "  hundredths, swim_date, competition))"));
}

// Names and numbers in the form every path into the store gives them now: placeholder numbers
// ("0", "000000" of result lists) become none, names lose control characters and a trailing
// comma, and are cut as the exchange file cuts them. Records that now count as one swimmer
// stay apart: they may be two people (ntbmelde-cli swimmers check lists them).
void identifySwimmers(QSqlQuery& query) {
    exec(query, QStringLiteral("ALTER TABLE swimmer ADD COLUMN reg_key TEXT NOT NULL DEFAULT ''"));
    exec(query, QStringLiteral("DROP INDEX swimmer_by_reg_nr"));
    exec(query, QStringLiteral("CREATE INDEX swimmer_by_reg_key ON swimmer (reg_key)"));
    exec(query, QStringLiteral("CREATE INDEX swimmer_by_identity ON swimmer"
                               " (name_key, birth_year, sex)"));
    exec(query, QStringLiteral("SELECT id, name, reg_nr FROM swimmer"));
    std::vector<std::tuple<qint64, std::string, std::string>> rows;
    while (query.next())
        rows.emplace_back(query.value(0).toLongLong(), ansi(query.value(1).toString()),
                          ansi(query.value(2).toString()));
    prepare(query, QStringLiteral("UPDATE swimmer SET name = ?, name_key = ?,"
                                  " first_name_key = ?, reg_nr = ?, reg_key = ? WHERE id = ?"));
    for (const auto& [id, name, regNr] : rows) {
        const std::string normalName = NormalizedSwimmerName(name);
        query.addBindValue(unicode(normalName));
        query.addBindValue(blob(SwimmerNameKey(normalName)));
        query.addBindValue(firstNameKey(normalName));
        query.addBindValue(unicode(StoredRegNr(regNr)));
        query.addBindValue(unicode(RegNrKey(regNr)));
        query.addBindValue(id);
        exec(query);
    }
}

// Every swimmer's German order key anew, and the version of the order they follow.
void makeGermanOrderKeys(QSqlQuery& query) {
    exec(query, QStringLiteral("UPDATE swimmer SET order_key = german_order_key(name)"));
    prepare(query, QStringLiteral("UPDATE german_order SET version = ?"));
    query.addBindValue(GermanOrderVersion());
    exec(query);
}

// The swimmer list in German order without sorting: one walk along an index that holds every
// column it shows (made after the keys, which is quicker than keeping it up to date).
void orderSwimmersGermanly(QSqlQuery& query) {
    exec(query, QStringLiteral("ALTER TABLE swimmer ADD COLUMN order_key BLOB NOT NULL"
                               " DEFAULT x''"));
    exec(query, QStringLiteral("CREATE TABLE german_order (version TEXT NOT NULL)"));
    exec(query, QStringLiteral("INSERT INTO german_order (version) VALUES ('')"));
    makeGermanOrderKeys(query);
    exec(query, QStringLiteral("CREATE INDEX swimmer_in_german_order ON swimmer (order_key,"
                               " birth_year, id, name, sex, reg_nr, active, last_entered)"));
}

// The club's officials and trainers; names keyed like swimmers' names.
void addOfficials(QSqlQuery& query) {
    exec(query, QStringLiteral("CREATE TABLE official ("
                               " id INTEGER PRIMARY KEY,"
                               " name TEXT NOT NULL,"
                               " name_key BLOB NOT NULL,"
                               " number TEXT NOT NULL,"
                               " official_group TEXT NOT NULL,"
                               " sex TEXT NOT NULL,"
                               " active INTEGER NOT NULL)"));
    exec(query, QStringLiteral("CREATE INDEX official_by_name ON official (name_key)"));
    exec(query, QStringLiteral("CREATE INDEX official_by_number ON official (number)"));
    exec(query, QStringLiteral("CREATE TABLE trainer ("
                               " id INTEGER PRIMARY KEY,"
                               " name TEXT NOT NULL,"
                               " name_key BLOB NOT NULL,"
                               " sex TEXT NOT NULL)"));
    exec(query, QStringLiteral("CREATE INDEX trainer_by_name ON trainer (name_key)"));
}

const QString SwimmerColumns =
    QStringLiteral("id, name, birth_year, sex, reg_nr, active, last_entered");

// A swimmer of the SwimmerColumns of a row, which gives a column's Number() and UTF-8 Text().
template <typename Row> TSwimmer swimmerOf(const Row& row) {
    TSwimmer swimmer;
    swimmer.Id = row.Number(0);
    swimmer.Name = ansi(row.Text(1));
    swimmer.BirthYear = static_cast<int>(row.Number(2));
    swimmer.Sex = static_cast<std::uint8_t>(row.Number(3));
    swimmer.RegNr = ansi(row.Text(4));
    swimmer.Active = row.Number(5) != 0;
    swimmer.LastEntered = dateOf(row.Text(6));
    return swimmer;
}

// The row a Qt query stands on.
struct QueryRow {
    const QSqlQuery& Query;
    qint64 Number(int column) const { return Query.value(column).toLongLong(); }
    std::string Text(int column) const { return Query.value(column).toString().toStdString(); }
};

TSwimmer swimmerOf(const QSqlQuery& query) {
    return swimmerOf(QueryRow{query});
}

// SQLite's own handle of the connection, for what Qt's driver does not offer.
sqlite3* handleOf(const QSqlDatabase& db) {
    return *static_cast<sqlite3* const*>(db.driver()->handle().constData());
}

[[noreturn]] void failWith(sqlite3* handle) {
    throw StoreFailure{QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(handle)),
                                 QSqlError::StatementError,
                                 QString::number(sqlite3_extended_errcode(handle)))};
}

// A statement read through SQLite itself: Qt's driver makes a QVariant of every value, which
// for a list of 100,000 swimmers takes longer than everything else of showing it.
class DirectRows {
public:
    DirectRows(const QSqlDatabase& db, const QString& statement) : handle(handleOf(db)) {
        if (sqlite3_prepare_v2(handle, statement.toUtf8().constData(), -1, &rows, nullptr) !=
            SQLITE_OK)
            failWith(handle);
    }
    ~DirectRows() { sqlite3_finalize(rows); }
    DirectRows(const DirectRows&) = delete;
    DirectRows& operator=(const DirectRows&) = delete;

    bool Next() {
        const int result = sqlite3_step(rows);
        if (result != SQLITE_ROW && result != SQLITE_DONE)
            failWith(handle);
        return result == SQLITE_ROW;
    }
    qint64 Number(int column) const { return sqlite3_column_int64(rows, column); }
    // Valid until the next row.
    std::string_view Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(rows, column));
        return {text, static_cast<std::size_t>(sqlite3_column_bytes(rows, column))};
    }

private:
    sqlite3* handle;
    sqlite3_stmt* rows = nullptr;
};

// german_order_key(text): the GermanOrderKey of a text, for making the stored keys anew.
void germanOrderKeyOf(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* text = static_cast<const char16_t*>(sqlite3_value_text16(values[0]));
    const QByteArray key = GermanOrderKey(QStringView(text, sqlite3_value_bytes16(values[0]) / 2));
    sqlite3_result_blob(context, key.constData(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

void addGermanOrderFunction(const QSqlDatabase& db) {
    sqlite3* handle = handleOf(db);
    if (sqlite3_create_function_v2(handle, "german_order_key", 1,
                                   SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, germanOrderKeyOf,
                                   nullptr, nullptr, nullptr) != SQLITE_OK)
        failWith(handle);
}

TSwimmerIdentity identityOf(const TSwimmer& swimmer) {
    return TSwimmerIdentity::Of(swimmer.Name, swimmer.BirthYear, swimmer.Sex, swimmer.RegNr);
}

// A write transaction that takes the write lock at once, so that waiting for another program
// happens within the busy timeout and never half-way through. Rolled back unless committed.
class WriteTransaction {
public:
    explicit WriteTransaction(const QSqlDatabase& db) : query(db) {
        exec(query, QStringLiteral("BEGIN IMMEDIATE"));
    }
    ~WriteTransaction() {
        if (!committed)
            query.exec(QStringLiteral("ROLLBACK"));
    }
    void Commit() {
        exec(query, QStringLiteral("COMMIT"));
        committed = true;
    }

private:
    QSqlQuery query;
    bool committed = false;
};

std::atomic<int> connectionCount{0};

// The statements that find, add and update swimmers, prepared once per operation.
class SwimmerWriter {
public:
    explicit SwimmerWriter(const QSqlDatabase& db)
        : byRegNr(db), byName(db), insert(db), update(db) {
        prepare(byRegNr, QStringLiteral("SELECT ") + SwimmerColumns +
                             QStringLiteral(" FROM swimmer WHERE reg_key = ? ORDER BY id"));
        prepare(byName, QStringLiteral("SELECT ") + SwimmerColumns +
                            QStringLiteral(" FROM swimmer WHERE name_key = ? AND birth_year = ?"
                                           " AND sex = ? AND id <> ? ORDER BY id LIMIT 1"));
        prepare(insert, QStringLiteral("INSERT INTO swimmer (name, name_key, first_name_key,"
                                       " order_key, birth_year, sex, reg_nr, reg_key, active,"
                                       " last_entered) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        prepare(update, QStringLiteral("UPDATE swimmer SET name = ?, name_key = ?,"
                                       " first_name_key = ?, order_key = ?, birth_year = ?,"
                                       " sex = ?, reg_nr = ?, reg_key = ?, active = ?,"
                                       " last_entered = ? WHERE id = ?"));
    }

    // The stored swimmer who is this one by the identity rule, other than the row `except`,
    // and who else holds the number.
    TSwimmerMatch Find(const TSwimmerIdentity& identity, qint64 except = 0) {
        TSwimmerMatch match;
        if (!identity.RegNrKey.empty()) {
            byRegNr.addBindValue(unicode(identity.RegNrKey));
            exec(byRegNr);
            while (byRegNr.next()) {
                TSwimmer stored = swimmerOf(byRegNr);
                if (stored.Id == except)
                    continue;
                const TSameSwimmer same = CompareSwimmers(identity, identityOf(stored));
                if (same == TSameSwimmer::Yes) {
                    match.Swimmer = std::move(stored);
                    return match;
                }
                if (same == TSameSwimmer::RegNrConflict && !match.RegNrHolder)
                    match.RegNrHolder = std::move(stored);
            }
        }
        byName.addBindValue(blob(identity.NameKey));
        byName.addBindValue(identity.BirthYear);
        byName.addBindValue(static_cast<int>(identity.Sex));
        byName.addBindValue(except);
        exec(byName);
        if (byName.next())
            match.Swimmer = swimmerOf(byName);
        return match;
    }

    // Stores the swimmer, name and number in their normal form: a new row when Id is 0 (and
    // sets Id), else that row.
    void Write(TSwimmer& swimmer) {
        swimmer.Name = NormalizedSwimmerName(swimmer.Name);
        swimmer.RegNr = StoredRegNr(swimmer.RegNr);
        QSqlQuery& query = swimmer.Id == 0 ? insert : update;
        const QString name = unicode(swimmer.Name);
        query.addBindValue(name);
        query.addBindValue(blob(SwimmerNameKey(swimmer.Name)));
        query.addBindValue(firstNameKey(swimmer.Name));
        query.addBindValue(GermanOrderKey(name));
        query.addBindValue(swimmer.BirthYear);
        query.addBindValue(static_cast<int>(swimmer.Sex));
        query.addBindValue(unicode(swimmer.RegNr));
        query.addBindValue(unicode(RegNrKey(swimmer.RegNr)));
        query.addBindValue(swimmer.Active);
        query.addBindValue(isoDate(swimmer.LastEntered));
        if (swimmer.Id != 0)
            query.addBindValue(swimmer.Id);
        exec(query);
        if (swimmer.Id == 0)
            swimmer.Id = query.lastInsertId().toLongLong();
    }

    // Adds `entry`, or merges it into the stored swimmer who is the same, and counts which.
    // An entry that is not older than the swimmer's last one brings its sex and registration
    // number (none never replaces one); an entry without date counts as newest. A number
    // held by another person stays his and is counted. `withActive` takes the entry's active
    // flag too. Returns the stored swimmer.
    TSwimmer Merge(TSwimmer entry, bool withActive, TStoreCount& count) {
        entry.Name = NormalizedSwimmerName(entry.Name);
        entry.RegNr = StoredRegNr(entry.RegNr);
        const TSwimmerMatch match = Find(identityOf(entry));
        if (match.RegNrHolder) {
            ++count.RegNrConflicts;
            entry.RegNr.clear();
        }
        if (!match.Swimmer) {
            entry.Id = 0;
            Write(entry);
            ++count.NewSwimmers;
            return entry;
        }
        const TSwimmer& stored = *match.Swimmer;
        TSwimmer merged = stored;
        if (!entry.LastEntered.isValid() || !stored.LastEntered.isValid() ||
            stored.LastEntered <= entry.LastEntered) {
            merged.Sex = entry.Sex;
            if (!entry.RegNr.empty())
                merged.RegNr = entry.RegNr;
            if (entry.LastEntered.isValid())
                merged.LastEntered = entry.LastEntered;
        }
        if (withActive)
            merged.Active = entry.Active;
        if (std::tie(merged.Sex, merged.RegNr, merged.LastEntered, merged.Active) !=
            std::tie(stored.Sex, stored.RegNr, stored.LastEntered, stored.Active)) {
            Write(merged);
            ++count.UpdatedSwimmers;
        }
        return merged;
    }

private:
    QSqlQuery byRegNr, byName, insert, update;
};

// The swimmers of one file, each looked up in the store and merged once however often he
// starts or swims: the store's id of the swimmer a record names.
class FileSwimmers {
public:
    FileSwimmers(SwimmerWriter& writer, TStoreCount& count) : writer(writer), count(count) {}

    qint64 IdOf(const std::string& name, int birthYear, std::uint8_t sex, const std::string& regNr,
                const QDate& lastEntered = {}) {
        const auto found = groups.Add(TSwimmerIdentity::Of(name, birthYear, sex, regNr));
        if (found.Added) {
            TSwimmer swimmer;
            swimmer.Name = name;
            swimmer.BirthYear = birthYear;
            swimmer.Sex = sex;
            swimmer.RegNr = regNr;
            swimmer.LastEntered = lastEntered;
            ids.push_back(writer.Merge(swimmer, false, count).Id);
        }
        return ids[static_cast<std::size_t>(found.Group)];
    }

private:
    SwimmerWriter& writer;
    TStoreCount& count;
    TSwimmerGroups groups;
    std::vector<qint64> ids; // index = group
};

const QString UnavailableStart = QStringLiteral("Die Schwimmerliste ist nicht verfügbar: ");

QString unavailable(const QString& reason) {
    return UnavailableStart + reason;
}

QString damagedText(const QString& path) {
    return QStringLiteral("Die Datei %1 ist beschädigt; sie bleibt unverändert erhalten.")
        .arg(QDir::toNativeSeparators(path));
}

QString foreignText(const QString& path) {
    return QStringLiteral("Die Datei %1 ist keine Schwimmerliste dieses Programms; sie bleibt "
                          "unverändert erhalten.")
        .arg(QDir::toNativeSeparators(path));
}

QString readOnlyText(const QString& path) {
    return QStringLiteral("Die Datei %1 lässt sich nicht beschreiben.")
        .arg(QDir::toNativeSeparators(path));
}

QString newerSchemaText(const QString& path) {
    return QStringLiteral("Die Datei %1 stammt von einer neueren Programmversion.")
        .arg(QDir::toNativeSeparators(path));
}

// A file that is no SQLite database, or that lost its end, is the user's to keep: SQLite
// must not get to write into it. With a write-ahead log beside it the file may legitimately
// lag behind its header until the log is copied in, so then only the header counts.
QString damageOfFile(const QString& path) {
    QFile file(path);
    if (!file.exists() || file.size() == 0)
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Die Datei %1 lässt sich nicht lesen.")
            .arg(QDir::toNativeSeparators(path));
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return damagedText(path);
    const auto byteAt = [&header](int i) { return static_cast<qint64>(quint8(header[i])); };
    const qint64 storedPageSize = byteAt(16) << 8 | byteAt(17);
    const qint64 pageSize = storedPageSize == 1 ? 65536 : storedPageSize;
    const qint64 pageCount = byteAt(28) << 24 | byteAt(29) << 16 | byteAt(30) << 8 | byteAt(31);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return damagedText(path);
    const QFileInfo log(path + QStringLiteral("-wal"));
    if ((!log.exists() || log.size() == 0) && file.size() < pageCount * pageSize)
        return damagedText(path);
    return {};
}

QString describe(const QSqlError& error, const QString& path) {
    const QString shownPath = QDir::toNativeSeparators(path);
    switch (error.nativeErrorCode().toInt() & 0xFF) {
    case SqliteBusy:
    case SqliteLocked:
        return unavailable(
            QStringLiteral("Die Datei %1 wird gerade von einem anderen Programm benutzt.")
                .arg(shownPath));
    case SqliteReadOnly:
    case SqliteCantOpen:
        return unavailable(
            QStringLiteral("Die Datei %1 lässt sich nicht öffnen oder nicht beschreiben.")
                .arg(shownPath));
    case SqliteCorrupt:
    case SqliteNotADatabase:
        return unavailable(damagedText(path));
    case SqliteFull:
        return unavailable(QStringLiteral("Zu wenig Speicherplatz für %1.").arg(shownPath));
    default:
        // The driver's own words are English and technical; the code lets support look it up.
        return unavailable(QStringLiteral("Die Datei %1 lässt sich nicht lesen oder schreiben "
                                          "(SQLite-Fehler %2).")
                               .arg(shownPath, error.nativeErrorCode()));
    }
}

int schemaVersion(QSqlQuery& query) {
    exec(query, QStringLiteral("PRAGMA user_version"));
    return query.next() ? query.value(0).toInt() : 0;
}

// Tables of this program; a database holding tables but none of these is another program's.
bool isForeign(QSqlQuery& query) {
    exec(query, QStringLiteral("SELECT count(*), count(CASE WHEN name = 'swimmer' THEN 1 END)"
                               " FROM sqlite_master WHERE type = 'table'"));
    return query.next() && query.value(0).toInt() > 0 && query.value(1).toInt() == 0;
}

// Whether every page reads as SQLite wrote it (quick_check leaves out the slow index checks).
bool pagesIntact(const QSqlDatabase& db) {
    QSqlQuery query(db);
    exec(query, QStringLiteral("PRAGMA quick_check"));
    return query.next() && query.value(0).toString() == QLatin1String("ok");
}

// Whether the stored order keys follow the German order of this program's ICU.
bool germanOrderCurrent(QSqlQuery& query) {
    exec(query, QStringLiteral("SELECT version FROM german_order"));
    const bool current = query.next() && query.value(0).toString() == GermanOrderVersion();
    query.finish();
    return current;
}

// Makes every order key anew when they follow another version of the German order, as after
// an update of ICU.
void refreshGermanOrder(const QSqlDatabase& db) {
    QSqlQuery query(db);
    if (germanOrderCurrent(query))
        return;
    WriteTransaction transaction(db);
    // Another program may have made them while this one waited for the lock.
    if (germanOrderCurrent(query))
        return;
    makeGermanOrderKeys(query);
    transaction.Commit();
}

// Brings the schema up to this program's version; the problem when that cannot be. Only a
// writable store is changed, and only one of this program.
QString prepareSchema(const QSqlDatabase& db, const QString& path, bool writable) {
    QSqlQuery query(db);
    const int version = schemaVersion(query);
    if (version > SchemaVersion)
        return unavailable(newerSchemaText(path));
    if (version == 0 && isForeign(query))
        return unavailable(foreignText(path));
    if (!writable)
        return version == SchemaVersion || version == 0 ? QString()
                                                        : unavailable(readOnlyText(path));
    exec(query, QStringLiteral("PRAGMA journal_mode = WAL"));
    exec(query, QStringLiteral("PRAGMA foreign_keys = ON"));
    // With a write-ahead log a crash still leaves a consistent file; only a power cut may
    // lose the last changes. A save of the exchange file need not wait for the disk twice.
    exec(query, QStringLiteral("PRAGMA synchronous = NORMAL"));
    if (version != SchemaVersion) {
        WriteTransaction transaction(db);
        // Another program may have migrated while this one waited for the lock.
        int current = schemaVersion(query);
        if (current > SchemaVersion)
            return unavailable(newerSchemaText(path));
        for (; current < SchemaVersion; ++current)
            Migrations[static_cast<std::size_t>(current)](query);
        exec(query, QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
        transaction.Commit();
    }
    refreshGermanOrder(db);
    return {};
}

// The block of the competition with the latest date wins, so that importing an old exchange
// file does not bring back an old contact person.
void keepClubBlock(const QSqlDatabase& db, const TClubBlock& block, const QVariant& date) {
    QSqlQuery query(db);
    prepare(query, QStringLiteral("INSERT INTO club_block (id, competition_date, verband,"
                                  " club_name, fina, person, street, zip, club_place, fon, fax,"
                                  " email, club_id) VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                                  " ON CONFLICT (id) DO UPDATE SET"
                                  " competition_date = excluded.competition_date,"
                                  " verband = excluded.verband, club_name = excluded.club_name,"
                                  " fina = excluded.fina, person = excluded.person,"
                                  " street = excluded.street, zip = excluded.zip,"
                                  " club_place = excluded.club_place, fon = excluded.fon,"
                                  " fax = excluded.fax, email = excluded.email,"
                                  " club_id = excluded.club_id"
                                  " WHERE excluded.competition_date >= competition_date"));
    query.addBindValue(date);
    query.addBindValue(block.Verband);
    for (const std::string* field :
         {&block.ClubName, &block.Fina, &block.Person, &block.Street, &block.Zip, &block.ClubPlace,
          &block.Fon, &block.Fax, &block.EMail, &block.ClubId})
        query.addBindValue(unicode(*field));
    exec(query);
}

// Every swimmer's fastest swum time per discipline and lane length, of the swimmers `where`
// (a condition on swimmer s) selects.
QString bestTimesQuery(const QString& where) {
    // SQLite takes the other columns of a MIN() group from the row holding the minimum.
    return QStringLiteral("SELECT s.id, s.name, s.birth_year, t.distance, t.stroke,"
                          " t.technique, t.lane_length, MIN(t.hundredths), t.swim_date,"
                          " t.competition FROM swum_time t JOIN swimmer s ON s.id = t.swimmer_id"
                          " WHERE ") +
           where +
           QStringLiteral(" GROUP BY s.id, t.distance, t.stroke, t.technique, t.lane_length"
                          " ORDER BY s.name_key, s.birth_year, s.id, t.stroke, t.technique,"
                          " t.distance, t.lane_length");
}

std::vector<TBestTime> bestTimesOf(QSqlQuery& query) {
    exec(query);
    std::vector<TBestTime> times;
    while (query.next()) {
        TBestTime best;
        best.SwimmerId = query.value(0).toLongLong();
        best.Name = ansi(query.value(1).toString());
        best.BirthYear = query.value(2).toInt();
        best.Discipline = {query.value(3).toInt(), 1, static_cast<TStroke>(query.value(4).toInt()),
                           static_cast<TTechnique>(query.value(5).toInt())};
        best.LaneLength = query.value(6).toInt();
        best.Time = {query.value(7).toInt(),
                     QDate::fromString(query.value(8).toString(), QString::fromLatin1(IsoDate)),
                     ansi(query.value(9).toString()), TTimeKind::Swum};
        times.push_back(std::move(best));
    }
    return times;
}

} // namespace

TClubBlock TClubBlock::Of(const TMeldeAustausch& model) {
    return {model.Verband,   model.ClubName, model.Fina, model.Person, model.Street, model.Zip,
            model.ClubPlace, model.Fon,      model.Fax,  model.EMail,  model.ClubId};
}

void TClubBlock::ApplyTo(TMeldeAustausch& model) const {
    model.Verband = Verband;
    model.ClubName = ClubName;
    model.Fina = Fina;
    model.Person = Person;
    model.Street = Street;
    model.Zip = Zip;
    model.ClubPlace = ClubPlace;
    model.Fon = Fon;
    model.Fax = Fax;
    model.EMail = EMail;
    model.ClubId = ClubId;
}

QString TSwimmerStore::DefaultFolder() {
    const QString folder = qEnvironmentVariable("NTBMELDE_DATA_DIR");
    if (!folder.isEmpty())
        return folder;
    // Not AppDataLocation: that depends on the application and organisation names, which the
    // command-line tool and the program would have to set alike.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/ntbmelde");
}

TSwimmerStore::TSwimmerStore(const QString& folder, Access access)
    : connectionName_(QStringLiteral("ntbstore-%1").arg(++connectionCount)), folder_(folder),
      filePath_(QDir(folder).filePath(QString::fromLatin1(DatabaseFileName))), access_(access) {
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    open();
}

TSwimmerStore::~TSwimmerStore() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

bool TSwimmerStore::open() const {
    if (opened_)
        return true;
    problem_.clear();
    unchangeable_.clear();
    pagesChecked_ = false;
    if (access_ == Access::Read && !QFileInfo::exists(filePath_))
        return false;
    if (!QDir().mkpath(folder_)) {
        problem_ = unavailable(QStringLiteral("Der Ordner %1 lässt sich nicht anlegen.")
                                   .arg(QDir::toNativeSeparators(folder_)));
        return false;
    }
    if (const QString damage = damageOfFile(filePath_); !damage.isEmpty()) {
        problem_ = unavailable(damage);
        return false;
    }
    // SQLite would open a read-only file for reading anyway, but then fail at its first write;
    // a read-only folder cannot take the write-ahead log.
    const QFileInfo file(filePath_);
    const bool writable = QFileInfo(folder_).isWritable() && (!file.exists() || file.isWritable());
    if (!writable)
        unchangeable_ = readOnlyText(filePath_);
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    db.setDatabaseName(filePath_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
                             .arg(BusyTimeoutMilliseconds)
                             .arg(writable ? QString() : QStringLiteral(";QSQLITE_OPEN_READONLY")));
    if (!db.open()) {
        problem_ = describe(db.lastError(), filePath_);
        return false;
    }
    try {
        // The swimmer window reads every swimmer: pages mapped and kept, not read again and
        // again through small reads.
        QSqlQuery tuning(db);
        exec(tuning, QStringLiteral("PRAGMA mmap_size = 268435456"));
        exec(tuning, QStringLiteral("PRAGMA cache_size = -65536"));
        addGermanOrderFunction(db);
        // A migration or new order keys change the file: its pages are checked first.
        const bool current = schemaVersion(tuning) == SchemaVersion;
        if (!current || !germanOrderCurrent(tuning))
            checkPages(db);
        tuning.finish();
        problem_ = prepareSchema(db, filePath_, unchangeable_.isEmpty());
    } catch (const StoreFailure& failure) {
        problem_ = describe(failure.Error, filePath_);
    }
    if (!problem_.isEmpty()) {
        db.close();
        return false;
    }
    opened_ = true;
    return true;
}

QString TSwimmerStore::Cause() const {
    return problem_.startsWith(UnavailableStart) ? problem_.mid(UnavailableStart.size()) : problem_;
}

bool TSwimmerStore::Available() const {
    if (opened_)
        return true;
    // Tried again, but what the last operation left to tell stays.
    const QString told = problem_;
    const bool available = open();
    if (!available && problem_.isEmpty())
        problem_ = told;
    return available;
}

void TSwimmerStore::checkPages(const QSqlDatabase& db) const {
    if (pagesChecked_)
        return;
    pagesChecked_ = true;
    if (!pagesIntact(db))
        unchangeable_ = damagedText(filePath_);
}

template <typename Result, typename Work>
Result TSwimmerStore::guarded(Result failed, Work work, bool changes) const {
    if (!open())
        return failed;
    problem_.clear();
    const QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    try {
        if (changes)
            checkPages(db);
        if (changes && !unchangeable_.isEmpty()) {
            problem_ = unavailable(unchangeable_);
            return failed;
        }
        return work(db);
    } catch (const StoreFailure& failure) {
        problem_ = describe(failure.Error, filePath_);
        return failed;
    }
}

std::vector<TSwimmer> TSwimmerStore::Complete(std::string_view prefix, int limit) const {
    return guarded(std::vector<TSwimmer>(), [&](const QSqlDatabase& db) {
        const QByteArray from = matchKey(prefix);
        const QByteArray to = from + '\xFF';
        std::vector<TSwimmer> swimmers;
        // Two walks along an index each, so that a frequent first letter costs no sorting.
        const auto add = [&](const QString& keyColumn, const QString& unless) {
            QSqlQuery query(db);
            prepare(query, QStringLiteral("SELECT ") + SwimmerColumns +
                               QStringLiteral(" FROM swimmer WHERE %1 >= ? AND %1 < ? AND active")
                                   .arg(keyColumn) +
                               unless +
                               QStringLiteral(" ORDER BY %1, birth_year LIMIT ?").arg(keyColumn));
            for (const QByteArray& bound : {from, to})
                query.addBindValue(bound);
            if (!unless.isEmpty()) {
                query.addBindValue(from);
                query.addBindValue(to);
            }
            query.addBindValue(limit - static_cast<int>(swimmers.size()));
            exec(query);
            while (query.next())
                swimmers.push_back(swimmerOf(query));
        };
        add(QStringLiteral("name_key"), QString());
        if (static_cast<int>(swimmers.size()) < limit)
            add(QStringLiteral("first_name_key"),
                QStringLiteral(" AND NOT (name_key >= ? AND name_key < ?)"));
        return swimmers;
    });
}

std::vector<TSwimmer> TSwimmerStore::AllSwimmers() const {
    return guarded(std::vector<TSwimmer>(), [&](const QSqlDatabase& db) {
        // A store that must stay unchanged keeps its keys: should a newer ICU order some
        // character otherwise, only names holding it may stand out of place.
        DirectRows rows(db, QStringLiteral("SELECT ") + SwimmerColumns +
                                QStringLiteral(" FROM swimmer ORDER BY order_key, birth_year, id"));
        std::vector<TSwimmer> swimmers;
        while (rows.Next())
            swimmers.push_back(swimmerOf(rows));
        return swimmers;
    });
}

TSwimmerMatch TSwimmerStore::FindSwimmer(std::string_view name, int birthYear, std::uint8_t sex,
                                         std::string_view regNr) const {
    return guarded(TSwimmerMatch(), [&](const QSqlDatabase& db) {
        return SwimmerWriter(db).Find(TSwimmerIdentity::Of(name, birthYear, sex, regNr));
    });
}

std::optional<TStoredTime> TSwimmerStore::BestTime(qint64 swimmerId, const TDiscipline& discipline,
                                                   int laneLength, QDate until) const {
    if (discipline.RelayCount != 1)
        return std::nullopt;
    return guarded(std::optional<TStoredTime>(), [&](const QSqlDatabase& db) {
        const QString where =
            QStringLiteral(" WHERE swimmer_id = ? AND distance = ? AND stroke = ? AND technique = ?"
                           " AND lane_length = ? AND %1 BETWEEN ? AND ?");
        QSqlQuery query(db);
        prepare(query,
                QStringLiteral("SELECT hundredths, day, competition, kind FROM ("
                               "SELECT hundredths, competition_date AS day, competition, 0 AS kind"
                               " FROM entry_time") +
                    where.arg(QStringLiteral("competition_date")) +
                    QStringLiteral(" UNION ALL SELECT hundredths, swim_date, competition, 1"
                                   " FROM swum_time") +
                    where.arg(QStringLiteral("swim_date")) +
                    QStringLiteral(") ORDER BY hundredths, kind DESC, day DESC LIMIT 1"));
        for (int table = 0; table < 2; ++table) {
            query.addBindValue(swimmerId);
            query.addBindValue(discipline.Distance);
            query.addBindValue(static_cast<int>(discipline.Stroke));
            query.addBindValue(static_cast<int>(discipline.Technique));
            query.addBindValue(laneLength);
            query.addBindValue(isoDate(until.addMonths(-12)));
            query.addBindValue(isoDate(until));
        }
        exec(query);
        if (!query.next())
            return std::optional<TStoredTime>();
        return std::optional<TStoredTime>(
            TStoredTime{query.value(0).toInt(),
                        QDate::fromString(query.value(1).toString(), QString::fromLatin1(IsoDate)),
                        ansi(query.value(2).toString()),
                        query.value(3).toInt() == 1 ? TTimeKind::Swum : TTimeKind::Entered});
    });
}

std::vector<TBestTime> TSwimmerStore::BestTimes(std::optional<qint64> swimmerId) const {
    return guarded(std::vector<TBestTime>(), [&](const QSqlDatabase& db) {
        QSqlQuery query(db);
        // One swimmer's times through his row: the swimmer window asks at every move.
        prepare(query,
                bestTimesQuery(swimmerId ? QStringLiteral("s.id = ?") : QStringLiteral("1")));
        if (swimmerId)
            query.addBindValue(*swimmerId);
        return bestTimesOf(query);
    });
}

std::vector<TBestTime> TSwimmerStore::BestTimesOfName(std::string_view part) const {
    return guarded(std::vector<TBestTime>(), [&](const QSqlDatabase& db) {
        QSqlQuery query(db);
        // The swimmers are found first, so that only their times are read.
        prepare(query, bestTimesQuery(QStringLiteral("s.id IN (SELECT id FROM swimmer"
                                                     " WHERE instr(name_key, ?) > 0)")));
        query.addBindValue(matchKey(part));
        return bestTimesOf(query);
    });
}

std::vector<std::vector<TDuplicateSwimmer>> TSwimmerStore::Duplicates() const {
    using Groups = std::vector<std::vector<TDuplicateSwimmer>>;
    return guarded(Groups(), [&](const QSqlDatabase& db) {
        QSqlQuery query(db);
        exec(query, QStringLiteral("SELECT ") + SwimmerColumns +
                        QStringLiteral(", (SELECT count(*) FROM entry_time WHERE swimmer_id = id),"
                                       " (SELECT count(*) FROM swum_time WHERE swimmer_id = id)"
                                       " FROM swimmer ORDER BY id"));
        TSwimmerGroups groups;
        std::vector<std::vector<TDuplicateSwimmer>> members;
        while (query.next()) {
            TDuplicateSwimmer swimmer{swimmerOf(query), query.value(7).toInt(),
                                      query.value(8).toInt()};
            const auto found = groups.Add(identityOf(swimmer.Swimmer));
            if (found.Added)
                members.emplace_back();
            members[static_cast<std::size_t>(found.Group)].push_back(std::move(swimmer));
        }
        Groups duplicates;
        for (auto& group : members) {
            if (group.size() > 1)
                duplicates.push_back(std::move(group));
        }
        std::sort(duplicates.begin(), duplicates.end(), [](const auto& a, const auto& b) {
            return std::tuple(SwimmerNameKey(a.front().Swimmer.Name), a.front().Swimmer.Id) <
                   std::tuple(SwimmerNameKey(b.front().Swimmer.Name), b.front().Swimmer.Id);
        });
        return duplicates;
    });
}

bool TSwimmerStore::SaveSwimmer(TSwimmer& swimmer) {
    std::optional<TSwimmer> other;
    const bool saved = guarded(
        false,
        [&](const QSqlDatabase& db) {
            WriteTransaction transaction(db);
            SwimmerWriter writer(db);
            TSwimmer written = swimmer;
            written.Name = NormalizedSwimmerName(written.Name);
            written.RegNr = StoredRegNr(written.RegNr);
            other = writer.Find(identityOf(written), written.Id).Swimmer;
            if (other)
                return false;
            writer.Write(written);
            transaction.Commit();
            swimmer = written;
            return true;
        },
        true);
    if (other)
        problem_ = QStringLiteral("%1 (%2) ist schon in der Schwimmerliste.")
                       .arg(unicode(other->Name))
                       .arg(other->BirthYear);
    return saved;
}

bool TSwimmerStore::DeleteSwimmer(qint64 id) {
    return deleteRow(QStringLiteral("swimmer"), id);
}

bool TSwimmerStore::MergeSwimmers(qint64 into, qint64 from) {
    return guarded(
        false,
        [&](const QSqlDatabase& db) {
            WriteTransaction transaction(db);
            QSqlQuery query(db);
            // A swim both have stays once; the rest of `from` goes with its row.
            for (const char* statement :
                 {"UPDATE entry_time SET swimmer_id = :into WHERE swimmer_id = :from",
                  "UPDATE OR IGNORE swum_time SET swimmer_id = :into WHERE swimmer_id = :from",
                  "UPDATE swimmer SET"
                  " reg_nr = CASE reg_key WHEN '' THEN (SELECT reg_nr FROM swimmer WHERE id = "
                  ":from)"
                  "  ELSE reg_nr END,"
                  " reg_key = CASE reg_key WHEN '' THEN (SELECT reg_key FROM swimmer WHERE id = "
                  ":from)"
                  "  ELSE reg_key END,"
                  " last_entered = nullif(max(coalesce(last_entered, ''), coalesce((SELECT"
                  "  last_entered FROM swimmer WHERE id = :from), '')), ''),"
                  " active = active OR (SELECT active FROM swimmer WHERE id = :from)"
                  " WHERE id = :into",
                  "DELETE FROM swimmer WHERE id = :from"}) {
                prepare(query, QString::fromLatin1(statement));
                query.bindValue(QStringLiteral(":into"), into);
                query.bindValue(QStringLiteral(":from"), from);
                exec(query);
            }
            transaction.Commit();
            return true;
        },
        true);
}

std::optional<TStoreCount> TSwimmerStore::RememberCompetition(const TMeldeAustausch& model) {
    return guarded(
        std::optional<TStoreCount>(),
        [&](const QSqlDatabase& db) {
            const QDate date = competitionDate(model);
            const QVariant dateText = isoDate(date);
            const QString competition = unicode(Trim(model.CompName));
            WriteTransaction transaction(db);
            SwimmerWriter writer(db);
            QSqlQuery query(db);
            // Remembering a competition again replaces its times, also of entries deleted since.
            prepare(query, QStringLiteral("DELETE FROM entry_time WHERE competition_date = ?"
                                          " AND competition = ? AND lane_length = ?"));
            query.addBindValue(dateText);
            query.addBindValue(competition);
            query.addBindValue(model.LaneLen);
            exec(query);
            QSqlQuery insertTime(db);
            prepare(insertTime,
                    QStringLiteral("INSERT INTO entry_time (swimmer_id, distance, stroke,"
                                   " technique, lane_length, hundredths, competition,"
                                   " competition_date) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));

            TStoreCount count;
            FileSwimmers swimmers(writer, count);
            for (int position = 1; position <= model.NominCount(); ++position) {
                const TNominRecord& nomin = model.Nomin(position);
                const int event = EventOfNomin(model, nomin.WkNr);
                // A relay's nomination names a team; one without an event cannot be told apart.
                if (event == 0 || model.Event(event).Staffel ||
                    NormalizedSwimmerName(nomin.Name).empty())
                    continue;
                const std::optional<TDiscipline> discipline =
                    ReadDiscipline(model.Event(event).Name);
                if (discipline && discipline->RelayCount != 1)
                    continue;
                const qint64 swimmer =
                    swimmers.IdOf(nomin.Name, nomin.BirthYear, nomin.Sex, nomin.RegNr, date);
                if (!discipline || nomin.Time == NoTime || nomin.Time < 0)
                    continue;
                insertTime.addBindValue(swimmer);
                insertTime.addBindValue(discipline->Distance);
                insertTime.addBindValue(static_cast<int>(discipline->Stroke));
                insertTime.addBindValue(static_cast<int>(discipline->Technique));
                insertTime.addBindValue(model.LaneLen);
                insertTime.addBindValue(nomin.Time);
                insertTime.addBindValue(competition);
                insertTime.addBindValue(dateText);
                exec(insertTime);
                ++count.Times;
            }
            if (!Trim(model.ClubName).empty())
                keepClubBlock(db, TClubBlock::Of(model), dateText);
            transaction.Commit();
            return std::optional<TStoreCount>(count);
        },
        true);
}

std::optional<TStoreCount> TSwimmerStore::AddSwimmers(const std::vector<TSwimmer>& swimmers,
                                                      bool withActive) {
    return guarded(
        std::optional<TStoreCount>(),
        [&](const QSqlDatabase& db) {
            WriteTransaction transaction(db);
            SwimmerWriter writer(db);
            TStoreCount count;
            for (const TSwimmer& swimmer : swimmers)
                writer.Merge(swimmer, withActive, count);
            transaction.Commit();
            return std::optional<TStoreCount>(count);
        },
        true);
}

std::optional<TStoreCount> TSwimmerStore::ImportSwims(const std::vector<TSwim>& swims) {
    return guarded(
        std::optional<TStoreCount>(),
        [&](const QSqlDatabase& db) {
            WriteTransaction transaction(db);
            SwimmerWriter writer(db);
            QSqlQuery insertTime(db);
            prepare(insertTime,
                    QStringLiteral("INSERT OR IGNORE INTO swum_time (swimmer_id, distance, stroke,"
                                   " technique, lane_length, hundredths, swim_date, competition)"
                                   " VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
            TStoreCount count;
            FileSwimmers swimmers(writer, count);
            for (const TSwim& swim : swims) {
                if (swim.Hundredths > LongestExchangeTime) {
                    ++count.SkippedTimes;
                    continue;
                }
                const qint64 swimmer =
                    swimmers.IdOf(swim.Name, swim.BirthYear, swim.Sex, swim.RegNr);
                const QDate date(int(swim.Date.year()), unsigned(swim.Date.month()),
                                 unsigned(swim.Date.day()));
                insertTime.addBindValue(swimmer);
                insertTime.addBindValue(swim.Discipline.Distance);
                insertTime.addBindValue(static_cast<int>(swim.Discipline.Stroke));
                insertTime.addBindValue(static_cast<int>(swim.Discipline.Technique));
                insertTime.addBindValue(swim.LaneLength);
                insertTime.addBindValue(swim.Hundredths);
                insertTime.addBindValue(isoDate(date));
                insertTime.addBindValue(unicode(Trim(swim.CompName)));
                exec(insertTime);
                count.Times += insertTime.numRowsAffected();
            }
            transaction.Commit();
            return std::optional<TStoreCount>(count);
        },
        true);
}

std::optional<TClubBlock> TSwimmerStore::LastClubBlock() const {
    return guarded(std::optional<TClubBlock>(), [&](const QSqlDatabase& db) {
        QSqlQuery query(db);
        exec(query, QStringLiteral("SELECT verband, club_name, fina, person, street, zip,"
                                   " club_place, fon, fax, email, club_id FROM club_block"));
        if (!query.next())
            return std::optional<TClubBlock>();
        TClubBlock block;
        block.Verband = query.value(0).toInt();
        int column = 1;
        for (std::string* field :
             {&block.ClubName, &block.Fina, &block.Person, &block.Street, &block.Zip,
              &block.ClubPlace, &block.Fon, &block.Fax, &block.EMail, &block.ClubId})
            *field = ansi(query.value(column++).toString());
        return std::optional<TClubBlock>(block);
    });
}

// ---- Officials and trainers ---------------------------------------------------------------

bool IsOfficialGroup(std::string_view group) {
    return std::find(std::begin(OfficialGroups), std::end(OfficialGroups), group) !=
           std::end(OfficialGroups);
}

bool IsPersonSex(std::string_view sex) {
    return sex.empty() || sex == "M" || sex == "W" || sex == "D";
}

namespace {

const QString OfficialColumns =
    QStringLiteral("id, name, number, official_group, sex, active FROM official");

TOfficial officialOf(const QSqlQuery& query) {
    return {query.value(0).toLongLong(),     ansi(query.value(1).toString()),
            ansi(query.value(2).toString()), ansi(query.value(3).toString()),
            ansi(query.value(4).toString()), query.value(5).toBool()};
}

// The normal form every path into the store keeps, and why the store refuses it.
QString normalized(TOfficial& official) {
    official.Name = NormalizedSwimmerName(official.Name);
    official.Number = Trim(official.Number);
    if (official.Name.empty())
        return QStringLiteral("Der Name des Kampfrichters fehlt.");
    if (!IsOfficialGroup(official.Group))
        return QStringLiteral("Gruppe „%1“ unbekannt (WKR, AUS, SCH oder SPR).")
            .arg(unicode(official.Group));
    if (!IsPersonSex(official.Sex))
        return QStringLiteral("Geschlecht „%1“ unbekannt (M, W, D oder leer).")
            .arg(unicode(official.Sex));
    return {};
}

// The statements that find, add and update officials.
class OfficialWriter {
public:
    explicit OfficialWriter(const QSqlDatabase& db) : byNumber(db), byName(db), write(db) {
        prepare(byNumber, QStringLiteral("SELECT ") + OfficialColumns +
                              QStringLiteral(" WHERE number = ? AND number <> '' AND id <> ?"));
        prepare(byName, QStringLiteral("SELECT ") + OfficialColumns +
                            QStringLiteral(" WHERE name_key = ? AND id <> ?"));
    }

    std::optional<TOfficial> WithNumber(const std::string& number, qint64 except = 0) {
        return first(byNumber, unicode(number), except);
    }
    std::optional<TOfficial> WithName(const std::string& name, qint64 except = 0) {
        return first(byName, blob(SwimmerNameKey(name)), except);
    }

    void Write(TOfficial& official) {
        const bool adding = official.Id == 0;
        prepare(write, adding ? QStringLiteral("INSERT INTO official (name, name_key, number,"
                                               " official_group, sex, active)"
                                               " VALUES (?, ?, ?, ?, ?, ?)")
                              : QStringLiteral("UPDATE official SET name = ?, name_key = ?,"
                                               " number = ?, official_group = ?, sex = ?,"
                                               " active = ? WHERE id = ?"));
        write.addBindValue(unicode(official.Name));
        write.addBindValue(blob(SwimmerNameKey(official.Name)));
        write.addBindValue(unicode(official.Number));
        write.addBindValue(unicode(official.Group));
        write.addBindValue(unicode(official.Sex));
        write.addBindValue(official.Active);
        if (!adding)
            write.addBindValue(official.Id);
        exec(write);
        if (adding)
            official.Id = write.lastInsertId().toLongLong();
    }

private:
    static std::optional<TOfficial> first(QSqlQuery& query, const QVariant& key, qint64 except) {
        query.addBindValue(key);
        query.addBindValue(except);
        exec(query);
        return query.next() ? std::optional(officialOf(query)) : std::nullopt;
    }

    QSqlQuery byNumber, byName, write;
};

} // namespace

std::vector<TOfficial> TSwimmerStore::AllOfficials() const {
    return guarded(std::vector<TOfficial>(), [&](const QSqlDatabase& db) {
        QSqlQuery query(db);
        exec(query, QStringLiteral("SELECT ") + OfficialColumns +
                        QStringLiteral(" ORDER BY name_key, id"));
        std::vector<TOfficial> officials;
        while (query.next())
            officials.push_back(officialOf(query));
        return officials;
    });
}

std::vector<TTrainer> TSwimmerStore::AllTrainers() const {
    return guarded(std::vector<TTrainer>(), [&](const QSqlDatabase& db) {
        QSqlQuery query(db);
        exec(query, QStringLiteral("SELECT id, name, sex FROM trainer ORDER BY name_key, id"));
        std::vector<TTrainer> trainers;
        while (query.next())
            trainers.push_back({query.value(0).toLongLong(), ansi(query.value(1).toString()),
                                ansi(query.value(2).toString())});
        return trainers;
    });
}

std::optional<TOfficial> TSwimmerStore::FindOfficial(std::string_view nameOrNumber) const {
    return guarded(std::optional<TOfficial>(), [&](const QSqlDatabase& db) {
        OfficialWriter find(db);
        const std::string text = Trim(std::string(nameOrNumber));
        if (auto official = find.WithNumber(text))
            return official;
        return find.WithName(NormalizedSwimmerName(text));
    });
}

template <typename Write> bool TSwimmerStore::writeUnlessRefused(QString refusal, Write write) {
    bool saved = false;
    if (refusal.isEmpty())
        saved = guarded(
            false, [&](const QSqlDatabase& db) { return write(db, refusal); }, true);
    if (!refusal.isEmpty())
        problem_ = refusal;
    return saved;
}

bool TSwimmerStore::SaveOfficial(TOfficial& official) {
    TOfficial written = official;
    const QString invalid = normalized(written);
    return writeUnlessRefused(invalid, [&](const QSqlDatabase& db, QString& refusal) {
        WriteTransaction transaction(db);
        OfficialWriter writer(db);
        if (const auto other = writer.WithNumber(written.Number, written.Id)) {
            refusal = QStringLiteral("Die Kampfrichter-Nr. %1 hat schon %2.")
                          .arg(unicode(written.Number), unicode(other->Name));
            return false;
        }
        if (const auto other = writer.WithName(written.Name, written.Id)) {
            refusal =
                QStringLiteral("%1 ist schon in der Kampfrichterliste.").arg(unicode(other->Name));
            return false;
        }
        writer.Write(written);
        transaction.Commit();
        official = written;
        return true;
    });
}

bool TSwimmerStore::DeleteOfficial(qint64 id) {
    return deleteRow(QStringLiteral("official"), id);
}

bool TSwimmerStore::SaveTrainer(TTrainer& trainer) {
    TTrainer written = trainer;
    written.Name = NormalizedSwimmerName(written.Name);
    QString invalid;
    if (written.Name.empty())
        invalid = QStringLiteral("Der Name des Trainers fehlt.");
    else if (!IsPersonSex(written.Sex))
        invalid = QStringLiteral("Geschlecht „%1“ unbekannt (M, W, D oder leer).")
                      .arg(unicode(written.Sex));
    return writeUnlessRefused(invalid, [&](const QSqlDatabase& db, QString& refusal) {
        WriteTransaction transaction(db);
        QSqlQuery query(db);
        prepare(query, QStringLiteral("SELECT name FROM trainer WHERE name_key = ? AND id <> ?"));
        query.addBindValue(blob(SwimmerNameKey(written.Name)));
        query.addBindValue(written.Id);
        exec(query);
        if (query.next()) {
            refusal =
                QStringLiteral("%1 ist schon in der Trainerliste.").arg(query.value(0).toString());
            return false;
        }
        prepare(query, written.Id == 0 ? QStringLiteral("INSERT INTO trainer (name, name_key, sex)"
                                                        " VALUES (?, ?, ?)")
                                       : QStringLiteral("UPDATE trainer SET name = ?, name_key = ?,"
                                                        " sex = ? WHERE id = ?"));
        query.addBindValue(unicode(written.Name));
        query.addBindValue(blob(SwimmerNameKey(written.Name)));
        query.addBindValue(unicode(written.Sex));
        if (written.Id != 0)
            query.addBindValue(written.Id);
        exec(query);
        if (written.Id == 0)
            written.Id = query.lastInsertId().toLongLong();
        transaction.Commit();
        trainer = written;
        return true;
    });
}

bool TSwimmerStore::DeleteTrainer(qint64 id) {
    return deleteRow(QStringLiteral("trainer"), id);
}

std::optional<TListCount> TSwimmerStore::AddOfficials(const std::vector<TOfficial>& officials,
                                                      bool withSex, bool withActive) {
    for (TOfficial official : officials) {
        if (const QString refusal = normalized(official); !refusal.isEmpty()) {
            problem_ = refusal;
            return std::nullopt;
        }
    }
    return guarded(
        std::optional<TListCount>(),
        [&](const QSqlDatabase& db) {
            WriteTransaction transaction(db);
            OfficialWriter writer(db);
            TListCount count;
            for (TOfficial entry : officials) {
                normalized(entry);
                std::optional<TOfficial> stored;
                if (!entry.Number.empty())
                    stored = writer.WithNumber(entry.Number);
                if (!stored)
                    stored = writer.WithName(entry.Name);
                if (!stored) {
                    writer.Write(entry);
                    ++count.Added;
                    continue;
                }
                TOfficial merged = *stored;
                merged.Group = entry.Group;
                if (!entry.Number.empty())
                    merged.Number = entry.Number;
                if (withSex)
                    merged.Sex = entry.Sex;
                if (withActive)
                    merged.Active = entry.Active;
                if (std::tie(merged.Group, merged.Number, merged.Sex, merged.Active) !=
                    std::tie(stored->Group, stored->Number, stored->Sex, stored->Active)) {
                    writer.Write(merged);
                    ++count.Updated;
                }
            }
            transaction.Commit();
            return std::optional<TListCount>(count);
        },
        true);
}

bool TSwimmerStore::deleteRow(const QString& table, qint64 id) {
    return guarded(
        false,
        [&](const QSqlDatabase& db) {
            WriteTransaction transaction(db);
            QSqlQuery query(db);
            prepare(query, QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(table));
            query.addBindValue(id);
            exec(query);
            transaction.Commit();
            return true;
        },
        true);
}
