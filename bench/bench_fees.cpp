// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the fee overview and of the warnings beside the control printout, on the same
// competition with 1,000, 10,000 or 100,000 nominations:
// - BM_Report: the printout's lines and their plain text (what `ntbmelde-cli report` does
//   after loading);
// - BM_Fees: the overview's lines, warnings included, as UTF-8 text (`ntbmelde-cli fees`);
// - BM_Warnings: the refusals and the warnings (`check --warnings`; the entry dialog finds the
//   warnings after each adoption).
// Each once on the model as entered (…/0) and once reading the saved file's bytes first, as
// the commands do (…/1). Target: BM_Fees and BM_Warnings within 3x BM_Report.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "entrycheck.h"
#include "feereport.h"
#include "meldeaustausch.h"
#include "report.h"
#include "warnings.h"
#include "windows1252.h"

namespace {

// A club's swimmer starts about five times.
constexpr int StartsPerSwimmer = 5;

// Three sections of individual events and relays with fees in cents that doubles cannot
// hold; entry times that fit the distance, one in 200 mistyped; a few name twins and a few
// swimmers entered twice in one event.
TMeldeAustausch competition(int nominations) {
    static const char* const strokes[] = {"Freistil", "Brust",
                                          "R\xFC"
                                          "cken",
                                          "Schmetterling", "Lagen"};
    static const int distances[] = {50, 100, 200};
    static const double fees[] = {2.1, 0.7, 4.5, 3.35};
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
    model.CompName = "Bezirksmeisterschaften";
    model.ClubName = "SV Blau-Wei\xDF Neustadt";
    std::vector<int> totalDistances;
    std::vector<int> eventsFor[2]; // by sex, 0-based
    for (int section = 1; section <= 3; ++section) {
        for (int i = 0; i < 13; ++i) {
            TEventRecord event = EmptyEvent;
            event.Period = section;
            event.WkNr = (model.EventCount() + 1) * 1000;
            event.Staffel = i == 12;
            const int distance = pick(distances);
            event.Name = (event.Staffel ? "4x" : "") + std::to_string(distance) + "m " +
                         pick(strokes) + (i % 2 ? " weiblich" : " m\xE4nnlich");
            event.Sex = static_cast<std::uint8_t>(i % 2 ? 1 : 0);
            event.LatestBirthYear = 2018;
            event.EarliestBirthYear = 1900;
            event.Fee = pick(fees) * (event.Staffel ? 3 : 1);
            model.SetEvent(model.EventCount() + 1, event);
            totalDistances.push_back(distance * (event.Staffel ? 4 : 1));
            eventsFor[event.Sex].push_back(model.EventCount() - 1);
        }
    }
    std::vector<TNominRecord> swimmers(std::max(1, nominations / StartsPerSwimmer), EmptyNomin);
    for (TNominRecord& swimmer : swimmers) {
        swimmer.Name = std::string(pick(stems)) + pick(endings) + ", " + pick(firstNames) + " " +
                       pick(firstNames);
        swimmer.BirthYear = 1990 + static_cast<int>(random() % 28);
        swimmer.Sex = static_cast<std::uint8_t>(random() % 2);
        swimmer.RegNr = std::to_string(100000 + random() % 900000);
    }
    for (int i = 1; i <= nominations; ++i) {
        TNominRecord nomin = swimmers[random() % swimmers.size()];
        const int event = pick(eventsFor[nomin.Sex]);
        nomin.WkNr = (event + 1) * 1000;
        nomin.Time = totalDistances[event] / 50 * (2600 + static_cast<int>(random() % 5000));
        if (random() % 200 == 0)
            nomin.Time /= 10;
        if (random() % 10 == 0)
            nomin.Time = NoTime;
        model.SetNomin(i, nomin);
    }
    return model;
}

struct Fixture {
    TMeldeAustausch entered; // nominations in the order they were entered
    std::string fileText;    // the file the program saves: nominations in name order
};

const Fixture& fixture(int nominations) {
    static std::map<int, std::unique_ptr<Fixture>> fixtures;
    std::unique_ptr<Fixture>& entry = fixtures[nominations];
    if (!entry) {
        entry = std::make_unique<Fixture>();
        entry->entered = competition(nominations);
        TMeldeAustausch saved = entry->entered;
        entry->fileText = saved.ToFileText();
    }
    return *entry;
}

// Composes from the model as entered, or (second argument 1) reads the file's bytes first, as
// the command does with its file.
template <typename Compose> void measure(benchmark::State& state, Compose compose) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (state.range(1) == 0) {
            compose(f.entered);
        } else {
            TMeldeAustausch model;
            model.LoadFromText(f.fileText);
            compose(model);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Report(benchmark::State& state) {
    measure(state, [](const TMeldeAustausch& model) {
        benchmark::DoNotOptimize(ReportPlainText(BuildReportLines(model)));
    });
}

void BM_Fees(benchmark::State& state) {
    measure(state, [](const TMeldeAustausch& model) {
        std::string text;
        for (const std::string& line : BuildFeeLines(model, "01.02.2027")) {
            text += line;
            text += '\n';
        }
        benchmark::DoNotOptimize(AnsiToUtf8(text));
    });
}

void BM_Warnings(benchmark::State& state) {
    measure(state, [](const TMeldeAustausch& model) {
        benchmark::DoNotOptimize(CheckNomins(model));
        benchmark::DoNotOptimize(FindNominWarnings(model));
    });
}

#define NTB_SIZES ->ArgsProduct({{1000, 10000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Report) NTB_SIZES;
BENCHMARK(BM_Fees) NTB_SIZES;
BENCHMARK(BM_Warnings) NTB_SIZES;

} // namespace

BENCHMARK_MAIN();
