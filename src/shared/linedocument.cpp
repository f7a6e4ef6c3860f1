#include "linedocument.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "windows1252.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr char CtrlZ = 26;
constexpr std::size_t NoPosition = std::string_view::npos;
constexpr std::size_t BlockSize = 64;

// Bit i is set when byte i of the 64 bytes at `block` equals `c`.
std::uint64_t bytesEqual(const char* block, char c) {
#if defined(__SSE2__)
    const __m128i pattern = _mm_set1_epi8(c);
    std::uint64_t mask = 0;
    for (std::size_t part = 0; part < 4; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
        const auto bits =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, pattern)) & 0xFFFF);
        mask |= static_cast<std::uint64_t>(bits) << (16 * part);
    }
    return mask;
#else
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < BlockSize; ++i)
        mask |= static_cast<std::uint64_t>(block[i] == c) << i;
    return mask;
#endif
}

// ToUpperAnsi of every byte, looked up instead of called for each character.
const std::array<char, 256> UpperAnsi = [] {
    std::array<char, 256> table{};
    for (std::size_t c = 0; c < table.size(); ++c)
        table[c] = ToUpperAnsi(static_cast<char>(c));
    return table;
}();

char upper(char c) {
    return UpperAnsi[static_cast<unsigned char>(c)];
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return upper(x) == upper(y); });
}

std::uint64_t hashIgnoringCase(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (char c : text)
        hash = (hash ^ static_cast<unsigned char>(upper(c))) * 1099511628211ull;
    return hash;
}

bool contains(std::string_view line, std::string_view pattern) {
    return line.find(pattern) != NoPosition;
}

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// The first byte from `begin` on that is not blank, or `end`. Indented lines are the rule, so
// eight bytes at a time are looked at together.
const char* skipBlanks(const char* begin, const char* end) {
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr std::uint64_t high = 0x8080808080808080ull;
    constexpr std::uint64_t above32 = 0x5F5F5F5F5F5F5F5Full; // 0x7F - 32 in every byte
    while (end - begin >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, begin, 8);
        // The high bit of every byte above 32 (no carry crosses a byte).
        const std::uint64_t nonBlank = (((word & low7) + above32) | word) & high;
        if (nonBlank != 0) {
            const int bits = std::endian::native == std::endian::little
                                 ? std::countr_zero(nonBlank)
                                 : std::countl_zero(nonBlank);
            return begin + bits / 8;
        }
        begin += 8;
    }
    while (begin < end && isBlank(*begin))
        ++begin;
    return begin;
}

std::string_view trimmedLine(const char* begin, const char* end) {
    begin = skipBlanks(begin, end);
    while (end > begin && isBlank(end[-1]))
        --end;
    return {begin, static_cast<std::size_t>(end - begin)};
}

// Adds a "<" at `p` of `line` to the line's tag positions.
void addOpening(TagPositions& positions, std::string_view line, std::size_t p) {
    if (p + 1 < line.size() && line[p + 1] == '/') {
        if (positions.hasClose() || p >= TagPositions::None)
            positions.moreCloses = true;
        else
            positions.firstClose = static_cast<std::uint32_t>(p);
    } else if (p > 0) {
        positions.openInside = true;
    }
}

TagPositions tagPositions(std::string_view line) {
    TagPositions positions;
    for (std::size_t p = line.find('<'); p != NoPosition; p = line.find('<', p + 1))
        addOpening(positions, line, p);
    return positions;
}

// starts_with, comparing the second and the last character first: tags mostly differ there.
bool beginsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           (prefix.size() < 2 ||
            (text[1] == prefix[1] && text[prefix.size() - 1] == prefix.back())) &&
           std::memcmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// Whether `line` contains `pattern`, answered from the line's tag positions where they suffice.
bool containsTag(std::string_view line, const TagPositions& positions, std::string_view pattern) {
    if (pattern.starts_with("</")) {
        if (!positions.hasClose())
            return false;
        return positions.moreCloses ? contains(line, pattern)
                                    : beginsWith(line.substr(positions.firstClose), pattern);
    }
    if (pattern.size() >= 2 && pattern[0] == '<') // a "<" that does not begin "</"
        return beginsWith(line, pattern) || (positions.openInside && contains(line, pattern));
    return contains(line, pattern);
}

// Only lines that could equal a start tag or an end tag are indexed.
bool indexable(std::string_view line, const TagPositions& positions) {
    return line.size() >= 2 && line.front() == '<' && line.back() == '>' &&
           (!positions.hasClose() || positions.firstClose == 0);
}

// Lines looked at directly before an index is asked: enough for a file as hosts write it, where
// sections are short and the reader removes each one after reading it.
constexpr int DirectScanLines = 16;
} // namespace

TLineSplitter::TLineSplitter(const std::string& text, std::deque<std::string>& rewrittenLines)
    : bytes(text.data()), size(text.size()), rewritten(rewrittenLines) {}

// The text is read in blocks of 64 bytes; the line ends, the "<" characters and the carriage
// returns that do not end a line are found as bits of each block, so that the bytes between
// them are not looked at one by one.
bool TLineSplitter::loadBlock() {
    if (nextBlock >= size)
        return false;
    block = nextBlock;
    nextBlock += BlockSize;
    const char* at = bytes + block;
    if (size - block < BlockSize) // the last block is looked at in a copy filled up with zeros
        at = static_cast<const char*>(std::memcpy(tail.data(), at, size - block));
    std::uint64_t valid =
        size - block >= BlockSize ? ~std::uint64_t{0} : (std::uint64_t{1} << (size - block)) - 1;
    if (const std::uint64_t stops = bytesEqual(at, CtrlZ) & valid; stops != 0) {
        size = block + static_cast<std::size_t>(std::countr_zero(stops)); // Ctrl+Z ends the text
        valid &= (stops & (~stops + 1)) - 1;
    }
    newlines = bytesEqual(at, '\n') & valid;
    const std::uint64_t followedByNewline =
        (newlines >> 1) |
        (static_cast<std::uint64_t>(block + BlockSize < size && at[BlockSize] == '\n') << 63);
    returns = bytesEqual(at, '\r') & valid & ~followedByNewline;
    events = newlines | (bytesEqual(at, '<') & valid) | returns;
    return true;
}

bool TLineSplitter::Next(std::string_view& line, TagPositions& positions) {
    for (;;) {
        // The events before the block's next line end belong to the current line.
        const std::uint64_t ends = events & newlines;
        const std::uint64_t firstEnd = ends & (~ends + 1);
        const std::uint64_t inLine = events & (firstEnd - 1);
        strayReturn = strayReturn || (inLine & returns) != 0;
        for (std::uint64_t opening = inLine & ~returns; opening != 0; opening &= opening - 1) {
            if (openingCount < openings.size())
                openings[openingCount] =
                    block + static_cast<std::size_t>(std::countr_zero(opening));
            ++openingCount;
        }
        std::size_t end = size;
        if (firstEnd != 0) {
            events &= ~(inLine | firstEnd);
            end = block + static_cast<std::size_t>(std::countr_zero(firstEnd));
        } else if (loadBlock()) {
            continue;
        } else if (events = 0; lineStart >= size) {
            return false;
        }
        finishLine(end, line, positions);
        return true;
    }
}

void TLineSplitter::finishLine(std::size_t end, std::string_view& line, TagPositions& positions) {
    line = trimmedLine(bytes + lineStart, bytes + end);
    if (strayReturn || openingCount > openings.size()) {
        // Rare: the line without its carriage returns, with its "<" characters found again.
        if (strayReturn) {
            std::string& copy = rewritten.emplace_back(line);
            std::erase(copy, '\r');
            line = copy;
        }
        positions = tagPositions(line);
    } else {
        // The line's "<" characters are known: its tag positions follow from them.
        positions = {};
        for (std::size_t k = 0; k < openingCount; ++k)
            addOpening(positions, line, bytes + openings[k] - line.data());
    }
    lineStart = end + 1;
    openingCount = 0;
    strayReturn = false;
}

TLineDocument::TLineDocument(std::string fileText) : text(std::move(fileText)) {
    kept.reserve(text.size() / 16);
    positions.reserve(text.size() / 16);
    TLineSplitter lines(text, rewrittenLines);
    std::string_view line;
    TagPositions found;
    while (lines.Next(line, found)) {
        if (IsKept(line)) {
            if (kept.empty())
                allLines = {};
            kept.push_back(line);
            positions.push_back(found);
        } else if (kept.empty()) {
            allLines.push_back(line);
        }
    }
    removed.assign(kept.size(), false);
    skip.resize(kept.size());
    for (std::size_t i = 0; i < skip.size(); ++i)
        skip[i] = static_cast<int>(i) + 1;
}

int TLineDocument::NextPresent(int i) {
    // Path-compressed walk over removed lines.
    int root = i;
    while (root < Count() && removed[static_cast<std::size_t>(root)])
        root = skip[static_cast<std::size_t>(root)];
    while (i < Count() && removed[static_cast<std::size_t>(i)]) {
        const int next = skip[static_cast<std::size_t>(i)];
        skip[static_cast<std::size_t>(i)] = root;
        i = next;
    }
    return root;
}

bool TLineDocument::Listed(int i) const {
    const std::string_view line = Line(i);
    return !line.starts_with("<!") && !line.starts_with("<?") &&
           !positions[static_cast<std::size_t>(i)].hasClose();
}

bool TLineDocument::Contains(int i, std::string_view pattern) const {
    return containsTag(Line(i), positions[static_cast<std::size_t>(i)], pattern);
}

int TLineDocument::FirstEqual(std::string_view line) {
    // A section's reads and its removal ask for the same line one after the other.
    if (lastEqualLine == -2 || line != lastEqualQuery ||
        (lastEqualLine >= 0 && !present(lastEqualLine))) {
        lastEqualQuery = line;
        lastEqualLine = searchEqual(line);
    }
    return lastEqualLine;
}

int TLineDocument::searchEqual(std::string_view line) {
    if (!indexable(line, tagPositions(line))) {
        for (int i = NextPresent(0); i < Count(); i = NextPresent(i + 1)) {
            if (equalsIgnoringCase(Line(i), line))
                return i;
        }
        return -1;
    }
    buildEqualIndex();
    // The line after the latest answer is tried before the table: the reader asks for a
    // section's start, then for its end, then for the next section's start.
    const bool guessed = guess < indexed.size() && equalsIgnoringCase(Line(indexed[guess]), line);
    const int group = guessed ? groupOf[guess] : slots[slotFor(line, hashIgnoringCase(line))];
    const int found = group < 0 ? -1 : firstPresent(groups[static_cast<std::size_t>(group)]);
    if (found < 0)
        return -1;
    guess = static_cast<std::size_t>(found) + 1;
    return indexed[static_cast<std::size_t>(found)];
}

void TLineDocument::buildEqualIndex() {
    if (!slots.empty())
        return;
    for (int i = 0; i < Count(); ++i) {
        if (indexable(Line(i), positions[static_cast<std::size_t>(i)]))
            indexed.push_back(i);
    }
    slots.assign(std::bit_ceil(2 * indexed.size() + 2), -1);
    groupOf.resize(indexed.size());
    nextEqual.assign(indexed.size(), -1);
    for (std::size_t j = 0; j < indexed.size(); ++j) {
        const std::string_view line = Line(indexed[j]);
        const std::uint64_t hash = hashIgnoringCase(line);
        int& slot = slots[slotFor(line, hash)];
        if (slot < 0) {
            slot = static_cast<int>(groups.size());
            groups.push_back(EqualLines{hash, static_cast<int>(j), static_cast<int>(j)});
        } else {
            EqualLines& group = groups[static_cast<std::size_t>(slot)];
            nextEqual[static_cast<std::size_t>(group.last)] = static_cast<int>(j);
            group.last = static_cast<int>(j);
        }
        groupOf[j] = slot;
    }
}

// The slot of the group of `line` in the open-addressed table, or the free slot for it.
std::size_t TLineDocument::slotFor(std::string_view line, std::uint64_t hash) const {
    const std::size_t mask = slots.size() - 1;
    std::size_t slot = static_cast<std::size_t>(hash) & mask;
    while (slots[slot] >= 0) {
        const EqualLines& group = groups[static_cast<std::size_t>(slots[slot])];
        if (group.hash == hash &&
            equalsIgnoringCase(Line(indexed[static_cast<std::size_t>(group.last)]), line))
            break;
        slot = (slot + 1) & mask;
    }
    return slot;
}

int TLineDocument::firstPresent(EqualLines& group) {
    while (group.cursor >= 0 && !present(indexed[static_cast<std::size_t>(group.cursor)]))
        group.cursor = nextEqual[static_cast<std::size_t>(group.cursor)];
    return group.cursor;
}

void TLineDocument::FindKeyLines(int after, std::string_view endMarker,
                                 std::span<const std::string> keyTags, std::span<int> found) {
    std::fill(found.begin(), found.end(), -1);
    auto pending = static_cast<int>(keyTags.size());
    int i = NextPresent(after + 1);
    for (int steps = 0; pending > 0 && i < Count() && steps < DirectScanLines; ++steps) {
        if (Contains(i, endMarker))
            return;
        for (std::size_t k = 0; k < keyTags.size(); ++k) {
            if (found[k] < 0 && Contains(i, keyTags[k])) {
                found[k] = i;
                --pending;
            }
        }
        i = NextPresent(i + 1);
    }
    if (pending == 0 || i >= Count())
        return;
    const int markerLine = patternLines(std::string(endMarker)).firstAfter(i - 1, *this);
    for (std::size_t k = 0; k < keyTags.size(); ++k) {
        if (found[k] >= 0)
            continue;
        const int keyLine = patternLines(keyTags[k]).firstAfter(i - 1, *this);
        if (keyLine < markerLine)
            found[k] = keyLine;
    }
}

void TLineDocument::Remove(int first, int last) {
    for (int i = NextPresent(first); i <= last && i < Count(); i = NextPresent(i + 1)) {
        removed[static_cast<std::size_t>(i)] = true;
        skip[static_cast<std::size_t>(i)] = i + 1;
    }
}

int TLineDocument::PatternLines::firstAfter(int after, const TLineDocument& document) {
    auto position =
        static_cast<int>(std::upper_bound(lines.begin(), lines.end(), after) - lines.begin());
    int root = position;
    while (root < static_cast<int>(lines.size()) &&
           !document.present(lines[static_cast<std::size_t>(root)]))
        root = skip[static_cast<std::size_t>(root)];
    while (position < root) {
        const int next = skip[static_cast<std::size_t>(position)];
        skip[static_cast<std::size_t>(position)] = root;
        position = next;
    }
    return root < static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(root)]
                                                 : document.Count();
}

TLineDocument::PatternLines& TLineDocument::patternLines(const std::string& pattern) {
    auto [entry, inserted] = patterns.try_emplace(pattern);
    PatternLines& result = entry->second;
    if (!inserted)
        return result;
    // An end marker of a section without blank and without "</" after its start is looked up
    // among the lines' "</" texts, so that many sections with their own markers do not each
    // cost a pass over the document.
    const std::string_view rest =
        std::string_view(pattern).substr(std::min<std::size_t>(2, pattern.size()));
    if (pattern.starts_with("</") && !contains(rest, " ") && !contains(rest, "</")) {
        buildCloseTexts();
        for (auto at = std::lower_bound(closeTexts.begin(), closeTexts.end(),
                                        std::pair<std::string_view, int>(rest, -1));
             at != closeTexts.end() && at->first.starts_with(rest); ++at)
            result.lines.push_back(at->second);
        std::sort(result.lines.begin(), result.lines.end());
        result.lines.erase(std::unique(result.lines.begin(), result.lines.end()),
                           result.lines.end());
    } else {
        for (int i = 0; i < Count(); ++i) {
            if (Contains(i, pattern))
                result.lines.push_back(i);
        }
    }
    result.skip.resize(result.lines.size());
    for (std::size_t j = 0; j < result.skip.size(); ++j)
        result.skip[j] = static_cast<int>(j) + 1;
    return result;
}

// For every "</" of every kept line, the text after it up to the first blank or up to and
// including the "<" of the next "</", sorted. A line contains "</" + X, for an X without blank
// and without "</", exactly when one of its texts begins with X.
void TLineDocument::buildCloseTexts() {
    if (closeTextsBuilt)
        return;
    closeTextsBuilt = true;
    for (int i = 0; i < Count(); ++i) {
        const std::string_view line = Line(i);
        std::size_t blank = 0;
        std::size_t next = NoPosition;
        for (std::size_t at = positions[static_cast<std::size_t>(i)].hasClose() ? line.find("</")
                                                                                : NoPosition;
             at != NoPosition; at = next) {
            const std::size_t from = at + 2;
            next = line.find("</", from);
            if (blank < from)
                blank = std::min(line.find(' ', from), line.size());
            const std::size_t to = std::min(blank, next == NoPosition ? line.size() : next + 1);
            closeTexts.emplace_back(line.substr(from, to - from), i);
        }
    }
    std::sort(closeTexts.begin(), closeTexts.end());
}
