// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the exchange file with 200 events and 1,000, 10,000 or 100,000 nominations, each
// beside a baseline on the same file:
// - BM_Load against BM_GetlineBaseline (the file read line by line with std::getline);
// - BM_Save against BM_WriteBaseline (the same bytes written the way the save writes them:
//   a temporary file, write, fsync, rename over the old file, fsync of the folder);
// - BM_SortNominByName on nominations in the order they were entered, BM_SortNominByWkNr on
//   nominations in name order, as the entry list switches between the two.
// Targets: load <= 10x getline, save <= 3x write, each sort of 100,000 under 100 ms.
// BM_LoadOdd loads files that no host writes: one huge line, junk, unterminated sections,
// lines that are all left out.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "atomicfile.h"
#include "meldeaustausch.h"

namespace {
constexpr int EventCount = 200;
constexpr std::size_t TenMegabytes = 10 << 20;

// Folder for the benchmark's files, removed at exit.
class ScratchFolder {
public:
    ScratchFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/ntbbench.XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

const ScratchFolder& scratch() {
    static const ScratchFolder folder;
    return folder;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A competition as a host sends it, with a club that has entered `nominations` entries.
TMeldeAustausch competition(int nominations) {
    static const char* const stems[] = {"Ber",   "Hof", "Kr\xE4", "M\xFC", "Sch", "Wei", "Lan",
                                        "Neu",   "Bau", "Fi",     "Ha",    "Ko",  "Ri",  "Zi",
                                        "\xD6z", "Ei",  "Fr",     "Gr",    "Ja",  "Lo"};
    static const char* const endings[] = {"mann", "er",   "ler",   "ke",    "ner",
                                          "berg", "feld", "mer",   "tz",    "lich",
                                          "\xDF", "hold", "inger", "stein", "bach"};
    static const char* const firstNames[] = {
        "Anna",  "Ben",  "Clara", "David", "Emma", "Felix", "Greta",     "Hans", "Ida", "Jonas",
        "Karla", "Leon", "Mia",   "Noah",  "Olga", "Paul",  "J\xFCrgen", "Lea",  "Tim", "\xC4nne"};
    std::mt19937 random(4711);
    auto pick = [&random](const auto& list) { return list[random() % std::size(list)]; };

    TMeldeAustausch model;
    model.CompName = "Fr\xFChjahrsmeeting";
    model.Place = "Neustadt am Kanal";
    model.LaneLen = 25;
    model.AbsCnt = 3;
    for (int s = 1; s <= 3; ++s) {
        model.SetPeriodDate(s, "13.03.2027");
        model.SetPeriodTime(s, "14:00");
    }
    for (int i = 1; i <= EventCount; ++i) {
        TEventRecord event = EmptyEvent;
        event.WkNr = i * 1000;
        event.Period = 1 + i % 3;
        event.Name = std::to_string(50 << (i % 3)) + "m Freistil";
        event.Sex = static_cast<std::uint8_t>(i % 3);
        event.LatestBirthYear = 2016;
        event.EarliestBirthYear = 1930;
        event.Fee = 4.5;
        model.SetEvent(i, event);
    }
    model.ClubName = "SV Blau-Wei\xDF Neustadt";
    model.Fina = "GER";
    for (int i = 1; i <= nominations; ++i) {
        TNominRecord nomin = EmptyNomin;
        nomin.Name = std::string(pick(stems)) + pick(endings) + ", " + pick(firstNames);
        nomin.BirthYear = 1990 + static_cast<int>(random() % 28);
        nomin.Sex = static_cast<std::uint8_t>(random() % 2);
        nomin.WkNr = (1 + static_cast<int>(random() % EventCount)) * 1000;
        nomin.Time = random() % 10 == 0 ? NoTime : 2500 + static_cast<int>(random() % 40000);
        nomin.RegNr = std::to_string(100000 + random() % 900000);
        model.SetNomin(i, nomin);
    }
    return model;
}

struct Fixture {
    TMeldeAustausch entered; // nominations in the order they were entered
    TMeldeAustausch saved;   // after saving: nominations in name order
    std::string text;        // the saved file's bytes
    std::string path;        // the saved file
};

const Fixture& fixture(int nominations) {
    static std::map<int, std::unique_ptr<Fixture>> fixtures;
    std::unique_ptr<Fixture>& entry = fixtures[nominations];
    if (!entry) {
        entry = std::make_unique<Fixture>();
        entry->entered = competition(nominations);
        entry->saved = entry->entered;
        entry->path = scratch().file("EXCHANGE-" + std::to_string(nominations) + ".NT2");
        entry->saved.SaveToFile(entry->path);
        entry->text = entry->saved.ToFileText();
    }
    return *entry;
}

void countFile(benchmark::State& state, const Fixture& f) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.text.size()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Load(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TMeldeAustausch model;
        model.LoadFromFile(f.path);
        benchmark::DoNotOptimize(model.NominCount());
    }
    countFile(state, f);
}

void BM_GetlineBaseline(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::ifstream in(f.path, std::ios::binary);
        std::string line;
        std::size_t lines = 0;
        while (std::getline(in, line))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    countFile(state, f);
}

void BM_Save(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    TMeldeAustausch model = f.saved;
    const std::string path = scratch().file("saved.NT2");
    for (auto _ : state)
        model.SaveToFile(path);
    countFile(state, f);
}

void BM_WriteBaseline(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    const std::string path = scratch().file("written.NT2");
    for (auto _ : state)
        WriteFileAtomically(path, f.text);
    countFile(state, f);
}

void BM_SortNominByName(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    TMeldeAustausch model;
    for (auto _ : state) {
        state.PauseTiming();
        model = f.entered;
        state.ResumeTiming();
        model.SortNominByName();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SortNominByWkNr(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    TMeldeAustausch model;
    for (auto _ : state) {
        state.PauseTiming();
        model = f.saved;
        state.ResumeTiming();
        model.SortNominByWkNr();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

#define NTB_SIZES ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Load) NTB_SIZES->UseRealTime();
BENCHMARK(BM_GetlineBaseline) NTB_SIZES->UseRealTime();
BENCHMARK(BM_Save) NTB_SIZES->UseRealTime();
BENCHMARK(BM_WriteBaseline) NTB_SIZES->UseRealTime();
BENCHMARK(BM_SortNominByName) NTB_SIZES;
BENCHMARK(BM_SortNominByWkNr) NTB_SIZES;

// Files no host writes; each must still load quickly.
std::string oneHugeLine() {
    std::string text = fixture(1000).text;
    const std::string name = "<NAME>Fr\xFChjahrsmeeting";
    text.insert(text.find(name) + name.size(), std::string(TenMegabytes, 'x'));
    return text;
}

std::string withoutLineEnds() {
    std::string text;
    while (text.size() < TenMegabytes) {
        for (char c : fixture(10000).text) {
            if (c != '\n')
                text += c; // a lone carriage return ends no line
        }
    }
    return text;
}

std::string binaryJunk() {
    std::mt19937 random(815);
    std::string junk(TenMegabytes, '\0');
    for (char& c : junk)
        c = static_cast<char>(random());
    return junk;
}

std::string unclosedNomins() {
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "<NOMIN id=1>\r\n";
    return text;
}

std::string unclosedEvents() {
    std::string text;
    for (int i = 1; i <= 200000; ++i)
        text += "<EVENT id=" + std::to_string(i) + ">\r\n";
    return text;
}

// Every section has its own end marker ("</E7EVENT"), none ends, and a key comes last.
std::string unclosedOwnMarkers() {
    std::string text;
    for (int i = 1; i <= 200000; ++i)
        text += "<E" + std::to_string(i) + "EVENT id=" + std::to_string(i) + ">\r\n";
    return text + "<NAME>x</NAME>\r\n";
}

// No line is kept (each has "!" second): every section's start tag is looked for inside lines.
std::string noKeptLine() {
    std::string text;
    for (int i = 1; i <= 200000; ++i)
        text += "a!<EVENT id=" + std::to_string(i) + ">\r\n";
    return text + "a!<NAME>x</NAME>\r\n";
}

void registerOddFiles() {
    const std::pair<const char*, std::string (*)()> files[] = {
        {"one-10MB-line", oneHugeLine},
        {"10MB-without-line-ends", withoutLineEnds},
        {"10MB-binary-junk", binaryJunk},
        {"200000-NOMIN-id=1-unclosed", unclosedNomins},
        {"200000-EVENT-id=N-unclosed", unclosedEvents},
        {"200000-own-end-markers-unclosed", unclosedOwnMarkers},
        {"200000-sections-no-kept-line", noKeptLine}};
    for (const auto& [name, make] : files) {
        const std::string path = scratch().file(std::string(name) + ".NT2");
        benchmark::RegisterBenchmark((std::string("BM_LoadOdd/") + name).c_str(),
                                     [path, make = make](benchmark::State& state) {
                                         if (!std::filesystem::exists(path))
                                             writeFile(path, make());
                                         for (auto _ : state) {
                                             TMeldeAustausch model;
                                             model.LoadFromFile(path);
                                             benchmark::DoNotOptimize(model.EventCount());
                                         }
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    }
}
} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerOddFiles();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
