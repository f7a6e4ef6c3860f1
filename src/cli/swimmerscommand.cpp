// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmerscommand.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "atomicfile.h"
#include "commands.h"
#include "conversions.h"
#include "invitation.h"
#include "meldeaustausch.h"
#include "results.h"
#include "swimmercsv.h"
#include "swimmerstore.h"
#include "windows1252.h"

namespace {

const std::string AllClubsFlag = "--alle-vereine";

// What one file brings: a swimmer list, a competition, or the swims of a result list (read
// once the own club is known).
struct ResultFile {
    std::string Path;
};
using Imported = std::variant<TCsvSwimmers, TMeldeAustausch, ResultFile>;

bool isCsvFile(const std::string& path) {
    return path.size() >= 4 &&
           EqualIgnoringCase(std::string_view(path).substr(path.size() - 4), ".csv");
}

QByteArray bytesOf(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

Imported readFile(const std::string& path) {
    if (isCsvFile(path)) {
        TCsvSwimmers list = ReadSwimmersCsv(ReadWholeFile(path));
        if (list.Failed())
            throw CliFailure(path + ": " + list.Error.toStdString() + "; nichts übernommen.");
        return list;
    }
    // Lenex and DSV files are told by their content; everything else is an exchange file.
    if (IsFormatFile(bytesOf(ReadWholeFile(path))))
        return ResultFile{path};
    TMeldeAustausch model;
    LoadExistingFile(path, model);
    return model;
}

TSwimmerStore& openStore(std::optional<TSwimmerStore>& store) {
    store.emplace();
    if (!store->Available())
        throw CliFailure(store->Problem().toStdString());
    return *store;
}

// The own club: that of the last exchange file of this call with a club name, else the one the
// store keeps.
TClubFilter clubFilter(const std::vector<Imported>& files, const TSwimmerStore& store,
                       bool allClubs) {
    TClubFilter filter;
    filter.AllClubs = allClubs;
    for (const Imported& file : files) {
        const TMeldeAustausch* model = std::get_if<TMeldeAustausch>(&file);
        if (model && !Trim(model->ClubName).empty()) {
            filter.ClubName = model->ClubName;
            filter.ClubId = model->ClubId;
        }
    }
    if (const std::optional<TClubBlock> block = store.LastClubBlock();
        block && Trim(filter.ClubName).empty()) {
        filter.ClubName = block->ClubName;
        filter.ClubId = block->ClubId;
    }
    if (!allClubs && Trim(filter.ClubName).empty() && Trim(filter.ClubId).empty())
        throw CliFailure("Der eigene Verein ist nicht bekannt (noch keine Meldung mit "
                         "Vereinsdaten gespeichert); mit " +
                         AllClubsFlag + " werden die Zeiten aller Vereine übernommen.");
    return filter;
}

// Every file is read before anything is stored, so that a bad file stores nothing; then each
// file is one transaction. Importing a file again changes nothing, so after a failure half-way
// the same call can simply be repeated.
int importFiles(std::vector<std::string> paths) {
    const auto flag = std::find(paths.begin(), paths.end(), AllClubsFlag);
    const bool allClubs = flag != paths.end();
    if (allClubs)
        paths.erase(flag);
    if (paths.empty())
        return 2;
    std::vector<Imported> files;
    for (const std::string& path : paths)
        files.push_back(readFile(path));
    std::optional<TSwimmerStore> opened;
    TSwimmerStore& store = openStore(opened);
    std::vector<std::vector<TSwim>> swims(files.size());
    bool withResults = false, withOthers = false;
    std::optional<TClubFilter> filter;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (const ResultFile* results = std::get_if<ResultFile>(&files[i])) {
            if (!filter)
                filter = clubFilter(files, store, allClubs);
            try {
                swims[i] = ReadResultFile(results->Path, *filter);
            } catch (const TInteropError& error) {
                throw CliFailure(error.Text().toStdString() + "; nichts übernommen.");
            }
            withResults = true;
        } else {
            withOthers = true;
        }
    }
    TStoreCount total;
    int swumTimes = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const TCsvSwimmers* list = std::get_if<TCsvSwimmers>(&files[i]);
        const TMeldeAustausch* model = std::get_if<TMeldeAustausch>(&files[i]);
        const std::optional<TStoreCount> count =
            list    ? store.AddSwimmers(list->Swimmers, list->HasActiveColumn)
            : model ? store.RememberCompetition(*model)
                    : store.ImportSwims(swims[i]);
        if (!count)
            throw CliFailure(paths[i] + ": " + store.Problem().toStdString() +
                             (i == 0 ? std::string(" Nichts übernommen.")
                                     : " Die Dateien davor sind übernommen."));
        total.NewSwimmers += count->NewSwimmers;
        total.UpdatedSwimmers += count->UpdatedSwimmers;
        (model || list ? total.Times : swumTimes) += count->Times;
        total.SkippedTimes += count->SkippedTimes;
    }
    std::string text = std::to_string(total.NewSwimmers) + " Schwimmer neu, " +
                       std::to_string(total.UpdatedSwimmers) + " aktualisiert";
    if (withOthers || !withResults)
        text += ", " + std::to_string(total.Times) + " Meldezeiten";
    if (withResults)
        text += ", " + std::to_string(swumTimes) + " Wettkampfzeiten";
    if (total.SkippedTimes > 0)
        text += ", " + std::to_string(total.SkippedTimes) + " Zeiten über 99:59,99 übersprungen";
    WriteToStdout(text + '\n');
    return 0;
}

std::vector<TSwimmer> allSwimmers() {
    std::optional<TSwimmerStore> opened;
    TSwimmerStore& store = openStore(opened);
    std::vector<TSwimmer> swimmers = store.AllSwimmers();
    if (!store.Problem().isEmpty())
        throw CliFailure(store.Problem().toStdString());
    return swimmers;
}

int exportFile(const std::string& path) {
    WriteFileAtomically(path, SwimmersToCsv(allSwimmers()));
    return 0;
}

int listSwimmers() {
    std::string text;
    for (const TSwimmer& swimmer : allSwimmers()) {
        text += swimmer.Name + ';' + std::to_string(swimmer.BirthYear) + ';' +
                (swimmer.Sex == 1   ? 'w'
                 : swimmer.Sex == 2 ? 'x'
                                    : 'm') +
                ';' + swimmer.RegNr + ';' + (swimmer.Active ? "ja" : "nein") + '\n';
    }
    WriteToStdout(AnsiToUtf8(text));
    return 0;
}

// One line per swimmer, discipline and lane length; `filter` keeps the swimmers whose name
// holds it, letter case ignored.
int listBestTimes(const QString& filter) {
    std::optional<TSwimmerStore> opened;
    TSwimmerStore& store = openStore(opened);
    const std::vector<TBestTime> times = store.BestTimes();
    if (!store.Problem().isEmpty())
        throw CliFailure(store.Problem().toStdString());
    std::string text;
    for (const TBestTime& best : times) {
        if (!AnsiToQString(best.Name).contains(filter, Qt::CaseInsensitive))
            continue;
        text += best.Name + ';' + std::to_string(best.BirthYear) + ';' +
                DisciplineName(best.Discipline) + ';' + std::to_string(best.LaneLength) + ';' +
                HundredthsToTimeText(best.Time.Hundredths) + ';' +
                best.Time.Date.toString(Qt::ISODate).toStdString() + ';' + best.Time.CompName +
                '\n';
    }
    WriteToStdout(AnsiToUtf8(text));
    return 0;
}

} // namespace

int RunSwimmersCommand(int& argumentCount, char** arguments) {
    // Qt's SQL drivers are plug-ins, which only an application object loads.
    QCoreApplication application(argumentCount, arguments);
    const std::vector<std::string> words(arguments + 2, arguments + argumentCount);
    if (words.size() >= 2 && words[0] == "import")
        return importFiles({words.begin() + 1, words.end()});
    if (words.size() == 2 && words[0] == "export")
        return exportFile(words[1]);
    if (words.size() == 1 && words[0] == "list")
        return listSwimmers();
    if (words.size() <= 2 && !words.empty() && words[0] == "besttimes")
        return listBestTimes(words.size() == 2 ? QString::fromLocal8Bit(words[1]) : QString());
    return 2;
}
