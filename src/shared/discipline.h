// SPDX-License-Identifier: GPL-3.0-or-later
// The discipline of an event, read from its name: "100m Freistil", "4x50m Lagen".
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class TStroke { Freistil, Brust, Ruecken, Schmetterling, Lagen };
// A part of the stroke swum alone ("50m Freistil Beine"); None is the whole stroke.
enum class TTechnique { None, Kick, Pull, Start, Turn, Glide, Dive, Other };

struct TDiscipline {
    int Distance = 0;   // metres one swimmer swims
    int RelayCount = 1; // swimmers of a relay team, 1 for an individual start
    TStroke Stroke = TStroke::Freistil;
    TTechnique Technique = TTechnique::None;

    int TotalDistance() const { return Distance * RelayCount; }
    bool operator==(const TDiscipline&) const = default;
};

// Distance, relay count and stroke of an event name (Windows-1252): the first "<n>m" or
// "<k>x<n>m" (blanks allowed, "Meter" for "m") and the first word that starts with a
// stroke ("Freistil", "Kraul", "Brust", "Rücken", "Schmetterling", "Delphin", "Lagen"),
// letter case ignored, and the technique word standing on its own ("Beine"). Nothing when the
// name lacks distance or stroke.
std::optional<TDiscipline> ReadDiscipline(std::string_view eventName);

// The word of a technique in event names ("Beine", "Sonderform"), empty for None.
std::string_view TechniqueWord(TTechnique technique);
// The technique whose word stands as a word of its own in the name, letter case ignored.
TTechnique ReadTechnique(std::string_view eventName);
// "100m Freistil", "4x50m Lagen", "50m Freistil Beine" (Windows-1252).
std::string DisciplineName(const TDiscipline& discipline);
