// SPDX-License-Identifier: GPL-3.0-or-later
// The window "Schwimmer" on a store of 100,000 swimmers, on the offscreen platform:
// - BM_OpenWindow: opening it, the list read and shown. Target: 200 ms.
// - BM_SwitchActive: Space on the current swimmer, stored and its row shown anew without
//   reading the list again. Target: well under 50 ms.
#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "swimmerstore.h"
#include "swimmerwindow.h"
#include "windowbenchmain.h"

namespace {

// A folder with a store of 100,000 invented swimmers, made once.
const QTemporaryDir& storeOf100000Swimmers() {
    static std::unique_ptr<QTemporaryDir> folder;
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        TSwimmerStore store(folder->path());
        std::vector<TSwimmer> swimmers(100000);
        for (std::size_t i = 0; i < swimmers.size(); ++i) {
            swimmers[i].Name = "Schwimmer" + std::to_string((i * 7919) % 100000) + ", Vorname";
            swimmers[i].BirthYear = 1990 + static_cast<int>(i % 25);
            swimmers[i].Sex = static_cast<std::uint8_t>(i % 2);
        }
        store.AddSwimmers(swimmers);
    }
    return *folder;
}

void BM_OpenWindow(benchmark::State& state) {
    TSwimmerStore store(storeOf100000Swimmers().path());
    for (auto _ : state) {
        TSwimmerWindow window(store);
        window.show();
        QApplication::processEvents();
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}

void BM_SwitchActive(benchmark::State& state) {
    TSwimmerStore store(storeOf100000Swimmers().path());
    TSwimmerWindow window(store);
    window.show();
    QApplication::processEvents();
    auto* table = window.findChild<QTableView*>(QStringLiteral("SwimmerTable"));
    for (auto _ : state) {
        QTest::keyClick(table, Qt::Key_Space);
        QApplication::processEvents();
    }
}

BENCHMARK(BM_OpenWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchActive)->Unit(benchmark::kMillisecond);

} // namespace

NTB_WINDOW_BENCHMARK_MAIN()
