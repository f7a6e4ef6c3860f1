// SPDX-License-Identifier: GPL-3.0-or-later
#include "relayswimmers.h"

#include "conversions.h"
#include "entrycheck.h"
#include "interoptext.h"
#include "relayteams.h"
#include "swimmeridentity.h"

using namespace Qt::StringLiterals;

TRelaySwimmer RelaySwimmerOf(const TSwimmer& swimmer) {
    return {swimmer.Name, swimmer.BirthYear, swimmer.Sex, swimmer.RegNr};
}

TNamedSwimmer FindNamedSwimmer(const std::vector<TSwimmer>& swimmers, std::string_view text) {
    const std::string regNr = RegNrKey(text);
    const std::string name = SwimmerNameKey(text);
    std::vector<const TSwimmer*> byNumber;
    std::vector<const TSwimmer*> byName;
    for (const TSwimmer& swimmer : swimmers) {
        if (!regNr.empty() && RegNrKey(swimmer.RegNr) == regNr)
            byNumber.push_back(&swimmer);
        if (SwimmerNameKey(swimmer.Name) == name)
            byName.push_back(&swimmer);
    }
    const std::vector<const TSwimmer*>& found = byNumber.empty() ? byName : byNumber;
    const QString quoted = u"„%1“"_s.arg(AnsiToQString(Trim(std::string(text))));
    if (found.empty())
        return {std::nullopt, u"Keinen Schwimmer %1 in der Schwimmerliste gefunden"_s.arg(quoted)};
    if (found.size() > 1)
        return {std::nullopt, u"%1 passt auf %2 Schwimmer der Schwimmerliste; bitte die "
                              u"Reg.-Nummer angeben"_s.arg(quoted)
                                  .arg(found.size())};
    return {*found.front(), {}};
}

std::optional<TStoredTime> StoredBestTime(const TSwimmerStore& store, const TMeldeAustausch& model,
                                          const TRelaySwimmer& swimmer,
                                          const TDiscipline& discipline, QDate until) {
    if (!store.Available())
        return std::nullopt;
    const auto stored =
        store.FindSwimmer(swimmer.Name, swimmer.BirthYear, swimmer.Sex, swimmer.RegNr).Swimmer;
    if (!stored || !stored->Active)
        return std::nullopt;
    return store.BestTime(stored->Id, discipline, model.LaneLen, until);
}

std::optional<int> StoredRelayTime(const TSwimmerStore& store, const TMeldeAustausch& model,
                                   const TRelayLineUp& lineUp, QDate until) {
    const int event = EventOfNomin(model, lineUp.WkNr);
    const auto relay = event == 0 ? std::nullopt : ReadDiscipline(model.Event(event).Name);
    if (!relay)
        return std::nullopt;
    return RelayTimeSuggestion(
        *relay, lineUp.Swimmers,
        [&](const TRelaySwimmer& swimmer, const TDiscipline& leg) -> std::optional<int> {
            const auto best = StoredBestTime(store, model, swimmer, leg, until);
            return best ? std::optional<int>(best->Hundredths) : std::nullopt;
        });
}
