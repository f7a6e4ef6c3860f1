// SPDX-License-Identifier: GPL-3.0-or-later
#include "utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "windows1252.h"

namespace {
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr char EndOfFile = '\x1A';

// The length of the UTF-8 sequence at `at` and its character, or 0 for no valid sequence
// (overlong forms, surrogates and characters beyond U+10FFFF are none).
std::size_t sequenceAt(std::string_view text, std::size_t at, char32_t& character) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        smallest = 0x80;
        character = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        smallest = 0x800;
        character = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        smallest = 0x10000;
        character = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        character = (character << 6) | (byte(i) & 0x3F);
    }
    if (character < smallest || character > 0x10FFFF ||
        (character >= 0xD800 && character <= 0xDFFF))
        return 0;
    return length;
}

// The first byte from `at` on above 127, or the end; eight bytes are looked at together.
std::size_t skipAscii(std::string_view text, std::size_t at) {
    constexpr std::uint64_t highBits = 0x8080808080808080ull;
    for (std::uint64_t word = 0; at + 8 <= text.size(); at += 8) {
        std::memcpy(&word, text.data() + at, 8);
        if (word & highBits)
            break;
    }
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80)
        ++at;
    return at;
}

// Whether the text is UTF-8 by its bytes alone: at least one sequence, and no invalid one.
bool looksLikeUtf8(std::string_view text) {
    bool anySequence = false;
    for (std::size_t at = skipAscii(text, 0); at < text.size(); at = skipAscii(text, at)) {
        char32_t character = 0;
        const std::size_t length = sequenceAt(text, at, character);
        if (length == 0)
            return false;
        anySequence = true;
        at += length;
    }
    return anySequence;
}

int lineAt(std::string_view text, std::size_t at) {
    return 1 +
           static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}
} // namespace

TDecodedText DecodeFileBytes(std::string bytes) {
    TDecodedText result;
    std::string_view text(bytes);
    text = text.substr(0, text.find(EndOfFile));
    const bool marked = text.starts_with(ByteOrderMark);
    if (!marked && !looksLikeUtf8(text)) {
        result.Text = std::move(bytes);
        return result;
    }
    result.FromUtf8 = true;
    if (marked)
        text.remove_prefix(ByteOrderMark.size());
    std::string converted;
    const std::size_t failedAt = Utf8ToAnsi(text, converted, result.FailedCharacter);
    if (failedAt < text.size()) {
        result.FailedLine = lineAt(text, failedAt);
        return result;
    }
    result.Text = std::move(converted);
    return result;
}

std::size_t Utf8ToAnsi(std::string_view text, std::string& converted, char32_t& failed) {
    // Every character takes at least as many bytes in UTF-8 as in Windows-1252.
    converted.reserve(converted.size() + text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t nonAscii = skipAscii(text, at);
        converted.append(text, at, nonAscii - at);
        at = nonAscii;
        if (at == text.size())
            break;
        char32_t character = 0;
        const std::size_t length = sequenceAt(text, at, character);
        const int ansi = length == 0 ? -1 : UnicodeToAnsi(character);
        if (ansi < 0) {
            failed = length == 0 ? 0 : character;
            return at;
        }
        converted += static_cast<char>(ansi);
        at += length;
    }
    return text.size();
}

void AppendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
        return;
    }
    // Lead byte, then six bits per continuation byte.
    const int continuations = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    static constexpr unsigned char leads[] = {0, 0xC0, 0xE0, 0xF0};
    text += static_cast<char>(leads[continuations] | (c >> (6 * continuations)));
    for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6)
        text += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
}
