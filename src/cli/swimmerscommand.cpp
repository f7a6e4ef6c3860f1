// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmerscommand.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "atomicfile.h"
#include "commands.h"
#include "conversions.h"
#include "invitation.h"
#include "meldeaustausch.h"
#include "storeaccess.h"
#include "swimmercsv.h"
#include "swimmerimport.h"
#include "swimmerstore.h"
#include "windows1252.h"

namespace {

const std::string AllClubsFlag = "--alle-vereine";

// Reads every file before storing anything; see ImportIntoStore.
int importFiles(std::vector<std::string> paths) {
    const auto flag = std::find(paths.begin(), paths.end(), AllClubsFlag);
    const bool allClubs = flag != paths.end();
    if (allClubs)
        paths.erase(flag);
    if (paths.empty())
        return 2;
    for (const std::string& path : paths)
        CheckFilePath(path, FileUse::Read);
    std::optional<TSwimmerStore> opened;
    TSwimmerStore& store = OpenStore(opened);
    try {
        const TImportTotal total = ImportIntoStore(
            store, paths, allClubs,
            [](const std::string& path, TMeldeAustausch& model) { LoadExistingFile(path, model); });
        WriteToStdout(ImportCountText(total).toStdString() + '\n');
        PrintNotes(total.Notes);
    } catch (const TOwnClubUnknown& failure) {
        throw CliFailure(std::string(failure.what()) + " Mit " + AllClubsFlag +
                         " werden die Zeiten aller Vereine übernommen.");
    } catch (const TImportFailure& failure) {
        throw CliFailure(failure.what());
    }
    return 0;
}

std::vector<TSwimmer> allSwimmers() {
    std::optional<TSwimmerStore> opened;
    const TSwimmerStore& store = OpenStoreToRead(opened);
    return Answered(store, store.AllSwimmers());
}

// "Meier, Anna;2012;w;4711;ja", Windows-1252.
std::string swimmerLine(const TSwimmer& swimmer) {
    return swimmer.Name + ';' + std::to_string(swimmer.BirthYear) + ';' +
           (swimmer.Sex == 1   ? 'w'
            : swimmer.Sex == 2 ? 'x'
                               : 'm') +
           ';' + swimmer.RegNr + ';' + (swimmer.Active ? "ja" : "nein");
}

std::string counted(int count, const char* one, const char* many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

int exportFile(const std::string& path) {
    const std::string csv = SwimmersToCsv(allSwimmers());
    OnFile(path, FileUse::Write, [&] { WriteFileAtomically(path, csv); });
    return 0;
}

int listSwimmers() {
    std::string text;
    for (const TSwimmer& swimmer : allSwimmers())
        text += swimmerLine(swimmer) + '\n';
    WriteToStdout(AnsiToUtf8(text));
    return 0;
}

// Stored swimmers that count as one person, each group once with what each record has; exit
// 1 when there are any, so that scripts notice.
int checkSwimmers() {
    std::optional<TSwimmerStore> opened;
    const TSwimmerStore& store = OpenStoreToRead(opened);
    const auto groups = Answered(store, store.Duplicates());
    if (groups.empty()) {
        WriteToStdout("Keine Schwimmer doppelt gespeichert.\n");
        return 0;
    }
    std::string text;
    for (const auto& group : groups) {
        text += "Wohl dieselbe Person (im Fenster \x84Schwimmer\x93 zusammenf\xFChren):\n";
        for (const TDuplicateSwimmer& each : group)
            text += "  " + swimmerLine(each.Swimmer) + ';' +
                    counted(each.EnteredTimes, "Meldezeit", "Meldezeiten") + ';' +
                    counted(each.SwumTimes, "Wettkampfzeit", "Wettkampfzeiten") + '\n';
    }
    WriteToStdout(AnsiToUtf8(text));
    return 1;
}

// One line per swimmer, discipline and lane length; `filter` keeps the swimmers whose name
// holds it, letter case ignored.
int listBestTimes(const std::optional<QString>& filter) {
    std::optional<TSwimmerStore> opened;
    const TSwimmerStore& store = OpenStoreToRead(opened);
    std::string part;
    for (char32_t character : filter.value_or(QString()).toUcs4()) {
        const int byte = UnicodeToAnsi(character);
        if (byte < 0)
            return 0; // no stored name holds it
        part += static_cast<char>(byte);
    }
    const std::vector<TBestTime> times =
        Answered(store, filter ? store.BestTimesOfName(part) : store.BestTimes());
    std::string text;
    for (const TBestTime& best : times) {
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
    if (words.size() == 1 && words[0] == "check")
        return checkSwimmers();
    if (words.size() <= 2 && !words.empty() && words[0] == "besttimes")
        return listBestTimes(words.size() == 2 ? std::optional(QString::fromLocal8Bit(words[1]))
                                               : std::nullopt);
    return 2;
}
