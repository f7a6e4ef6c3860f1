// SPDX-License-Identifier: GPL-3.0-or-later
// The in-memory model: sections, events, nominations, sorting, event numbers.
#include <QTest>

#include <algorithm>

#include "meldeaustausch.h"

namespace {
TNominRecord nomin(const std::string& name, int wkNr = 1000) {
    TNominRecord record = EmptyNomin;
    record.Name = name;
    record.WkNr = wkNr;
    return record;
}

std::vector<std::string> names(const TMeldeAustausch& model) {
    std::vector<std::string> result;
    for (int i = 1; i <= model.NominCount(); ++i)
        result.push_back(model.GetNomin(i).Name);
    return result;
}
} // namespace

class TestMeldeAustausch : public QObject {
    Q_OBJECT
private slots:
    void sections_blankOutsideAndCut() {
        TMeldeAustausch model;
        for (int s : {0, 1, 12, 13}) {
            QCOMPARE(model.GetPeriodDate(s), std::string("  .  .    "));
            QCOMPARE(model.GetPeriodTime(s), std::string("  :  "));
        }
        model.SetPeriodDate(13, "01.01.2027");
        QCOMPARE(model.GetPeriodDate(13), std::string("  .  .    "));
        model.SetPeriodInt(1, "18:30 Uhr");
        QCOMPARE(model.GetPeriodInt(1), std::string("18:30"));
        model.SetPeriodDate(1, "01.02.2003 (Sa)");
        QCOMPARE(model.GetPeriodDate(1), std::string("01.02.2003"));
        model.SetPeriodKari(12, "7:00");
        QCOMPARE(model.GetPeriodKari(12), std::string("7:00"));
        QCOMPARE(model.GetPeriodWarmUp(12), std::string("  :  "));
    }

    void events_emptyRecordOutsideAndGrowth() {
        TMeldeAustausch model;
        QCOMPARE(model.GetEvent(0), EmptyEvent);
        QCOMPARE(model.GetEvent(1).LatestBirthYear, 1900);
        TEventRecord event = EmptyEvent;
        event.Name = std::string(70, 'n');
        model.SetEvent(3, event);
        QCOMPARE(model.EventCount(), 3);
        QCOMPARE(model.GetEvent(1), TEventRecord{});
        QCOMPARE(model.GetEvent(3).Name.size(), std::size_t(60));
        model.SetEvent(0, event);
        model.SetEvent(-1, event);
        QCOMPARE(model.EventCount(), 3);
        QCOMPARE(model.GetEvent(4), EmptyEvent);
    }

    // The index must follow every way events change: appended, grown over with fillers of
    // code 0, replaced with another code or the same, stored out of range, and a new load.
    void findEvent_alwaysGivesTheLastEventOfTheCode() {
        TMeldeAustausch model;
        auto lastByScan = [&model](int code) {
            for (int position = model.EventCount(); position >= 1; --position) {
                if (model.GetEvent(position).WkNr == code)
                    return position;
            }
            return 0;
        };
        auto verifyEveryCode = [&] {
            for (int code = 0; code <= 6000; code += 1000) {
                if (model.FindEvent(code) != lastByScan(code))
                    return false;
            }
            return model.FindEvent(-1) == lastByScan(-1);
        };
        auto store = [&model](int position, int code) {
            TEventRecord event = EmptyEvent;
            event.WkNr = code;
            model.SetEvent(position, event);
        };
        QCOMPARE(model.FindEvent(0), 0);
        std::uint32_t seed = 7;
        for (int step = 0; step < 400; ++step) {
            seed = seed * 1103515245 + 12345;
            const int code = static_cast<int>((seed >> 8) % 7) * 1000;
            const int position = static_cast<int>((seed >> 16) % (model.EventCount() + 4)) - 1;
            store(position, code);
            QVERIFY2(verifyEveryCode(), qPrintable(QStringLiteral("after step %1").arg(step)));
        }
        store(model.EventCount() + 5, -1);
        QVERIFY(verifyEveryCode());

        model.LoadFromText("<NOMINATION>\r\n<EVENT id=3>\r\n</EVENT>\r\n</NOMINATION>\r\n");
        QCOMPARE(model.FindEvent(3000), 1);
        QCOMPARE(model.FindEvent(0), 0);
        QCOMPARE(model.FindEvent(-1), 0);
    }

    void nomins_storeAppendGrowIgnore() {
        TMeldeAustausch model;
        QCOMPARE(model.GetNomin(0).BirthYear, 1900);
        QCOMPARE(model.GetNomin(0).Time, NoTime);
        model.SetNomin(1, nomin("Meier, Anna"));
        model.SetNomin(model.NominCount() + 3, nomin("Zander, Udo"));
        QCOMPARE(model.NominCount(), 4);
        QCOMPARE(model.GetNomin(2), TNominRecord{});
        QCOMPARE(model.GetNomin(4).Name, std::string("Zander, Udo"));
        model.SetNomin(0, nomin("X"));
        model.SetNomin(-1, nomin("X"));
        QCOMPARE(model.NominCount(), 4);
    }

    void nomins_nameNormalisedOnStore() {
        TMeldeAustausch model;
        model.SetNomin(1, nomin("Hans M\xFCller"));
        model.SetNomin(2, nomin("M\xFCller, Hans"));
        model.SetNomin(3, nomin("M\xFCller"));
        model.SetNomin(4, nomin("M\xFCller, Hans,"));
        model.SetNomin(5, nomin("Anna Maria Schmidt"));
        const std::string muellerHans = "M\xFCller, Hans";
        QCOMPARE(names(model), (std::vector<std::string>{muellerHans, muellerHans, "M\xFCller",
                                                         muellerHans, "Maria Schmidt, Anna"}));
        // A 30-character "Vorname Nachname" gains a comma and loses its last character.
        model.SetNomin(6, nomin("Hans " + std::string(25, 'x')));
        QCOMPARE(model.GetNomin(6).Name, std::string(25, 'x') + ", Han");
        TNominRecord longRegNr = nomin("A, B");
        longRegNr.RegNr = std::string(20, '7');
        model.SetNomin(7, longRegNr);
        QCOMPARE(model.GetNomin(7).RegNr, std::string(15, '7'));
    }

    void delete_keepsOrder() {
        TMeldeAustausch model;
        for (const char* name : {"A, a", "B, b", "C, c"})
            model.SetNomin(model.NominCount() + 1, nomin(name));
        model.DeleteNomin(0);
        model.DeleteNomin(4);
        QCOMPARE(model.NominCount(), 3);
        model.DeleteNomin(1);
        QCOMPARE(names(model), (std::vector<std::string>{"B, b", "C, c"}));
        model.DeleteNomin(2);
        QCOMPARE(names(model), (std::vector<std::string>{"B, b"}));
    }

    void sortByName_upperCasesAsciiOnlyAndIsStable() {
        TMeldeAustausch model;
        TNominRecord first = nomin("Meier, Tom");
        first.RegNr = "1";
        TNominRecord second = first;
        second.RegNr = "2";
        for (const TNominRecord& record :
             {nomin("\xD6ZT\xDCRK, Ali"), nomin("M\xFCller, Karl"), first, nomin("M\xDCLLER, KARL"),
              nomin("meier, anna"), nomin("ZANDER, Eva"), second})
            model.SetNomin(model.NominCount() + 1, record);
        model.SortNominByName();
        QCOMPARE(names(model), (std::vector<std::string>{"meier, anna", "Meier, Tom", "Meier, Tom",
                                                         "M\xDCLLER, KARL", "M\xFCller, Karl",
                                                         "ZANDER, Eva", "\xD6ZT\xDCRK, Ali"}));
        QCOMPARE(model.GetNomin(2).RegNr, std::string("1"));
        QCOMPARE(model.GetNomin(3).RegNr, std::string("2"));
    }

    void sorting_longListsKeepTheOrderOfEqualKeys() {
        // Hundreds of entries with few keys, entered out of order: the registration number
        // records the order of entry, which equal keys keep through both sorts.
        TMeldeAustausch model;
        const char* const entered[] = {"Zander, Ute", "Meier, Anna", "Adler, Bo", "MEIER, ANNA"};
        for (int i = 0; i < 300; ++i) {
            TNominRecord record = nomin(entered[(i * 7) % 4], 1000 * (1 + (i * 5) % 3));
            record.RegNr = std::to_string(1000 + i);
            model.SetNomin(i + 1, record);
        }
        // "Meier, Anna" and "MEIER, ANNA" share one key.
        const auto key = [](std::string name) {
            for (char& c : name)
                c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
            return name;
        };
        model.SortNominByName();
        for (int i = 2; i <= model.NominCount(); ++i) {
            const TNominRecord before = model.GetNomin(i - 1);
            const TNominRecord after = model.GetNomin(i);
            QVERIFY(key(before.Name) <= key(after.Name));
            if (key(before.Name) == key(after.Name))
                QVERIFY2(before.RegNr < after.RegNr, "equal names changed their order");
        }
        std::vector<std::string> byName;
        for (int i = 1; i <= model.NominCount(); ++i)
            byName.push_back(model.GetNomin(i).RegNr);
        const auto positionByName = [&byName](const std::string& regNr) {
            return std::find(byName.begin(), byName.end(), regNr) - byName.begin();
        };
        model.SortNominByWkNr();
        for (int i = 2; i <= model.NominCount(); ++i) {
            const TNominRecord before = model.GetNomin(i - 1);
            const TNominRecord after = model.GetNomin(i);
            QVERIFY(before.WkNr <= after.WkNr);
            if (before.WkNr == after.WkNr)
                QVERIFY2(positionByName(before.RegNr) < positionByName(after.RegNr),
                         "entries of one event left name order");
        }
    }

    void sortByName_prefixFirst() {
        TMeldeAustausch model;
        model.SetNomin(1, nomin("Meier, Hansi"));
        model.SetNomin(2, nomin("Meier, Hans"));
        model.SortNominByName();
        QCOMPARE(model.GetNomin(1).Name, std::string("Meier, Hans"));
    }

    void sortByWkNr_afterNameGivesEventsInNameOrder() {
        TMeldeAustausch model;
        const int e3 = 3000, e3a = 3097, e10 = 10000;
        for (const TNominRecord& record :
             {nomin("Zorn, Z", e10), nomin("Berg, B", e3a), nomin("Zorn, Z", e3),
              nomin("Adler, A", e3), nomin("Adler, A", e10)})
            model.SetNomin(model.NominCount() + 1, record);
        model.SortNominByName();
        model.SortNominByWkNr();
        std::vector<std::pair<int, std::string>> order;
        for (int i = 1; i <= model.NominCount(); ++i)
            order.emplace_back(model.GetNomin(i).WkNr, model.GetNomin(i).Name);
        QCOMPARE(order, (std::vector<std::pair<int, std::string>>{{e3, "Adler, A"},
                                                                  {e3, "Zorn, Z"},
                                                                  {e3a, "Berg, B"},
                                                                  {e10, "Adler, A"},
                                                                  {e10, "Zorn, Z"}}));
    }

    void sorting_neverRenamesAStoredName() {
        // Names from a host's file that a second normalisation would change.
        TMeldeAustausch model;
        model.SetNomin(1, nomin("Zeta, Z"));
        model.SetNomin(2, nomin(" Peter Pan"));
        const std::string stored = model.GetNomin(2).Name;
        model.SortNominByName();
        model.SortNominByWkNr();
        model.DeleteNomin(model.GetNomin(1).Name == "Zeta, Z" ? 1 : 2);
        QCOMPARE(model.GetNomin(1).Name, stored);
    }

    void textToWkNr_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("plain") << QByteArray("7") << 7000;
        QTest::newRow("letter") << QByteArray("12a") << 12097;
        QTest::newRow("capital") << QByteArray("12A") << 12065;
        QTest::newRow("zero") << QByteArray("0") << 0;
        QTest::newRow("blank suffix") << QByteArray("12 ") << 12032;
        QTest::newRow("negative") << QByteArray("-3") << -3000;
        QTest::newRow("two letters") << QByteArray("12ab") << -1;
        QTest::newRow("letter first") << QByteArray("a12") << -1;
        QTest::newRow("inner minus") << QByteArray("1-2") << -1;
        QTest::newRow("empty") << QByteArray("") << -1;
        QTest::newRow("minus only") << QByteArray("-") << -1;
        QTest::newRow("backspace") << QByteArray("1\b2") << -1;
        QTest::newRow("quoted") << QByteArray("\"3\"") << -1;
        QTest::newRow("umlaut suffix") << QByteArray("4\xE4") << 4228;
        QTest::newRow("too large") << QByteArray("99999999") << -1;
    }
    void textToWkNr() {
        QFETCH(QByteArray, text);
        QFETCH(int, code);
        QCOMPARE(TMeldeAustausch::TextToWkNr(text.toStdString()), code);
    }

    void wkNrToText_roundTrips() {
        for (const char* text : {"12a", "12", "12 ", "-3", "0", "999Z", "4\xE4"})
            QCOMPARE(TMeldeAustausch::WkNrToText(TMeldeAustausch::TextToWkNr(text)),
                     std::string(text));
        // -1 (not an event number) has the text that the division by 1000 gives.
        QCOMPARE(TMeldeAustausch::WkNrToText(-1), std::string("0\xFF"));
    }
};

QTEST_GUILESS_MAIN(TestMeldeAustausch)
#include "tst_meldeaustausch.moc"
