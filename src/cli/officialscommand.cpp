// SPDX-License-Identifier: GPL-3.0-or-later
#include "officialscommand.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "atomicfile.h"
#include "commands.h"
#include "companionfile.h"
#include "conversions.h"
#include "exchangelock.h"
#include "germanorder.h"
#include "interoptext.h"
#include "meldeaustausch.h"
#include "officialcsv.h"
#include "officialnomination.h"
#include "storeaccess.h"
#include "swimmeridentity.h"
#include "swimmerimport.h"
#include "windows1252.h"

namespace {

const std::string Withdraw = "--entfernen";

// A name or number the caller typed, as the store keeps texts.
std::string ansiArgument(const std::string& argument) {
    try {
        return QStringToAnsi(QString::fromLocal8Bit(argument),
                             QStringLiteral("„%1“").arg(QString::fromLocal8Bit(argument)));
    } catch (const TInteropError& error) {
        throw CliFailure(error.Text().toStdString());
    }
}

std::vector<TOfficial> allOfficials() {
    std::optional<TSwimmerStore> opened;
    const TSwimmerStore& store = OpenStoreToRead(opened);
    std::vector<TOfficial> officials = Answered(store, store.AllOfficials());
    SortByGermanName(officials);
    return officials;
}

int importFile(const std::string& path) {
    CheckFilePath(path, FileUse::Read);
    std::optional<TSwimmerStore> opened;
    TSwimmerStore& store = OpenStore(opened);
    QStringList notes;
    try {
        const TListCount count = ImportOfficialsFile(store, path, notes);
        WriteToStdout(OfficialsCountText(count).toStdString() + ".\n");
    } catch (const TImportFailure& failure) {
        throw CliFailure(failure.what());
    }
    PrintNotes(notes);
    return 0;
}

int exportFile(const std::string& path) {
    const std::string csv = OfficialsToCsv(allOfficials());
    OnFile(path, FileUse::Write, [&] { WriteFileAtomically(path, csv); });
    return 0;
}

int listOfficials() {
    std::string text;
    for (const TOfficial& official : allOfficials())
        text += official.Name + ';' + official.Number + ';' + official.Group + ';' + official.Sex +
                ';' + (official.Active ? "ja" : "nein") + '\n';
    WriteToStdout(AnsiToUtf8(text));
    return 0;
}

int listTrainers() {
    std::optional<TSwimmerStore> opened;
    const TSwimmerStore& store = OpenStoreToRead(opened);
    std::vector<TTrainer> trainers = Answered(store, store.AllTrainers());
    SortByGermanName(trainers);
    std::string text;
    for (const TTrainer& trainer : trainers)
        text += trainer.Name + ';' + trainer.Sex + '\n';
    WriteToStdout(AnsiToUtf8(text));
    return 0;
}

int addTrainer(const std::string& name, const std::string& sex) {
    TTrainer trainer{0, ansiArgument(name), ansiArgument(sex)};
    for (char& c : trainer.Sex)
        c = ToUpperAnsi(c);
    std::optional<TSwimmerStore> opened;
    TSwimmerStore& store = OpenStore(opened);
    if (!store.SaveTrainer(trainer))
        throw CliFailure(store.Problem().toStdString());
    WriteToStdout(AnsiToUtf8(trainer.Name) + " ist in der Trainerliste.\n");
    return 0;
}

// The competition's companion, said once when the one on disk cannot be used (SaveCompanion
// keeps that one aside).
struct Competition {
    TMeldeAustausch Model;
    TCompanion Companion;

    explicit Competition(const std::string& file) {
        LoadExistingFile(file, Model);
        const TCompanionLoad load = LoadCompanion(file, Model);
        PrintNotes(load.Problem.isEmpty() ? QStringList() : QStringList{load.Problem});
        Companion = load.Companion;
    }
    // Not while a program has the competition open: its window would write its own.
    void Save(const std::string& file) const {
        TExchangeLock lock(file);
        if (lock.TryLock() == TExchangeLock::Result::HeldElsewhere)
            throw CliFailure(FileText(lock.HeldElsewhereText(), file) + "; nichts geändert");
        QStringList notes;
        OnFile(CompanionPath(file), FileUse::Write,
               [&] { SaveCompanion(file, Model, Companion, &notes); });
        PrintNotes(notes);
    }
};

// "1,3" as section numbers.
std::vector<int> sectionsOf(const std::string& text) {
    std::vector<int> sections;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        int section = 0;
        if (!ConvertsAsInteger(Trim(text.substr(start, comma - start)), section))
            throw CliFailure("Abschnitte „" + text + "“: Nummern durch Komma getrennt, etwa 1,3");
        sections.push_back(section);
        start = comma + 1;
    }
    return sections;
}

std::string listed(const std::vector<TOfficialSection>& sections) {
    std::string text = sections.size() == 1 ? "Abschnitt " : "Abschnitte ";
    for (std::size_t i = 0; i < sections.size(); ++i)
        text += (i ? ", " : "") + std::to_string(sections[i].Section);
    return text;
}

// `nominate FILE NAME --abschnitte 1,3 [--einsatz ZN]`, or `nominate FILE NAME --entfernen`.
int nominate(const std::vector<std::string>& words) {
    const std::string& file = words[1];
    const std::string name = ansiArgument(words[2]);
    Competition competition(file);
    if (words.size() == 4 && words[3] == Withdraw) {
        const std::optional<std::string> withdrawn = WithdrawOfficial(competition.Companion, name);
        if (!withdrawn)
            throw CliFailure(AnsiToUtf8(name) + " ist für diesen Wettkampf nicht gemeldet.");
        competition.Save(file);
        WriteToStdout(AnsiToUtf8(*withdrawn + " ist nicht mehr gemeldet.\n"));
        return 0;
    }
    std::string position;
    if (words.size() == 7 && words[5] == "--einsatz")
        position = ansiArgument(words[6]);
    else if (words.size() != 5)
        return 2;
    if (words[3] != "--abschnitte")
        return 2;
    std::optional<TSwimmerStore> opened;
    const TSwimmerStore& store = OpenStoreToRead(opened);
    const std::optional<TOfficial> official = Answered(store, store.FindOfficial(name));
    if (!official)
        throw CliFailure("„" + AnsiToUtf8(name) +
                         "“ ist weder Name noch Nummer eines Kampfrichters der Kampfrichterliste; "
                         "nichts geändert.");
    for (char& c : position)
        c = ToUpperAnsi(c);
    const QString refusal = NominateOfficial(competition.Companion, competition.Model, *official,
                                             sectionsOf(words[4]), position);
    if (!refusal.isEmpty())
        throw CliFailure(refusal.toStdString() + "; nichts geändert.");
    competition.Save(file);
    const auto nominated = std::find_if(
        competition.Companion.Officials.begin(), competition.Companion.Officials.end(),
        [&](const TNominatedOfficial& each) { return NamesOfficial(each, *official); });
    WriteToStdout(
        AnsiToUtf8(official->Name + " f\xFCr " + listed(nominated->Sections) + " gemeldet.\n"));
    return 0;
}

int show(const std::string& file) {
    const Competition competition(file);
    std::optional<TSwimmerStore> opened;
    const TSwimmerStore& store = OpenStoreToRead(opened);
    const std::vector<TOfficial> stored = Answered(store, store.AllOfficials());
    std::string text;
    for (const TNominatedOfficial& nominated : competition.Companion.Officials)
        text += NominationText(nominated, stored) + '\n';
    if (competition.Companion.Officials.empty())
        text += "Keine Kampfrichter gemeldet.\n";
    for (const TNamedTrainer& trainer : competition.Companion.Trainers)
        text += "Trainer: " + trainer.Name + '\n';
    WriteToStdout(AnsiToUtf8(text));
    return 0;
}

// `trainer FILE NAME` names a stored trainer for the competition; `trainer FILE --entfernen`
// names none.
int nameTrainer(const std::string& file, const std::string& argument) {
    Competition competition(file);
    if (argument == Withdraw) {
        competition.Companion.Trainers.clear();
        competition.Save(file);
        WriteToStdout("Kein Trainer genannt.\n");
        return 0;
    }
    const std::string name = NormalizedSwimmerName(ansiArgument(argument));
    std::optional<TSwimmerStore> opened;
    const TSwimmerStore& store = OpenStoreToRead(opened);
    const std::vector<TTrainer> trainers = Answered(store, store.AllTrainers());
    const auto trainer = std::find_if(trainers.begin(), trainers.end(), [&](const TTrainer& each) {
        return SwimmerNameKey(each.Name) == SwimmerNameKey(name);
    });
    if (trainer == trainers.end())
        throw CliFailure("„" + AnsiToUtf8(name) +
                         "“ ist nicht in der Trainerliste; nichts geändert.");
    NameTrainer(competition.Companion, *trainer);
    competition.Save(file);
    WriteToStdout(AnsiToUtf8(trainer->Name) + " ist Trainer für diesen Wettkampf.\n");
    return 0;
}

} // namespace

int RunOfficialsCommand(int& argumentCount, char** arguments) {
    // Qt's SQL drivers are plug-ins, which only an application object loads.
    QCoreApplication application(argumentCount, arguments);
    const std::vector<std::string> words(arguments + 2, arguments + argumentCount);
    const std::string verb = words.empty() ? std::string() : words[0];
    if (words.size() == 2 && verb == "import")
        return importFile(words[1]);
    if (words.size() == 2 && verb == "export")
        return exportFile(words[1]);
    if (words.size() == 1 && verb == "list")
        return listOfficials();
    if (words.size() >= 4 && verb == "nominate")
        return nominate(words);
    if (words.size() == 2 && verb == "show")
        return show(words[1]);
    if (words.size() == 3 && verb == "trainer")
        return nameTrainer(words[1], words[2]);
    if (words.size() == 1 && verb == "trainers")
        return listTrainers();
    if ((words.size() == 3 || words.size() == 4) && verb == "trainers" && words[1] == "add")
        return addTrainer(words[2], words.size() == 4 ? words[3] : std::string());
    return 2;
}
