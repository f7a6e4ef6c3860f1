// SPDX-License-Identifier: GPL-3.0-or-later
// What opening a file adds to reading it, on a club's file with 100,000 entries: the test
// whether it is UTF-8 (BM_DecodeFileBytes) and the look for the root's start and end
// (BM_JudgeExchangeText), beside reading the whole model from the same bytes (BM_LoadFromText).
// Both checks together should cost a small part of the reading. Argument 0: names with
// umlauts, which end the UTF-8 test at the first one; 1: plain ASCII, which it reads to the end.
#include <benchmark/benchmark.h>

#include <string>

#include "exchangeverdict.h"
#include "meldeaustausch.h"
#include "utf8.h"

namespace {
std::string clubFileText(bool asciiOnly) {
    TMeldeAustausch model;
    TEventRecord event = EmptyEvent;
    event.WkNr = 1000;
    event.Name = "100m Freistil";
    model.SetEvent(1, event);
    model.ClubName = "SV Teststadt";
    const std::string surname = asciiOnly ? "Mueller" : "M\xFCller";
    for (int i = 1; i <= 100000; ++i)
        model.SetNomin(i, {surname + std::to_string(i) + ", Joerg", 2000 + i % 15,
                           static_cast<std::uint8_t>(i % 2), 1000, 3000 + i % 5000, "R1"});
    return model.ToFileText();
}

const std::string& clubFile(const benchmark::State& state) {
    static const std::string texts[] = {clubFileText(false), clubFileText(true)};
    return texts[state.range(0)];
}

void BM_DecodeFileBytes(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeFileBytes(clubFile(state)).FromUtf8);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(clubFile(state).size()));
}

void BM_JudgeExchangeText(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(JudgeExchangeText(clubFile(state)));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(clubFile(state).size()));
}

void BM_LoadFromText(benchmark::State& state) {
    for (auto _ : state) {
        TMeldeAustausch model;
        model.LoadFromText(clubFile(state));
        benchmark::DoNotOptimize(model.NominCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(clubFile(state).size()));
}
} // namespace

BENCHMARK(BM_DecodeFileBytes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JudgeExchangeText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFromText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
