// SPDX-License-Identifier: GPL-3.0-or-later
// A swimmer store as the first version of the program left it, for the tests of its migration.
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QTest>

// Lang, Tim (row 7) with one entry time; rows 8 and 9 one girl twice, row 10 a surname alone.
inline void createVersionOneStore(const QString& path) {
    using namespace Qt::Literals::StringLiterals;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"version 1"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString& statement : {
                 u"CREATE TABLE swimmer (id INTEGER PRIMARY KEY, name TEXT NOT NULL,"
                 " name_key BLOB NOT NULL, first_name_key BLOB NOT NULL,"
                 " birth_year INTEGER NOT NULL, sex INTEGER NOT NULL, reg_nr TEXT NOT NULL,"
                 " active INTEGER NOT NULL, last_entered TEXT)"_s,
                 u"CREATE INDEX swimmer_by_name ON swimmer (name_key, birth_year)"_s,
                 u"CREATE INDEX swimmer_by_first_name ON swimmer (first_name_key)"_s,
                 u"CREATE INDEX swimmer_by_reg_nr ON swimmer (reg_nr)"_s,
                 u"CREATE TABLE entry_time (swimmer_id INTEGER NOT NULL"
                 " REFERENCES swimmer (id) ON DELETE CASCADE, distance INTEGER NOT NULL,"
                 " stroke INTEGER NOT NULL, lane_length INTEGER NOT NULL,"
                 " hundredths INTEGER NOT NULL, competition TEXT NOT NULL,"
                 " competition_date TEXT NOT NULL)"_s,
                 u"CREATE INDEX entry_time_by_swimmer ON entry_time"
                 " (swimmer_id, distance, stroke, lane_length, hundredths)"_s,
                 u"CREATE INDEX entry_time_by_competition ON entry_time"
                 " (competition_date, competition, lane_length)"_s,
                 u"CREATE TABLE club_block (id INTEGER PRIMARY KEY CHECK (id = 1),"
                 " competition_date TEXT NOT NULL, verband INTEGER NOT NULL,"
                 " club_name TEXT NOT NULL, fina TEXT NOT NULL, person TEXT NOT NULL,"
                 " street TEXT NOT NULL, zip TEXT NOT NULL, club_place TEXT NOT NULL,"
                 " fon TEXT NOT NULL, fax TEXT NOT NULL, email TEXT NOT NULL,"
                 " club_id TEXT NOT NULL)"_s,
                 u"INSERT INTO swimmer VALUES (7, 'Lang, Tim', X'4C414E472C2054494D',"
                 " X'54494D', 2007, 0, '', 1, '2026-03-01')"_s,
                 u"INSERT INTO entry_time VALUES (7, 100, 0, 25, 6500, 'Frühjahrsfest',"
                 " '2026-03-01')"_s,
                 // A result list's placeholder taken for a number, and the same girl added
                 // again without it; a surname alone kept with its comma.
                 u"INSERT INTO swimmer VALUES (8, 'Brandt, Lotte',"
                 " X'4252414E44542C204C4F545445', X'4C4F545445', 2012, 1, '000000', 1, NULL)"_s,
                 u"INSERT INTO swimmer VALUES (9, 'BRANDT, LOTTE',"
                 " X'4252414E44542C204C4F545445', X'4C4F545445', 2012, 1, '', 1, NULL)"_s,
                 u"INSERT INTO swimmer VALUES (10, 'Wolf,', X'574F4C462C', X'', 2015, 0, '0',"
                 " 1, NULL)"_s,
                 u"INSERT INTO entry_time VALUES (8, 50, 1, 25, 4800, 'Frühjahrsfest',"
                 " '2026-03-01')"_s,
                 u"PRAGMA user_version = 1"_s,
             })
            QVERIFY2(query.exec(statement), qPrintable(statement));
    }
    QSqlDatabase::removeDatabase(u"version 1"_s);
}
