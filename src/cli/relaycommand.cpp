// SPDX-License-Identifier: GPL-3.0-or-later
#include "relaycommand.h"

#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "companionfile.h"
#include "conversions.h"
#include "entrycheck.h"
#include "exchangelock.h"
#include "interopfiles.h"
#include "meldeaustausch.h"
#include "relayswimmers.h"
#include "relayteams.h"
#include "swimmeridentity.h"
#include "swimmerstore.h"

namespace {

std::string utf8(const QString& text) {
    return text.toStdString();
}

std::string ansiArgument(const char* argument, const QString& what) {
    try {
        return QStringToAnsi(QString::fromLocal8Bit(argument), what);
    } catch (const TInteropError& error) {
        throw CliFailure(utf8(error.Text()));
    }
}

TCompanion loadCompanion(const std::string& file, const TMeldeAustausch& model,
                         QStringList& notes) {
    TCompanionLoad load = OnFile(file, FileUse::Read, [&] { return LoadCompanion(file, model); });
    if (!load.Problem.isEmpty())
        notes << load.Problem;
    return std::move(load.Companion);
}

std::string wkNrText(int wkNr) {
    return AnsiToUtf8(TMeldeAustausch::WkNrToText(wkNr));
}

int setLineUp(const std::string& file, const char* wkNrArgument, const char* teamArgument,
              const std::vector<const char*>& swimmerArguments) {
    TMeldeAustausch model;
    LoadExistingFile(file, model);
    QStringList notes;
    TRelayLineUp lineUp;
    lineUp.WkNr = TMeldeAustausch::TextToWkNr(ansiArgument(wkNrArgument, QStringLiteral("WKNR")));
    lineUp.Team = Trim(ansiArgument(teamArgument, QStringLiteral("TEAM")));
    if (!swimmerArguments.empty()) {
        TSwimmerStore store(TSwimmerStore::DefaultFolder(), TSwimmerStore::Access::Read);
        const std::vector<TSwimmer> stored = store.AllSwimmers();
        if (!store.Problem().isEmpty())
            throw CliFailure(utf8(store.Problem()));
        for (const char* argument : swimmerArguments) {
            const TNamedSwimmer named =
                FindNamedSwimmer(stored, ansiArgument(argument, QStringLiteral("SCHWIMMER")));
            if (!named.Swimmer)
                throw CliFailure(utf8(named.Problem) + "; nichts geschrieben");
            lineUp.Swimmers.push_back(RelaySwimmerOf(*named.Swimmer));
        }
    }
    TCompanion companion = loadCompanion(file, model, notes);
    const TInvitation invitation = KeptOrOwnInvitation(file, model, notes);
    if (const auto refusal = CheckLineUp(model, invitation, companion, lineUp))
        throw CliFailure(utf8(refusal->Message) + "; nichts geschrieben");
    SetLineUp(companion, lineUp);
    // The program holding the file open keeps a companion of its own, which it would write back.
    TExchangeLock lock(file);
    if (lock.TryLock() == TExchangeLock::Result::HeldElsewhere)
        throw CliFailure(FileText(lock.HeldElsewhereText(), file) + "; nichts geschrieben");
    const std::string companionPath = CompanionPath(file);
    OnFile(companionPath, FileUse::Write, [&] { SaveCompanion(file, model, companion, &notes); });
    PrintNotes(notes);
    WriteToStdout(file + ": Staffel „" + AnsiToUtf8(lineUp.Team) + "“ in Wettkampf " +
                  wkNrText(lineUp.WkNr) + ": " +
                  (lineUp.Swimmers.empty()
                       ? std::string("ohne Schwimmer")
                       : CountText(static_cast<long long>(lineUp.Swimmers.size()), "Schwimmer",
                                   "Schwimmer")) +
                  '\n');
    return 0;
}

std::string swimmerLine(const TRelaySwimmer& swimmer, bool stored) {
    std::string line = AnsiToUtf8(swimmer.Name) + ", Jg. " + std::to_string(swimmer.BirthYear);
    if (!StoredRegNr(swimmer.RegNr).empty())
        line += ", Reg.-Nr. " + AnsiToUtf8(StoredRegNr(swimmer.RegNr));
    if (!stored)
        line += " (nicht mehr in der Schwimmerliste)";
    return line;
}

// Each relay nomination in file order with its swimmers; line-ups whose team is gone follow.
int showLineUps(const std::string& file) {
    TMeldeAustausch model;
    LoadExistingFile(file, model);
    QStringList notes;
    const TCompanion companion = loadCompanion(file, model, notes);
    const TInvitation invitation = KeptOrOwnInvitation(file, model, notes);
    TSwimmerStore store(TSwimmerStore::DefaultFolder(), TSwimmerStore::Access::Read);
    const bool storeAnswers = store.Available() && store.Problem().isEmpty();
    const auto isStored = [&](const TRelaySwimmer& swimmer) {
        return !storeAnswers ||
               store.FindSwimmer(swimmer.Name, swimmer.BirthYear, swimmer.Sex, swimmer.RegNr)
                   .Swimmer.has_value();
    };
    std::string text;
    const auto addTeam = [&](int wkNr, const std::string& team, const TRelayLineUp* lineUp) {
        text += "Wettkampf " + wkNrText(wkNr) + " „" + AnsiToUtf8(Trim(team)) + "“";
        if (!lineUp || lineUp->Swimmers.empty()) {
            text += ": ohne Schwimmer\n";
            return;
        }
        const TInvitationEvent* host = HostEventOf(invitation, wkNr);
        if (host && !SummedAgeClasses(*host).empty()) {
            const int sum = SummedAge(lineUp->Swimmers, AgeYear(invitation));
            const TAgeGroup* group = RelayClassOf(*host, lineUp->Swimmers, AgeYear(invitation));
            text += ", Summe der Alter " + std::to_string(sum) +
                    (group ? ", Altersklasse " + std::to_string(group->MinAge) + "+"
                           : std::string(", keine Altersklasse"));
        }
        text += '\n';
        for (std::size_t leg = 0; leg < lineUp->Swimmers.size(); ++leg)
            text += "  " + std::to_string(leg + 1) + ". " +
                    swimmerLine(lineUp->Swimmers[leg], isStored(lineUp->Swimmers[leg])) + '\n';
    };
    for (int position = 1; position <= model.NominCount(); ++position) {
        const TNominRecord& nomin = model.Nomin(position);
        const int event = EventOfNomin(model, nomin.WkNr);
        if (event > 0 && model.Event(event).Staffel)
            addTeam(nomin.WkNr, nomin.Name, FindLineUp(companion, nomin.WkNr, nomin.Name));
    }
    for (const TRelayLineUp& lineUp : companion.LineUps) {
        if (FindRelayNomin(model, lineUp.WkNr, lineUp.Team) == 0) {
            text += "Wettkampf " + wkNrText(lineUp.WkNr) + " „" + AnsiToUtf8(lineUp.Team) +
                    "“: keine Staffelmeldung mehr\n";
        }
    }
    PrintNotes(notes);
    WriteToStdout(text.empty() ? std::string("Keine Staffelmeldungen\n") : text);
    return 0;
}

} // namespace

int RunRelayCommand(int argumentCount, char** arguments) {
    if (argumentCount == 4 && std::string(arguments[2]) == "show")
        return showLineUps(arguments[3]);
    if (argumentCount < 5)
        return 2;
    return setLineUp(arguments[2], arguments[3], arguments[4],
                     std::vector<const char*>(arguments + 5, arguments + argumentCount));
}
