// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmerimport.h"

#include <QByteArray>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

#include <optional>
#include <variant>

#include "atomicfile.h"
#include "conversions.h"
#include "invitation.h"
#include "meldeaustausch.h"
#include "officialcsv.h"
#include "results.h"
#include "swimmercsv.h"
#include "swimmerstore.h"
#include "transliteration.h"
#include "windows1252.h"

using namespace Qt::StringLiterals;

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

// Another tool's UTF-8 list may hold names that Windows-1252 lacks: rewritten field by field
// before the list is read. Other bytes are left to the list reader.
std::string rewrittenCsv(std::string bytes, QStringList& notes) {
    const bool marked = bytes.starts_with("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(QByteArrayView(bytes).sliced(marked ? 3 : 0));
    if (utf8.hasError())
        return bytes;
    TTextRewrites rewrites;
    QString rewritten;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !QStringView(u";,\t\"\r\n").contains(text[i]))
            continue;
        rewritten += rewrites.Rewritten(text.sliced(from, i - from));
        if (i < text.size())
            rewritten += text[i];
        from = i + 1;
    }
    rewrites.AddNoteTo(&notes);
    return (marked ? "\xEF\xBB\xBF" : "") + rewritten.toStdString();
}

Imported readFile(const std::string& path, const TCompetitionLoader& loadCompetition,
                  QStringList& notes) {
    if (isCsvFile(path)) {
        TCsvSwimmers list = ReadSwimmersCsv(rewrittenCsv(ReadWholeFile(path), notes));
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

// The two club names of a result list closest to the own club's, for a hint when none is it.
QStringList closestClubs(const std::string& path, const TClubFilter& own) {
    TClubFilter everyClub;
    everyClub.AllClubs = true;
    QSet<QString> names;
    try {
        for (const TSwim& swim : ReadResultFile(path, everyClub))
            names.insert(AnsiToQString(Trim(swim.ClubName)));
    } catch (const TInteropError&) {
        return {}; // another club's name no table renders: no hint, the count says enough
    }
    const QString ownName = ComparableClubName(AnsiToQString(own.ClubName));
    std::vector<std::pair<int, QString>> ranked;
    for (const QString& name : names)
        ranked.emplace_back(EditDistance(ComparableClubName(name), ownName), name);
    std::sort(ranked.begin(), ranked.end());
    QStringList closest;
    for (std::size_t i = 0; i < ranked.size() && i < 2; ++i)
        closest << QStringLiteral("„%1“").arg(ranked[i].second);
    return closest;
}

} // namespace

int EditDistance(const QString& a, const QString& b) {
    std::vector<int> row(static_cast<std::size_t>(b.size()) + 1);
    for (std::size_t j = 0; j < row.size(); ++j)
        row[j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row.back();
}

QString ImportCountText(const TImportTotal& total) {
    QString text = QStringLiteral("%1 Schwimmer neu, %2 aktualisiert")
                       .arg(total.NewSwimmers)
                       .arg(total.UpdatedSwimmers);
    if (total.WithOthers || !total.WithResults)
        text += u", "_s + AnsiToQString(CountText(total.EnteredTimes, "Meldezeit", "Meldezeiten"));
    if (total.WithResults)
        text +=
            u", "_s + AnsiToQString(CountText(total.SwumTimes, "Wettkampfzeit", "Wettkampfzeiten"));
    if (total.SkippedTimes > 0)
        text += u", "_s + AnsiToQString(CountText(total.SkippedTimes, "Zeit", "Zeiten")) +
                u" über 99:59,99 übersprungen"_s;
    if (total.RegNrConflicts > 0)
        text += u", "_s + AnsiToQString(CountText(total.RegNrConflicts, "Reg.-Nr.-Konflikt",
                                                  "Reg.-Nr.-Konflikte"));
    for (const QString& file : total.ClubsNotFound)
        text += u"\n"_s + file;
    return text;
}

TImportTotal ImportIntoStore(TSwimmerStore& store, const std::vector<std::string>& paths,
                             bool allClubs, const TCompetitionLoader& loadCompetition) {
    TImportTotal total;
    std::vector<Imported> files;
    for (const std::string& path : paths)
        files.push_back(readFile(path, loadCompetition, total.Notes));
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
            swims[i] = ReadResultFile(results->Path, *filter, &total.Notes);
            if (swims[i].empty() && !allClubs) {
                const QStringList closest = closestClubs(results->Path, *filter);
                total.ClubsNotFound
                    << QString::fromLocal8Bit(results->Path) +
                           QStringLiteral(": der eigene Verein kommt nicht vor") +
                           (closest.isEmpty() ? QString()
                                              : QStringLiteral("; am ähnlichsten: ") +
                                                    closest.join(QStringLiteral(", ")));
            }
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

TListCount ImportOfficialsFile(TSwimmerStore& store, const std::string& path, QStringList& notes) {
    const TCsvOfficials list = ReadOfficialsCsv(rewrittenCsv(ReadWholeFile(path), notes));
    if (!list.Error.isEmpty())
        throw TImportFailure(path + ": " + list.Error.toStdString() + "; nichts übernommen.");
    const std::optional<TListCount> count =
        store.AddOfficials(list.Officials, list.HasSexColumn, list.HasActiveColumn);
    if (!count)
        throw TImportFailure(path + ": " + store.Problem().toStdString() + " Nichts übernommen.");
    return *count;
}

QString OfficialsCountText(const TListCount& count) {
    return QStringLiteral("%1 Kampfrichter neu, %2 geändert").arg(count.Added).arg(count.Updated);
}
