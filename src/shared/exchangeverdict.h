// SPDX-License-Identifier: GPL-3.0-or-later
// What a file turned out to be when it was opened as an exchange file, and the German texts
// that tell the user so.
#pragma once

#include <string>
#include <string_view>

enum class TFileVerdict {
    Complete,        // the root's start line and, after it, its end line
    CutOff,          // the root's start line without an end line after it: the end is missing
    NotExchangeFile, // no root start line at all
};

// Looks at the lines of the text as the reader splits and trims them: is there a line
// "<NOMINATION>" (any letter case), and after it a line "</NOMINATION>"? One pass.
TFileVerdict JudgeExchangeText(std::string_view text);

struct TLoadReport {
    TFileVerdict Verdict = TFileVerdict::Complete;
    bool FromUtf8 = false; // the file was UTF-8 and was converted while it was read
    // When the UTF-8 file holds a character that Windows-1252 cannot: its line and the
    // character (0 for a byte sequence that is no UTF-8); nothing was read then.
    int FailedLine = 0;
    char32_t FailedCharacter = 0;
    int Nominations = 0; // read from the file

    // Whether the model holds what the file holds. A file that is no exchange file, or one
    // that could not be converted, leaves the model empty and must never be written.
    bool Loaded() const { return FailedLine == 0 && Verdict != TFileVerdict::NotExchangeFile; }
};

// The German texts about a file, in Windows-1252. "%1" stands for the file's name, which the
// caller puts in as it shows names, "%2" for the character that could not be converted.
// The text for a file that was not loaded, or that is cut off; empty for any other. The first
// is an error and ends without a full stop, as errors are shown; the second is a note.
std::string VerdictText(const TLoadReport& report);
// The note that a file was converted from UTF-8.
std::string ConvertedFromUtf8Text();
