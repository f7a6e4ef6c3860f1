// SPDX-License-Identifier: GPL-3.0-or-later
// The discipline of an event, read from its name: "100m Freistil", "4x50m Lagen".
#pragma once

#include <optional>
#include <string_view>

enum class TStroke { Freistil, Brust, Ruecken, Schmetterling, Lagen };

struct TDiscipline {
    int Distance = 0;   // metres one swimmer swims
    int RelayCount = 1; // swimmers of a relay team, 1 for an individual start
    TStroke Stroke = TStroke::Freistil;

    int TotalDistance() const { return Distance * RelayCount; }
    bool operator==(const TDiscipline&) const = default;
};

// Distance, relay count and stroke of an event name (Windows-1252): the first "<n>m" or
// "<k>x<n>m" (blanks allowed, "Meter" for "m") and the first word that starts with a
// stroke ("Freistil", "Kraul", "Brust", "Rücken", "Schmetterling", "Delphin", "Lagen"),
// letter case ignored. Nothing when the name lacks either.
std::optional<TDiscipline> ReadDiscipline(std::string_view eventName);
