// SPDX-License-Identifier: GPL-3.0-or-later
// The check of every nomination against its event (`ntbmelde-cli check`, the entry dialog's
// check) at 100,000 nominations, with 20 events and with 5,000: each nomination finds its
// event through the model's index, so both should take about the same time.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>
#include <string>

#include "entrycheck.h"
#include "meldeaustausch.h"

namespace {
constexpr int NominationCount = 100000;

// `events` events open to birth years 1990 to 2010 and nominations spread over them; about
// one in ten names an event number that no event has, one in ten a birth year out of range.
std::unique_ptr<TMeldeAustausch> competition(int events) {
    auto model = std::make_unique<TMeldeAustausch>();
    for (int number = 1; number <= events; ++number) {
        TEventRecord event = EmptyEvent;
        event.WkNr = number * 1000;
        event.Name = "100m Brust";
        event.Sex = static_cast<std::uint8_t>(number % 3);
        event.LatestBirthYear = 2010;
        event.EarliestBirthYear = 1990;
        model->SetEvent(number, event);
    }
    std::mt19937 random(2027);
    for (int i = 1; i <= NominationCount; ++i) {
        TNominRecord nomin = EmptyNomin;
        nomin.Name = "Testname" + std::to_string(random() % 5000) + ", Vorname";
        nomin.BirthYear = 1988 + static_cast<int>(random() % 25);
        nomin.Sex = static_cast<std::uint8_t>(random() % 2);
        nomin.WkNr = (1 + static_cast<int>(random() % (events + events / 9 + 1))) * 1000;
        nomin.Time = 3000 + static_cast<int>(random() % 20000);
        model->SetNomin(i, nomin);
    }
    return model;
}

void BM_CheckNomins(benchmark::State& state) {
    static std::map<int, std::unique_ptr<TMeldeAustausch>> models;
    const int events = static_cast<int>(state.range(0));
    auto& model = models[events];
    if (!model)
        model = competition(events);
    std::size_t refused = 0;
    for (auto _ : state) {
        refused = CheckNomins(*model).size();
        benchmark::DoNotOptimize(refused);
    }
    state.counters["refused"] = static_cast<double>(refused);
    state.SetItemsProcessed(state.iterations() * NominationCount);
}
} // namespace

BENCHMARK(BM_CheckNomins)->ArgName("events")->Arg(20)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
