// SPDX-License-Identifier: GPL-3.0-or-later
// A host's large file in the program's windows, driven on the offscreen platform with 100,000
// and 1,000,000 nominations:
// - BM_StartUpToFirstPaint: the main window made on the file's folder until it first paints;
//   BM_StartUpToLoaded until the nominations are in memory as well (its CPU time counts the
//   reading thread too);
// - BM_OpenEntryDialog: the entry dialog on nominations in entered order until it first paints;
// - BM_SortEntryList: the entry dialog's sort command, by event number and back by name;
// - BM_OpenPrintout: the control printout composed and its window shown and painted; its
//   counter "MB_per_window" is how much the process grows for each further window.
// Targets at 100,000: under 150 ms each, the printout under 300 ms.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "emptystore.h"
#include "entrydialog.h"
#include "mainwindow.h"
#include "meldeaustausch.h"
#include "printoutwindow.h"
#include "windowbenchmain.h"

namespace {

constexpr int EventCount = 200;

// Invented swimmers spread over 200 events, in an order the name sort has to work on.
std::unique_ptr<TMeldeAustausch> largeClub(int nominations) {
    auto model = std::make_unique<TMeldeAustausch>();
    model->CompName = "Herbstpokal";
    model->ClubName = "SV Beispielstadt";
    model->AbsCnt = 2;
    for (int number = 1; number <= EventCount; ++number) {
        TEventRecord event = EmptyEvent;
        event.WkNr = number * 1000;
        event.Period = 1 + number % 2;
        event.Name = "100m Freistil";
        event.Sex = 2;
        event.LatestBirthYear = 2020;
        event.EarliestBirthYear = 1900;
        event.Fee = 5;
        model->SetEvent(number, event);
    }
    for (int i = 0; i < nominations; ++i) {
        const int swimmer = static_cast<int>((i * 7919LL) % nominations);
        const std::string name = "Schwimmer" + std::to_string(swimmer) + ", Vorname";
        model->SetNomin(i + 1, {name, 1990 + swimmer % 20, static_cast<std::uint8_t>(swimmer % 2),
                                (1 + i % EventCount) * 1000, 3000 + swimmer % 9000,
                                std::to_string(100000 + swimmer)});
    }
    return model;
}

// One model and one saved file per size, made once. The model keeps the order in which the
// nominations were entered, as a host's merged file may have them.
struct Fixture {
    std::unique_ptr<const TMeldeAustausch> model;
    QTemporaryDir folder;
};

Fixture& fixture(int nominations) {
    static std::map<int, std::unique_ptr<Fixture>> fixtures;
    auto& entry = fixtures[nominations];
    if (!entry) {
        entry = std::make_unique<Fixture>();
        entry->model = largeClub(nominations);
        TMeldeAustausch saved = *entry->model;
        saved.SaveToFile(entry->folder.filePath(QStringLiteral("EXCHANGE.NT2")).toStdString());
    }
    return *entry;
}

// Times from its making to the first paint of the widget it watches.
class PaintWatch : public QObject {
public:
    PaintWatch() { clock.start(); }
    void watch(QWidget& widget) { widget.installEventFilter(this); }
    // Processes events until the widget has painted.
    double secondsToFirstPaint() {
        while (paintedAfter < 0)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        return paintedAfter;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintedAfter < 0)
            paintedAfter = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        return false;
    }

private:
    QElapsedTimer clock;
    double paintedAfter = -1;
};

void waitUntilLoaded(const TMainWindow& window, int nominations) {
    while (window.meldeAustausch()->NominCount() != nominations)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long value = 0;
        if (key == "VmRSS:" && status >> value)
            return value;
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

// Manual time: the first paint may come while the file is still being read.
void BM_StartUpToFirstPaint(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PaintWatch watch;
        TMainWindow window(f.folder.path());
        watch.watch(window);
        window.show();
        state.SetIterationTime(watch.secondsToFirstPaint());
        waitUntilLoaded(window, static_cast<int>(state.range(0)));
    }
}

void BM_StartUpToLoaded(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto window = std::make_unique<TMainWindow>(f.folder.path());
        window->show();
        waitUntilLoaded(*window, static_cast<int>(state.range(0)));
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}

// On the nominations in the order they were entered: the dialog sorts them by name.
void BM_OpenEntryDialog(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        TMeldeAustausch entered = *f.model;
        state.ResumeTiming();
        PaintWatch watch;
        TEntryDialog dialog(entered, emptyStore());
        watch.watch(dialog);
        dialog.show();
        state.SetIterationTime(watch.secondsToFirstPaint());
        state.PauseTiming();
        dialog.hide();
        state.ResumeTiming();
    }
}

void BM_SortEntryList(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    TMeldeAustausch entered = *f.model;
    TEntryDialog dialog(entered, emptyStore());
    dialog.show();
    QApplication::processEvents();
    auto* sort = dialog.findChild<QAction*>(QStringLiteral("PopSort"));
    for (auto _ : state) {
        sort->trigger(); // one sort, alternately by event number and by name
        QApplication::processEvents();
    }
}

void BM_OpenPrintout(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    QMdiArea frame;
    frame.resize(1024, 700);
    frame.show();
    QApplication::processEvents();
    const long before = residentKilobytes();
    for (auto _ : state) {
        PaintWatch watch;
        auto* window = new TPrintoutWindow(ControlPrintout(*f.model));
        watch.watch(*window);
        frame.addSubWindow(window);
        window->showMaximized();
        state.SetIterationTime(watch.secondsToFirstPaint());
    }
    const double windows = static_cast<double>(state.iterations());
    state.counters["MB_per_window"] = (residentKilobytes() - before) / 1024.0 / windows;
    for (QMdiSubWindow* window : frame.subWindowList())
        delete window;
}

} // namespace

BENCHMARK(BM_StartUpToFirstPaint)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpToLoaded)
    ->Arg(100000)
    ->Arg(1000000)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEntryDialog)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortEntryList)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPrintout)->Arg(100000)->Arg(1000000)->Iterations(4)->Unit(benchmark::kMillisecond);

NTB_WINDOW_BENCHMARK_MAIN()
