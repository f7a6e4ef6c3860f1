// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of best times from result lists, each on a store file in a temporary folder:
// - BM_ImportResults: a result file of 5,000 swims (…/0 Lenex, …/1 DSV7 Vereinsergebnisliste)
//   read and imported into an empty store. Target: 1 s.
// - BM_BestTime: the suggestion for one swimmer and discipline in a store of 100,000 swum
//   times and 20,000 entry times. Target: 5 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <memory>
#include <random>

#include "dsv7.h"
#include "lenex.h"
#include "meldeaustausch.h"
#include "swimmerstore.h"

namespace {

constexpr int Swimmers = 1000;
constexpr int EventCount = 20;
const char* const LenexStrokes[] = {"FREE", "BACK", "BREAST", "FLY", "MEDLEY"};
const char* const DsvStrokes[] = {"F", "R", "B", "S", "L"};
const int Distances[] = {50, 100, 200, 400};

// Event i: stroke i % 5, distance (i / 5) % 4; swimmer s swims five of them.
QByteArray lenexResults() {
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LENEX version=\"3.0\"><MEETS>"
                     "<MEET name=\"Bezirksmeisterschaften\" city=\"Neustadt\" nation=\"GER\" "
                     "course=\"SCM\"><SESSIONS><SESSION number=\"1\" date=\"2026-06-14\"><EVENTS>";
    for (int i = 0; i < EventCount; ++i)
        xml += QStringLiteral("<EVENT eventid=\"%1\" number=\"%2\"><SWIMSTYLE distance=\"%3\" "
                              "relaycount=\"1\" stroke=\"%4\"/></EVENT>")
                   .arg(100 + i)
                   .arg(i + 1)
                   .arg(Distances[i / 5 % 4])
                   .arg(QLatin1StringView(LenexStrokes[i % 5]))
                   .toUtf8();
    xml += "</EVENTS></SESSION></SESSIONS><CLUBS><CLUB name=\"SV Neustadt\" code=\"1234\">"
           "<ATHLETES>";
    std::mt19937 random(4711);
    for (int s = 0; s < Swimmers; ++s) {
        xml += QStringLiteral("<ATHLETE athleteid=\"%1\" lastname=\"Muster%1\" firstname=\"Kim\" "
                              "birthdate=\"%2-01-01\" gender=\"%3\" license=\"%4\"><RESULTS>")
                   .arg(s)
                   .arg(1990 + s % 25)
                   .arg(s % 2 ? u'F' : u'M')
                   .arg(100000 + s)
                   .toUtf8();
        for (int r = 0; r < 5; ++r)
            xml += QStringLiteral("<RESULT resultid=\"%1\" eventid=\"%2\" "
                                  "swimtime=\"00:0%3:%4.%5\"/>")
                       .arg(s * 5 + r)
                       .arg(100 + (s + r * 4) % EventCount)
                       .arg(random() % 5)
                       .arg(10 + random() % 50)
                       .arg(10 + random() % 90)
                       .toUtf8();
        xml += "</RESULTS></ATHLETE>";
    }
    return xml + "</ATHLETES></CLUB></CLUBS></MEET></MEETS></LENEX>\n";
}

QByteArray dsvResults() {
    QByteArray text = "FORMAT:Vereinsergebnisliste;7;\r\nVERANSTALTUNG:Bezirksmeisterschaften;"
                      "Neustadt;25;AUTOMATISCH;\r\nABSCHNITT:1;14.06.2026;09:00;;\r\n";
    for (int i = 0; i < EventCount; ++i)
        text += QStringLiteral("WETTKAMPF:%1;E;1;;%2;%3;GL;X;SW;;;\r\n")
                    .arg(i + 1)
                    .arg(Distances[i / 5 % 4])
                    .arg(QLatin1StringView(DsvStrokes[i % 5]))
                    .toUtf8();
    text += "VEREIN:SV Neustadt;1234;9;GER;\r\n";
    std::mt19937 random(4711);
    for (int s = 0; s < Swimmers; ++s) {
        text += QStringLiteral("PERSON:Muster%1, Kim;%2;%1;%3;%4;;;;;\r\n")
                    .arg(s)
                    .arg(100000 + s)
                    .arg(s % 2 ? u'W' : u'M')
                    .arg(1990 + s % 25)
                    .toUtf8();
        for (int r = 0; r < 5; ++r)
            text += QStringLiteral("PERSONENERGEBNIS:%1;%2;E;1;1;00:0%3:%4,%5;;;;\r\n")
                        .arg(s)
                        .arg(1 + (s + r * 4) % EventCount)
                        .arg(random() % 5)
                        .arg(10 + random() % 50)
                        .arg(10 + random() % 90)
                        .toUtf8();
    }
    return text + "DATEIENDE\r\n";
}

void BM_ImportResults(benchmark::State& state) {
    const QByteArray bytes = state.range(0) == 0 ? lenexResults() : dsvResults();
    TClubFilter filter;
    filter.ClubId = "1234";
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        auto store = std::make_unique<TSwimmerStore>(folder.path());
        state.ResumeTiming();
        const std::vector<TSwim> swims =
            state.range(0) == 0 ? ReadLenexResults(bytes, filter) : ReadDsv7Results(bytes, filter);
        const std::optional<TStoreCount> count = store->ImportSwims(swims);
        if (!count || count->Times != Swimmers * 5)
            state.SkipWithError("not stored");
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Swimmers * 5);
}

// 2,000 swimmers, each 50 swims over two years on both courses and 10 entry times.
void BM_BestTime(benchmark::State& state) {
    QTemporaryDir folder;
    TSwimmerStore store(folder.path());
    std::mt19937 random(4711);
    std::vector<TSwim> swims;
    for (int s = 0; s < 2000; ++s) {
        for (int r = 0; r < 50; ++r) {
            TSwim swim;
            swim.Name = "Muster" + std::to_string(s) + ", Kim";
            swim.BirthYear = 2000 + s % 15;
            swim.Discipline = {Distances[r % 4], 1, static_cast<TStroke>(r % 5)};
            swim.LaneLength = r % 3 == 0 ? 50 : 25;
            swim.Date =
                std::chrono::year_month_day(std::chrono::sys_days(std::chrono::year(2025) / 1 / 1) +
                                            std::chrono::days(random() % 720));
            swim.CompName = "Meeting " + std::to_string(r);
            swim.Hundredths = 3000 + static_cast<int>(random() % 20000);
            swims.push_back(swim);
        }
    }
    store.ImportSwims(swims);
    TMeldeAustausch entries;
    entries.CompName = "Stadtmeisterschaft";
    entries.Date1 = "14.06.2026";
    entries.LaneLen = 25;
    TEventRecord event = EmptyEvent;
    event.WkNr = 1000;
    event.Name = "100m Freistil";
    entries.SetEvent(1, event);
    for (int s = 0; s < 2000; ++s) {
        TNominRecord nomin = EmptyNomin;
        nomin.Name = "Muster" + std::to_string(s) + ", Kim";
        nomin.BirthYear = 2000 + s % 15;
        nomin.WkNr = 1000;
        nomin.Time = 6000 + s;
        entries.SetNomin(s + 1, nomin);
    }
    for (int day = 1; day <= 10; ++day) {
        entries.Date1 = (day < 10 ? "0" : "") + std::to_string(day) + ".03.2026";
        store.RememberCompetition(entries);
    }
    const qint64 swimmer =
        store.FindSwimmer("Muster1234, Kim", 2000 + 1234 % 15, 0, "").Swimmer->Id;
    const TDiscipline discipline{100, 1, TStroke::Freistil};
    for (auto _ : state)
        benchmark::DoNotOptimize(store.BestTime(swimmer, discipline, 25, QDate(2026, 6, 14)));
}

} // namespace

BENCHMARK(BM_ImportResults)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BestTime)->Unit(benchmark::kMillisecond);
// Qt's SQL driver is a plug-in, loaded only with an application object.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
