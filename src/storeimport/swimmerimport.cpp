// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmerimport.h"

#include <QByteArray>

#include <optional>
#include <variant>

#include "atomicfile.h"
#include "conversions.h"
#include "invitation.h"
#include "meldeaustausch.h"
#include "results.h"
#include "swimmercsv.h"
#include "swimmerstore.h"
#include "windows1252.h"

namespace {

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

Imported readFile(const std::string& path, const TCompetitionLoader& loadCompetition) {
    if (isCsvFile(path)) {
        TCsvSwimmers list = ReadSwimmersCsv(ReadWholeFile(path));
        if (list.Failed())
            throw TImportFailure(path + ": " + list.Error.toStdString() + "; nichts übernommen.");
        return list;
    }
    const std::string bytes = ReadWholeFile(path);
    if (IsFormatFile(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))))
        return ResultFile{path};
    TMeldeAustausch model;
    loadCompetition(path, model);
    return model;
}

// The own club: that of the last exchange file of this import with a club name, else the one
// the store keeps.
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
        throw TOwnClubUnknown();
    return filter;
}

} // namespace

QString ImportCountText(const TImportTotal& total) {
    QString text = QStringLiteral("%1 Schwimmer neu, %2 aktualisiert")
                       .arg(total.NewSwimmers)
                       .arg(total.UpdatedSwimmers);
    if (total.WithOthers || !total.WithResults)
        text += QStringLiteral(", %1 Meldezeiten").arg(total.EnteredTimes);
    if (total.WithResults)
        text += QStringLiteral(", %1 Wettkampfzeiten").arg(total.SwumTimes);
    if (total.SkippedTimes > 0)
        text += QStringLiteral(", %1 Zeiten über 99:59,99 übersprungen").arg(total.SkippedTimes);
    if (total.RegNrConflicts > 0)
        text += total.RegNrConflicts == 1
                    ? QStringLiteral(", 1 Reg.-Nr.-Konflikt")
                    : QStringLiteral(", %1 Reg.-Nr.-Konflikte").arg(total.RegNrConflicts);
    return text;
}

TImportTotal ImportIntoStore(TSwimmerStore& store, const std::vector<std::string>& paths,
                             bool allClubs, const TCompetitionLoader& loadCompetition) {
    std::vector<Imported> files;
    for (const std::string& path : paths)
        files.push_back(readFile(path, loadCompetition));
    TImportTotal total;
    std::vector<std::vector<TSwim>> swims(files.size());
    std::optional<TClubFilter> filter;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const ResultFile* results = std::get_if<ResultFile>(&files[i]);
        if (!results) {
            total.WithOthers = true;
            continue;
        }
        if (!filter)
            filter = clubFilter(files, store, allClubs);
        try {
            swims[i] = ReadResultFile(results->Path, *filter);
        } catch (const TInteropError& error) {
            throw TImportFailure(error.Text().toStdString() + "; nichts übernommen.");
        }
        total.WithResults = true;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const TCsvSwimmers* list = std::get_if<TCsvSwimmers>(&files[i]);
        const TMeldeAustausch* model = std::get_if<TMeldeAustausch>(&files[i]);
        const std::optional<TStoreCount> count =
            list    ? store.AddSwimmers(list->Swimmers, list->HasActiveColumn)
            : model ? store.RememberCompetition(*model)
                    : store.ImportSwims(swims[i]);
        if (!count)
            throw TImportFailure(
                paths[i] + ": " + store.Problem().toStdString() +
                (i == 0 ? " Nichts übernommen." : " Die Dateien davor sind übernommen."));
        total.NewSwimmers += count->NewSwimmers;
        total.UpdatedSwimmers += count->UpdatedSwimmers;
        (model || list ? total.EnteredTimes : total.SwumTimes) += count->Times;
        total.SkippedTimes += count->SkippedTimes;
        total.RegNrConflicts += count->RegNrConflicts;
    }
    return total;
}
