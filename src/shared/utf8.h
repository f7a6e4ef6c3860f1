// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 at the core's edges: exchange files that another tool saved as UTF-8, recognised by
// their bytes and turned into the Windows-1252 bytes that every other part of the program works
// on; and UTF-8 for the command-line tool's output.
#pragma once

#include <string>
#include <string_view>

struct TDecodedText {
    bool FromUtf8 = false;
    // Windows-1252 bytes; empty when the UTF-8 text could not be converted.
    std::string Text;
    // When it could not: the 1-based line of the first character that Windows-1252 cannot
    // hold, and that character (0 where a byte-order mark promised UTF-8 and a byte sequence
    // is none).
    int FailedLine = 0;
    char32_t FailedCharacter = 0;
    bool Failed() const { return FailedLine > 0; }
};

// A file that starts with the UTF-8 byte-order mark, or whose bytes above 127 all form valid
// UTF-8 sequences (and there is at least one), is UTF-8 and is converted; any other file is
// Windows-1252 and comes back as it is. A Windows-1252 file with umlauts practically never
// looks like UTF-8: an umlaut's byte is followed by a letter, never by the continuation bytes
// 0x80..0xBF that UTF-8 needs. Only the bytes before a Ctrl+Z count, as for the reader.
TDecodedText DecodeFileBytes(std::string bytes);

// Appends the Windows-1252 bytes of UTF-8 text to `converted`. Returns the size of the text, or
// where the first character starts that Windows-1252 cannot hold, with that character in
// `failed` (0 for a byte sequence that is none); `converted` then holds what came before it.
std::size_t Utf8ToAnsi(std::string_view text, std::string& converted, char32_t& failed);

// Appends the UTF-8 bytes of a character.
void AppendUtf8(std::string& text, char32_t character);
