// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmerscommand.h"

#include <QCoreApplication>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "atomicfile.h"
#include "commands.h"
#include "meldeaustausch.h"
#include "swimmercsv.h"
#include "swimmerstore.h"
#include "windows1252.h"

namespace {

// What one file brings: a swimmer list or a competition.
using Imported = std::variant<TCsvSwimmers, TMeldeAustausch>;

bool isCsvFile(const std::string& path) {
    return path.size() >= 4 &&
           EqualIgnoringCase(std::string_view(path).substr(path.size() - 4), ".csv");
}

Imported readFile(const std::string& path) {
    if (isCsvFile(path)) {
        TCsvSwimmers list = ReadSwimmersCsv(ReadWholeFile(path));
        if (list.Failed())
            throw CliFailure(path + ": " + list.Error.toStdString() + "; nichts übernommen.");
        return list;
    }
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

// Every file is read before anything is stored, so that a bad file stores nothing; then each
// file is one transaction. Importing a file again changes nothing, so after a failure half-way
// the same call can simply be repeated.
int importFiles(const std::vector<std::string>& paths) {
    std::vector<Imported> files;
    for (const std::string& path : paths)
        files.push_back(readFile(path));
    std::optional<TSwimmerStore> opened;
    TSwimmerStore& store = openStore(opened);
    TStoreCount total;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const TCsvSwimmers* list = std::get_if<TCsvSwimmers>(&files[i]);
        const std::optional<TStoreCount> count =
            list ? store.AddSwimmers(list->Swimmers, list->HasActiveColumn)
                 : store.RememberCompetition(std::get<TMeldeAustausch>(files[i]));
        if (!count)
            throw CliFailure(paths[i] + ": " + store.Problem().toStdString() +
                             (i == 0 ? std::string(" Nichts übernommen.")
                                     : " Die Dateien davor sind übernommen."));
        total.NewSwimmers += count->NewSwimmers;
        total.UpdatedSwimmers += count->UpdatedSwimmers;
        total.Times += count->Times;
    }
    WriteToStdout(std::to_string(total.NewSwimmers) + " Schwimmer neu, " +
                  std::to_string(total.UpdatedSwimmers) + " aktualisiert, " +
                  std::to_string(total.Times) + " Meldezeiten\n");
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
    return 2;
}
