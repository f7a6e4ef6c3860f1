// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the swimmer store, each on a store file in a temporary folder:
// - BM_Complete: the entry dialog's completion list for a typed prefix of 1 to 3 letters in
//   a store of 10,000 or 100,000 swimmers. Target: 5 ms.
// - BM_RememberCompetition: a competition of 1,000 or 100,000 nominations remembered into an
//   empty store (…/0) and once more into the store that already holds it (…/1), as the
//   program does after each save. Targets: 50 ms for 1,000, 3 s for 100,000.
// - BM_OpenStore: opening a store of 10,000 swimmers (with 50,000 times), or of 100,000 with
//   1,000,000 swims, and reading its club block, as the program does at start-up (the pages
//   are checked then). Target: 20 ms for 10,000.
// - BM_AllSwimmers: reading 100,000 swimmers for the swimmer window. Target: well within the
//   window's 200 ms.
// - BM_BestTimesOfName: `swimmers besttimes NAME`, one swimmer among 100,000 with 1,000,000
//   swims. Target: 50 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <memory>
#include <random>
#include <string>

#include "meldeaustausch.h"
#include "swim.h"
#include "swimmerstore.h"

namespace {

// Events of every stroke and distance, a relay among them; swimmers with invented names,
// about five starts each, one in ten without a time.
TMeldeAustausch competition(int nominations) {
    static const char* const strokes[] = {"Freistil", "Brust",
                                          "R\xFC"
                                          "cken",
                                          "Schmetterling", "Lagen"};
    static const int distances[] = {50, 100, 200};
    static const char* const stems[] = {"Ber", "Hof", "Kr\xE4", "M\xFC", "Sch", "Wei", "Lan",
                                        "Neu", "Bau", "Fi",     "Ha",    "Ko",  "Ri",  "Zi"};
    static const char* const endings[] = {"mann", "er", "ler",  "ke",   "ner", "berg",
                                          "feld", "tz", "lich", "hold", "bach"};
    static const char* const firstNames[] = {"Anna",  "Ben", "Clara", "David", "Emma",
                                             "Felix", "Ida", "Jonas", "Karla", "Leon"};
    std::mt19937 random(4711);
    auto pick = [&random](const auto& list) { return list[random() % std::size(list)]; };
    TMeldeAustausch model;
    model.CompName = "Bezirksmeisterschaften";
    model.Date1 = "14.06.2026";
    model.LaneLen = 25;
    model.ClubName = "SV Neustadt";
    for (int i = 1; i <= 30; ++i) {
        TEventRecord event = EmptyEvent;
        event.WkNr = i * 1000;
        event.Staffel = i % 10 == 0;
        event.Name =
            (event.Staffel ? "4x" : "") + std::to_string(pick(distances)) + "m " + pick(strokes);
        model.SetEvent(i, event);
    }
    std::vector<TNominRecord> swimmers(static_cast<std::size_t>(std::max(1, nominations / 5)));
    for (std::size_t i = 0; i < swimmers.size(); ++i) {
        swimmers[i].Name = std::string(pick(stems)) + pick(endings) + ", " + pick(firstNames) +
                           " " + std::to_string(i);
        swimmers[i].BirthYear = 1990 + static_cast<int>(random() % 28);
        swimmers[i].Sex = static_cast<std::uint8_t>(random() % 2);
        if (random() % 2)
            swimmers[i].RegNr = std::to_string(100000 + i);
    }
    for (int i = 1; i <= nominations; ++i) {
        TNominRecord nomin = swimmers[random() % swimmers.size()];
        nomin.WkNr = static_cast<int>(1 + random() % 30) * 1000;
        nomin.Time = random() % 10 == 0 ? NoTime : 3000 + static_cast<int>(random() % 20000);
        model.SetNomin(i, nomin);
    }
    return model;
}

// A folder with a store of 10,000 swimmers, made once.
const QTemporaryDir& storeOf10000Swimmers() {
    static std::unique_ptr<QTemporaryDir> folder;
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        TSwimmerStore store(folder->path());
        store.RememberCompetition(competition(50000));
    }
    return *folder;
}

// A folder with a store of 100,000 swimmers and ten swims each, made once.
const QTemporaryDir& storeOf100000Swimmers() {
    static std::unique_ptr<QTemporaryDir> folder;
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        TSwimmerStore store(folder->path());
        const TMeldeAustausch names = competition(500000);
        std::vector<TSwim> swims;
        for (int position = 1; position <= names.NominCount(); ++position) {
            const TNominRecord& nomin = names.Nomin(position);
            TSwim swim;
            swim.Name = nomin.Name;
            swim.BirthYear = nomin.BirthYear;
            swim.Sex = nomin.Sex;
            swim.RegNr = nomin.RegNr;
            swim.Discipline = {50 * (1 + position % 4), 1, static_cast<TStroke>(position % 5)};
            swim.LaneLength = 25;
            swim.Date = std::chrono::year_month_day(std::chrono::year(2026), std::chrono::month(3),
                                                    std::chrono::day(1 + position % 28));
            swim.CompName = "Bezirksmeisterschaften";
            swim.Hundredths = 3000 + position % 20000;
            swims.push_back(swim);
            swim.Date = std::chrono::year_month_day(std::chrono::year(2025), std::chrono::month(3),
                                                    std::chrono::day(1 + position % 28));
            swims.push_back(swim);
        }
        store.ImportSwims(swims);
    }
    return *folder;
}

void BM_Complete(benchmark::State& state) {
    static const char* const prefixes[] = {"ber", "hof", "sch", "emm", "kr\xE4"};
    TSwimmerStore store(state.range(1) == 10000 ? storeOf10000Swimmers().path()
                                                : storeOf100000Swimmers().path());
    std::size_t offered = 0;
    int i = 0;
    for (auto _ : state) {
        const std::string prefix(prefixes[i++ % 5], static_cast<std::size_t>(state.range(0)));
        offered += store.Complete(prefix).size();
    }
    state.counters["offered"] = static_cast<double>(offered) / state.iterations();
}

void BM_RememberCompetition(benchmark::State& state) {
    const TMeldeAustausch model = competition(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        auto store = std::make_unique<TSwimmerStore>(folder.path());
        if (state.range(1) == 1)
            store->RememberCompetition(model);
        state.ResumeTiming();
        if (!store->RememberCompetition(model))
            state.SkipWithError("not stored");
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_OpenStore(benchmark::State& state) {
    const QString folder =
        state.range(0) == 10000 ? storeOf10000Swimmers().path() : storeOf100000Swimmers().path();
    for (auto _ : state) {
        TSwimmerStore store(folder);
        benchmark::DoNotOptimize(store.LastClubBlock());
    }
}

void BM_AllSwimmers(benchmark::State& state) {
    TSwimmerStore store(storeOf100000Swimmers().path());
    for (auto _ : state)
        benchmark::DoNotOptimize(store.AllSwimmers());
}

void BM_BestTimesOfName(benchmark::State& state) {
    TSwimmerStore store(storeOf100000Swimmers().path());
    std::size_t found = 0;
    for (auto _ : state)
        found += store.BestTimesOfName(" 4711").size();
    state.counters["found"] = static_cast<double>(found) / state.iterations();
}

BENCHMARK(BM_Complete)->ArgsProduct({{1, 2, 3}, {10000, 100000}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllSwimmers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BestTimesOfName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RememberCompetition)
    ->ArgsProduct({{1000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenStore)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

// Qt's SQL driver is a plug-in, loaded only with an application object.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
