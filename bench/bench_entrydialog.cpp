// SPDX-License-Identifier: GPL-3.0-or-later
// The entry dialog with a large club's nominations: opening it and adopting one entry, driven
// through the real dialog on the offscreen platform. Both should stay well under 50 ms.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

#include "emptystore.h"
#include "entrydialog.h"
#include "meldeaustausch.h"
#include "windowbenchmain.h"

namespace {

constexpr int NominationCount = 10000;

// Events 1 to 40, open to everybody born 1900 to 2020, and 10,000 nominations on them in
// an order that the dialog's name sort has to work on.
std::unique_ptr<TMeldeAustausch> largeClub() {
    auto model = std::make_unique<TMeldeAustausch>();
    for (int number = 1; number <= 40; ++number) {
        TEventRecord event = EmptyEvent;
        event.WkNr = number * 1000;
        event.Name = "100m Freistil";
        event.Sex = 2;
        event.LatestBirthYear = 2020;
        model->SetEvent(number, event);
    }
    for (int i = 0; i < NominationCount; ++i) {
        const int swimmer = (i * 7919) % NominationCount;
        const std::string name = "Schwimmer" + std::to_string(swimmer) + ", Vorname";
        model->SetNomin(i + 1, {name, 1990 + swimmer % 20, static_cast<std::uint8_t>(swimmer % 2),
                                (1 + i % 40) * 1000, 3000 + swimmer, "R" + std::to_string(i)});
    }
    return model;
}

void showAndSettle(QWidget& window) {
    window.show();
    QApplication::processEvents();
}

void BM_OpenDialog(benchmark::State& state) {
    const auto model = largeClub();
    for (auto _ : state) {
        TEntryDialog dialog(*model, emptyStore());
        showAndSettle(dialog);
        state.PauseTiming();
        dialog.hide();
        state.ResumeTiming();
    }
}

void BM_AdoptEntry(benchmark::State& state) {
    const auto model = largeClub();
    TEntryDialog dialog(*model, emptyStore());
    showAndSettle(dialog);
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("EditName"));
    auto* year = dialog.findChild<QLineEdit*>(QStringLiteral("EditJahrgang"));
    auto* wkNr = dialog.findChild<QLineEdit*>(QStringLiteral("EditWkNr"));
    auto* time = dialog.findChild<QLineEdit*>(QStringLiteral("EditMeldezeit"));
    auto* newEntry = dialog.findChild<QPushButton*>(QStringLiteral("ButtonNew"));
    name->setText(QStringLiteral("Meier, Hans"));
    year->setText(QStringLiteral("1992"));
    int event = 0;
    for (auto _ : state) {
        wkNr->setText(QString::number(1 + event++ % 40));
        time->setText(QStringLiteral("01:05,30"));
        newEntry->click();
        QApplication::processEvents(); // the rebuilt list repaints
    }
    if (model->NominCount() != NominationCount + static_cast<int>(state.iterations()))
        state.SkipWithError("an entry was not adopted");
}

} // namespace

BENCHMARK(BM_OpenDialog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdoptEntry)->Unit(benchmark::kMillisecond);

NTB_WINDOW_BENCHMARK_MAIN()
