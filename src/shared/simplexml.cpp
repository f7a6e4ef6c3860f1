#include "simplexml.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

#include "common.h"
#include "ioerror.h"

namespace {
constexpr char CtrlZ = 26;
constexpr std::size_t NoPosition = std::string_view::npos;

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

// out := a + b + c, reusing the capacity of `out`.
void compose(std::string& out, std::string_view a, std::string_view b, std::string_view c) {
    out.resize(a.size() + b.size() + c.size());
    char* at = out.data();
    for (std::string_view piece : {a, b, c}) {
        std::memcpy(at, piece.data(), piece.size());
        at += piece.size();
    }
}

bool contains(std::string_view line, std::string_view pattern) {
    return line.find(pattern) != NoPosition;
}

bool startsComment(std::string_view line) {
    return line.starts_with("<!");
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

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

// The part of `line` after the first `keyTag`, as long as the line minus the key's start and
// end tags ("<KEY>" and "</KEY>", one character longer).
std::string cutValue(std::string_view line, std::string_view keyTag) {
    const std::size_t start = line.find(keyTag) + keyTag.size();
    const long long count =
        static_cast<long long>(line.size()) - static_cast<long long>(2 * keyTag.size() + 1);
    if (count <= 0 || start >= line.size())
        return {};
    return std::string(line.substr(start, static_cast<std::size_t>(count)));
}

// Whole-line text that ends the section: "</EVENT>" for EVENT id=3.
void composeSectionEndLine(std::string& endLine, const std::string& section) {
    compose(endLine, "</", section, ">");
    const std::size_t blank = endLine.find(' ');
    const std::size_t close = endLine.find('>');
    if (blank != std::string::npos && close > blank)
        endLine.erase(blank, close - blank);
}

// The text between the first "<" and the first ">" (positions as the 1-based original).
std::string elementName(std::string_view line) {
    const std::size_t open = line.find('<');
    const std::size_t close = line.find('>');
    const long long openPos = open == NoPosition ? 0 : static_cast<long long>(open) + 1;
    const long long closePos = close == NoPosition ? 0 : static_cast<long long>(close) + 1;
    const long long length = closePos - openPos - 1;
    if (length <= 0)
        return {};
    return std::string(
        line.substr(static_cast<std::size_t>(openPos), static_cast<std::size_t>(length)));
}

// Where a line has its "<" characters: enough to decide most "contains" questions about tags
// with one comparison.
struct TagPositions {
    static constexpr std::uint32_t None = UINT32_MAX;
    std::uint32_t firstClose = None; // the first "</" (a position beyond counts as a second)
    bool moreCloses = false;         // a second "</"
    bool openInside = false;         // a "<" after the first character, not followed by "/"
    bool hasClose() const { return firstClose != None || moreCloses; }
};

TagPositions tagPositions(std::string_view line) {
    TagPositions positions;
    for (std::size_t p = 0; p < line.size(); ++p) {
        if (line[p] != '<')
            continue;
        if (p + 1 < line.size() && line[p + 1] == '/') {
            if (positions.hasClose() || p >= TagPositions::None)
                positions.moreCloses = true;
            else
                positions.firstClose = static_cast<std::uint32_t>(p);
        } else if (p > 0) {
            positions.openInside = true;
        }
    }
    return positions;
}

// starts_with, comparing the last character first: tags of the same length mostly differ there.
bool beginsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           (prefix.empty() || text[prefix.size() - 1] == prefix.back()) &&
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
} // namespace

// The loaded document: the kept lines of the file (or, when none is kept, all its lines) as
// pieces of the file's text, with indexes built on first use so that every lookup and removal
// stays cheap however large and however malformed the file is.
class TSimpleXml::Document {
public:
    explicit Document(std::string fileText) : text(std::move(fileText)) { splitLines(); }

    // Trimmed lines of the whole file, held only while no line is kept: then reads go to them.
    std::vector<std::string_view> allLines;
    // The lines of at least two characters whose second is not "!".
    std::vector<std::string_view> kept;
    // The texts of the current lookup, reused so that a read allocates nothing.
    std::string lookupSection, sectionTag, keyTag, marker;
    // The start and end lines of the section being removed.
    std::string startLine, endLine;

    void setLookup(const std::string& section, const std::string& key) {
        if (section != lookupSection || sectionTag.empty()) {
            lookupSection = section;
            compose(sectionTag, "<", section, ">");
            // "</EVENT" for the section EVENT id=3, "</COMPETITION>" for COMPETITION.
            const std::string_view beforeBlank =
                std::string_view(sectionTag).substr(1, sectionTag.find(' ') - 1);
            compose(marker, "</", beforeBlank, "");
        }
        compose(keyTag, "<", key, ">");
    }

    int keptCount() const { return static_cast<int>(kept.size()); }
    bool alive(int i) const { return !removed[static_cast<std::size_t>(i)]; }

    bool keptContains(int i, std::string_view pattern) const {
        const auto index = static_cast<std::size_t>(i);
        return containsTag(kept[index], positions[index], pattern);
    }

    bool listedAsElement(int i) const {
        const std::string_view line = kept[static_cast<std::size_t>(i)];
        return !startsComment(line) && !line.starts_with("<?") &&
               !positions[static_cast<std::size_t>(i)].hasClose();
    }

    // First present kept line equal to `line` ignoring case, or -1.
    int firstEqual(const std::string& line) {
        // A section's reads and its removal ask for the same line one after the other.
        if (lastEqualLine == NotLookedUp || line != lastEqualQuery ||
            (lastEqualLine >= 0 && !alive(lastEqualLine))) {
            lastEqualQuery = line;
            lastEqualLine = searchEqual(line);
        }
        return lastEqualLine;
    }

    // The first present kept line after `after` that contains `endMarker` (the section ended,
    // -1) or `key` (its index), whichever comes first; -1 at the end.
    int findKeyLine(int after, const std::string& endMarker, const std::string& key) {
        // Sections are short in real files: look at a few lines directly first.
        int i = nextAlive(after + 1);
        for (int steps = 0; i < keptCount() && steps < DirectScanLines; ++steps) {
            if (keptContains(i, endMarker))
                return -1;
            if (keptContains(i, key))
                return i;
            i = nextAlive(i + 1);
        }
        if (i >= keptCount())
            return -1;
        const int keyLine = patternLines(key).firstAfter(i - 1, *this);
        if (keyLine >= keptCount())
            return -1;
        const int markerLine = patternLines(endMarker).firstAfter(i - 1, *this);
        return keyLine < markerLine ? keyLine : -1;
    }

    void removeRange(int first, int last) {
        for (int i = nextAlive(first); i <= last && i < keptCount(); i = nextAlive(i + 1)) {
            removed[static_cast<std::size_t>(i)] = true;
            skip[static_cast<std::size_t>(i)] = i + 1;
        }
    }

    int nextAlive(int i) {
        // Path-compressed walk over removed lines.
        int root = i;
        while (root < keptCount() && removed[static_cast<std::size_t>(root)])
            root = skip[static_cast<std::size_t>(root)];
        while (i < keptCount() && removed[static_cast<std::size_t>(i)]) {
            const int next = skip[static_cast<std::size_t>(i)];
            skip[static_cast<std::size_t>(i)] = root;
            i = next;
        }
        return root;
    }

private:
    static constexpr int DirectScanLines = 16;
    static constexpr int NotLookedUp = -2;

    // Kept lines containing one pattern, with removed ones skipped on the way.
    struct PatternLines {
        std::vector<int> lines;
        std::vector<int> skip;

        int firstAfter(int after, const Document& document) {
            auto position = static_cast<int>(std::upper_bound(lines.begin(), lines.end(), after) -
                                             lines.begin());
            int root = position;
            while (root < static_cast<int>(lines.size()) &&
                   !document.alive(lines[static_cast<std::size_t>(root)]))
                root = skip[static_cast<std::size_t>(root)];
            while (position < root) {
                const int next = skip[static_cast<std::size_t>(position)];
                skip[static_cast<std::size_t>(position)] = root;
                position = next;
            }
            return root < static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(root)]
                                                         : document.keptCount();
        }
    };

    // Kept lines that are equal ignoring case, in file order, with the first one not yet
    // found removed.
    struct EqualLines {
        std::uint64_t hash;
        int first;
        int last;
        int cursor;
    };

    // Only lines that could equal a start tag or an end tag are indexed.
    static bool indexable(std::string_view line, const TagPositions& positions) {
        return line.size() >= 2 && line.front() == '<' && line.back() == '>' &&
               (!positions.hasClose() || positions.firstClose == 0);
    }

    int searchEqual(const std::string& line) {
        if (!indexable(line, tagPositions(line))) {
            for (int i = nextAlive(0); i < keptCount(); i = nextAlive(i + 1)) {
                if (equalsIgnoringCase(kept[static_cast<std::size_t>(i)], line))
                    return i;
            }
            return -1;
        }
        if (slots.empty()) {
            slots.assign(std::bit_ceil(2 * indexableLines + 2), -1);
            nextEqual.assign(kept.size(), -1);
        }
        const std::uint64_t hash = hashIgnoringCase(line);
        if (const int group = slots[slotFor(line, hash)]; group >= 0) {
            if (const int found = firstPresent(groups[static_cast<std::size_t>(group)]); found >= 0)
                return found;
        }
        // No present line among those indexed so far: index on until it turns up. Readers
        // ask in file order, so the index grows just ahead of them.
        while (indexedUpTo < keptCount()) {
            const int i = indexedUpTo++;
            const std::string_view candidate = kept[static_cast<std::size_t>(i)];
            if (indexable(candidate, positions[static_cast<std::size_t>(i)]) &&
                index(i).hash == hash && alive(i) && equalsIgnoringCase(candidate, line))
                return i;
        }
        return -1;
    }

    int firstPresent(EqualLines& group) {
        while (group.cursor >= 0 && !alive(group.cursor))
            group.cursor = nextEqual[static_cast<std::size_t>(group.cursor)];
        return group.cursor;
    }

    // The slot of the group of `line` in the open-addressed table, or the free slot for it.
    std::size_t slotFor(std::string_view line, std::uint64_t hash) const {
        const std::size_t mask = slots.size() - 1;
        std::size_t slot = static_cast<std::size_t>(hash) & mask;
        while (slots[slot] >= 0) {
            const EqualLines& group = groups[static_cast<std::size_t>(slots[slot])];
            if (group.hash == hash &&
                equalsIgnoringCase(kept[static_cast<std::size_t>(group.first)], line))
                break;
            slot = (slot + 1) & mask;
        }
        return slot;
    }

    // Adds kept line i, indexable and behind every indexed line, to its group.
    EqualLines& index(int i) {
        const std::string_view line = kept[static_cast<std::size_t>(i)];
        const std::uint64_t hash = hashIgnoringCase(line);
        int& slot = slots[slotFor(line, hash)];
        if (slot < 0) {
            slot = static_cast<int>(groups.size());
            return groups.emplace_back(EqualLines{hash, i, i, i});
        }
        EqualLines& group = groups[static_cast<std::size_t>(slot)];
        nextEqual[static_cast<std::size_t>(group.last)] = i;
        group.last = i;
        if (group.cursor < 0)
            group.cursor = i;
        return group;
    }

    PatternLines& patternLines(const std::string& pattern) {
        auto [entry, inserted] = patterns.try_emplace(pattern);
        PatternLines& result = entry->second;
        if (inserted) {
            // An end marker of a section without blank and without "</" after its start is
            // looked up among the line's "</" texts, so that many sections with their own
            // markers do not each cost a pass over the document.
            const std::string_view rest = std::string_view(pattern).substr(2);
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
                for (int i = 0; i < keptCount(); ++i) {
                    if (keptContains(i, pattern))
                        result.lines.push_back(i);
                }
            }
            result.skip.resize(result.lines.size());
            for (std::size_t j = 0; j < result.skip.size(); ++j)
                result.skip[j] = static_cast<int>(j) + 1;
        }
        return result;
    }

    // For every "</" of every kept line, the text after it up to the first blank or up to and
    // including the "<" of the next "</", sorted. A line contains "</" + X, for an X without
    // blank and without "</", exactly when one of its texts begins with X.
    void buildCloseTexts() {
        if (closeTextsBuilt)
            return;
        closeTextsBuilt = true;
        for (int i = 0; i < keptCount(); ++i) {
            const std::string_view line = kept[static_cast<std::size_t>(i)];
            std::size_t blank = 0;
            std::size_t next = NoPosition;
            for (std::size_t at = positions[static_cast<std::size_t>(i)].hasClose()
                                      ? line.find("</")
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

    // A line ends at LF or CR LF; a lone CR is dropped; Ctrl+Z ends the file.
    void splitLines() {
        text.resize(std::min(text.find(CtrlZ), text.size()));
        kept.reserve(text.size() / 16);
        positions.reserve(text.size() / 16);
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            addLine(trimmed(std::string_view(text).substr(start, end - start)));
            start = end + 1;
        }
        removed.assign(kept.size(), false);
        skip.resize(kept.size());
        for (std::size_t i = 0; i < skip.size(); ++i)
            skip[i] = static_cast<int>(i) + 1;
    }

    void addLine(std::string_view line) {
        // Carriage returns at the ends are trimmed already; one inside the line is dropped.
        if (contains(line, "\r")) {
            char* const begin = text.data() + (line.data() - text.data());
            char* const end = std::remove(begin, begin + line.size(), '\r');
            line = std::string_view(begin, static_cast<std::size_t>(end - begin));
        }
        if (line.size() >= 2 && line[1] != '!') {
            if (kept.empty())
                allLines = {};
            kept.push_back(line);
            positions.push_back(tagPositions(line));
            indexableLines += indexable(line, positions.back()) ? 1 : 0;
        } else if (kept.empty()) {
            allLines.push_back(line);
        }
    }

    std::string text;
    std::vector<TagPositions> positions; // of each kept line
    std::vector<char> removed;
    std::vector<int> skip;
    std::string lastEqualQuery;
    int lastEqualLine = NotLookedUp;
    std::size_t indexableLines = 0; // kept lines that could equal a start or end tag
    int indexedUpTo = 0;            // the kept lines before it are in the table
    std::vector<int> slots;         // open-addressed table of indexes into groups, -1 for free
    std::vector<EqualLines> groups;
    std::vector<int> nextEqual; // of each kept line: the next equal one, or -1
    bool closeTextsBuilt = false;
    std::vector<std::pair<std::string_view, int>> closeTexts;
    std::unordered_map<std::string, PatternLines> patterns;
};
TSimpleXml::TSimpleXml(std::string name) : fileName(std::move(name)) {}

TSimpleXml::~TSimpleXml() = default;

// ---- Writing -------------------------------------------------------------------------------

void TSimpleXml::EmptyFile() {
    output.clear();
    fileOpen = false;
    loaded = false;
}

void TSimpleXml::OpenForAppend() {
    fileOpen = true;
    loaded = false;
}

void TSimpleXml::CloseOutput() {
    if (!fileOpen)
        return;
    fileOpen = false;
    WriteFileAtomically(fileName, output);
}

std::string TSimpleXml::TakeOutput() {
    fileOpen = false;
    return std::exchange(output, {});
}

void TSimpleXml::writeLine(std::initializer_list<std::string_view> pieces) {
    if (!fileOpen)
        throw TIoError(103, "Datei nicht ge\xF6"
                            "ffnet");
    for (std::string_view piece : pieces)
        output += piece;
    output += "\r\n";
    loaded = false;
}

void TSimpleXml::WriteProlog() {
    writeLine({"<?xml version=\"1.0\"?>"});
}

void TSimpleXml::WriteBanner() {
    WriteBlankLine();
    const std::string stars(42, '*');
    WriteComment(stars);
    WriteComment(" DIESE DATEI WURDE AUTOMATISCH ERZEUGT!!  ");
    WriteComment(" JEDES MANUELLE EDITIEREN IST UNTERSAGT!! ");
    WriteComment(stars);
    WriteBlankLine();
}

void TSimpleXml::WriteBlankLine() {
    writeLine({" "});
}

void TSimpleXml::WriteComment(std::string_view text) {
    writeLine({"<!-- ", text, " -->"});
}

void TSimpleXml::WriteRootStart(std::string_view name) {
    writeLine({"<", trimmed(name), ">"});
    WriteBlankLine();
}

void TSimpleXml::WriteRootEnd(std::string_view name) {
    WriteBlankLine();
    writeLine({"</", trimmed(name), ">"});
}

void TSimpleXml::WriteOpenTag(std::string_view name) {
    writeLine({"  <", trimmed(name), ">"});
}

void TSimpleXml::WriteCloseTag(std::string_view name) {
    writeLine({"  </", trimmed(name), ">"});
}

void TSimpleXml::WriteValue(std::string_view name, std::string_view value) {
    const std::string_view tag = trimmed(name);
    writeLine({"    <", tag, ">", value, "</", tag, ">"});
}

void TSimpleXml::WriteIntValue(std::string_view name, int value) {
    WriteValue(name, std::to_string(value));
}

void TSimpleXml::WriteFloatValue(std::string_view name, double value) {
    // General format with 15 significant digits; exponent as "1E15" or "1,5E-5".
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text = buffer;
    if (const std::size_t e = text.find('E'); e != std::string::npos) {
        std::string exponent = text.substr(e + 1);
        const bool negative = !exponent.empty() && exponent[0] == '-';
        exponent.erase(0, exponent.find_first_not_of("+-0"));
        text = text.substr(0, e + 1) + (negative ? "-" : "") + (exponent.empty() ? "0" : exponent);
    }
    std::replace(text.begin(), text.end(), '.', DecimalSeparator());
    WriteValue(name, text);
}

// ---- Reading -------------------------------------------------------------------------------

void TSimpleXml::LoadLines() {
    LoadText(ReadWholeFile(fileName));
}

void TSimpleXml::LoadText(std::string text) {
    document = std::make_unique<Document>(std::move(text));
    loaded = !document->kept.empty();
}

void TSimpleXml::ensureText() {
    if (!document)
        document = std::make_unique<Document>(ReadWholeFile(fileName));
}

std::string TSimpleXml::ReadValue(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) {
    fileOpen = false;
    ensureText();
    Document& doc = *document;
    doc.setLookup(section, key);
    const std::string& sectionTag = doc.sectionTag;
    const std::string& keyTag = doc.keyTag;
    const std::string& marker = doc.marker;

    if (loaded) {
        const int sectionLine = doc.firstEqual(sectionTag);
        if (sectionLine < 0)
            return defaultValue;
        const int keyLine = doc.findKeyLine(sectionLine, marker, keyTag);
        if (keyLine < 0)
            return defaultValue;
        return cutValue(doc.kept[static_cast<std::size_t>(keyLine)], keyTag);
    }

    // Nothing was kept: the lookup goes through the file's own lines, matching the section's
    // start tag anywhere in a line and with exact letter case.
    const auto& lines = doc.allLines;
    auto usable = [](std::string_view line) { return line.size() >= 2 && !startsComment(line); };
    std::size_t i = 0;
    while (i < lines.size() && !(usable(lines[i]) && contains(lines[i], sectionTag)))
        ++i;
    for (++i; i < lines.size(); ++i) {
        if (contains(lines[i], marker))
            return defaultValue;
        if (usable(lines[i]) && contains(lines[i], keyTag))
            return cutValue(lines[i], keyTag);
    }
    return defaultValue;
}

int TSimpleXml::ReadIntValue(const std::string& section, const std::string& key, int defaultValue) {
    const std::string text = ReadValue(section, key, "");
    int value = 0;
    return !text.empty() && ConvertsAsInteger(text, value) ? value : defaultValue;
}

double TSimpleXml::ReadFloatValue(const std::string& section, const std::string& key,
                                  double defaultValue) {
    std::string text = ReadValue(section, key, "");
    if (text.empty())
        return defaultValue;
    std::replace(text.begin(), text.end(), ',', '.');
    text = Trim(text);
    // Sign, digits with at most one point, optional exponent; nothing else.
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t mantissa = i;
    std::size_t digits = 0;
    while (i < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) {
        digits += text[i] != '.';
        ++i;
    }
    if (digits == 0 || std::count(text.begin() + static_cast<long>(mantissa),
                                  text.begin() + static_cast<long>(i), '.') > 1)
        return defaultValue;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t exponentStart = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        if (i == exponentStart)
            return defaultValue;
    }
    if (i != text.size())
        return defaultValue;
    const char* begin = text.c_str() + (text[0] == '+' ? 1 : 0);
    double value = 0;
    const auto [end, error] = std::from_chars(begin, text.c_str() + text.size(), value);
    if (error != std::errc() || end != text.c_str() + text.size())
        return defaultValue;
    return value;
}

std::vector<std::string> TSimpleXml::ListElements() {
    fileOpen = false;
    ensureText();
    std::vector<std::string> list;
    Document& doc = *document;
    if (loaded) {
        for (int i = doc.nextAlive(0); i < doc.keptCount(); i = doc.nextAlive(i + 1)) {
            if (doc.listedAsElement(i))
                list.push_back(elementName(doc.kept[static_cast<std::size_t>(i)]));
        }
    } else {
        for (std::string_view line : doc.allLines) {
            if (line.size() >= 2 && !startsComment(line) && !contains(line, "</") &&
                !line.starts_with("<?"))
                list.push_back(elementName(line));
        }
    }
    return list;
}

void TSimpleXml::RemoveElement(const std::string& section) {
    if (!loaded || !document)
        return;
    Document& doc = *document;
    compose(doc.startLine, "<", section, ">");
    composeSectionEndLine(doc.endLine, section);
    const int first = doc.firstEqual(doc.startLine);
    const int last = doc.firstEqual(doc.endLine);
    if (first >= 0 && last > first)
        doc.removeRange(first, last);
}

std::vector<std::string> TSimpleXml::Lines() const {
    std::vector<std::string> lines;
    if (!loaded || !document)
        return lines;
    for (int i = document->nextAlive(0); i < document->keptCount(); i = document->nextAlive(i + 1))
        lines.emplace_back(document->kept[static_cast<std::size_t>(i)]);
    return lines;
}

// ---- Files ---------------------------------------------------------------------------------

std::string ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw TIoError::fromErrno(errno);
    // Read into a buffer of the file's size; a file that grows meanwhile is read on to its end.
    struct stat info {};
    std::string content(::fstat(fd, &info) == 0 && info.st_size > 0
                            ? static_cast<std::size_t>(info.st_size) + 1
                            : std::size_t{1} << 16,
                        '\0');
    std::size_t size = 0;
    for (;;) {
        if (size == content.size())
            content.resize(2 * content.size());
        const ssize_t count = ::read(fd, content.data() + size, content.size() - size);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            throw TIoError::fromErrno(error);
        }
        if (count == 0)
            break;
        size += static_cast<std::size_t>(count);
    }
    ::close(fd);
    content.resize(size);
    return content;
}

namespace {
// Removes the temporary file unless the write went through.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string pattern) : path(std::move(pattern)) {
        fd = ::mkstemp(path.data());
        if (fd < 0)
            throw TIoError::fromErrno(errno);
    }
    ~TemporaryFile() {
        if (fd >= 0)
            ::close(fd);
        if (!committed)
            ::unlink(path.c_str());
    }
    void fail() const { throw TIoError::fromErrno(errno); }
    void close() {
        const int result = ::close(fd);
        fd = -1;
        if (result != 0)
            fail();
    }

    std::string path;
    int fd = -1;
    bool committed = false;
};
} // namespace

void WriteFileAtomically(const std::string& path, const std::string& content) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    // A write-protected file stays protected, also for a user who could replace it anyway.
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throw TIoError::fromErrno(EISDIR);
    if (exists && ((existing.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
        throw TIoError::fromErrno(EACCES);

    TemporaryFile temporary(folder + "." + name + ".XXXXXX");
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t count =
            ::write(temporary.fd, content.data() + written, content.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            temporary.fail();
        written += static_cast<std::size_t>(count);
    }
    mode_t mode = 0666;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    if (::fchmod(temporary.fd, mode) != 0 || ::fsync(temporary.fd) != 0)
        temporary.fail();
    temporary.close();
    if (::rename(temporary.path.c_str(), path.c_str()) != 0)
        temporary.fail();
    temporary.committed = true;

    // Make the rename itself durable.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}
