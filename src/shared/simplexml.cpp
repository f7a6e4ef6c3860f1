// SPDX-License-Identifier: GPL-3.0-or-later
#include "simplexml.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "atomicfile.h"
#include "conversions.h"
#include "environment.h"
#include "windows1252.h"

namespace {
constexpr char CtrlZ = 26;
constexpr int NoLine = INT_MAX;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

// Lines that can hold a section's start or a key: not too short and no comment.
bool usable(std::string_view line) {
    return line.size() >= 2 && !line.starts_with("<!");
}

std::string startTag(std::string_view section) {
    return "<" + std::string(section) + ">";
}

// What ends the reading of a section: "</EVENT" for EVENT id=3, "</COMPETITION>" for
// COMPETITION.
std::string endMarker(std::string_view section) {
    const std::size_t blank = section.find(' ');
    return blank == std::string_view::npos ? "</" + std::string(section) + ">"
                                           : "</" + std::string(section.substr(0, blank));
}

// The line that ends a section when it is removed: "</EVENT>" for EVENT id=3.
std::string endLine(std::string_view section) {
    std::string line = "</" + std::string(section) + ">";
    const std::size_t blank = line.find(' ');
    const std::size_t close = line.find('>');
    if (blank != std::string::npos && close > blank)
        line.erase(blank, close - blank);
    return line;
}

// The text between the first "<" and the first ">", empty when the ">" does not come later.
std::string elementName(std::string_view line) {
    const std::size_t open = line.find('<');
    const std::size_t from = open == std::string_view::npos ? 0 : open + 1;
    const std::size_t close = line.find('>');
    if (close == std::string_view::npos || close <= from)
        return {};
    return std::string(line.substr(from, close - from));
}

// The part of `line` after the first `keyTag`, as long as the line minus the key's start and
// end tags ("<KEY>" and "</KEY>", one character longer).
std::string_view cutValue(std::string_view line, std::string_view keyTag) {
    const std::size_t start = line.find(keyTag) + keyTag.size();
    const std::size_t tags = 2 * keyTag.size() + 1;
    if (line.size() <= tags || start >= line.size())
        return {};
    return line.substr(start, line.size() - tags);
}
} // namespace

TSimpleXmlWriter::TSimpleXmlWriter(TAtomicFile& target) : file(&target) {
    text.reserve(2 * HandOverSize);
}

void TSimpleXmlWriter::Reserve(std::size_t bytes) {
    if (!file)
        text.reserve(bytes);
}

void TSimpleXmlWriter::Commit() {
    file->Write(text);
    text.clear();
    file->Commit();
}

std::string TSimpleXmlWriter::TakeText() {
    return std::exchange(text, {});
}

void TSimpleXmlWriter::writeLine(std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces)
        text += piece;
    text += "\r\n";
    if (file && text.size() >= HandOverSize) {
        file->Write(text);
        text.clear();
    }
}

void TSimpleXmlWriter::WriteProlog() {
    writeLine({"<?xml version=\"1.0\"?>"});
}

void TSimpleXmlWriter::WriteBanner() {
    WriteBlankLine();
    const std::string stars(42, '*');
    WriteComment(stars);
    WriteComment(" DIESE DATEI WURDE AUTOMATISCH ERZEUGT!!  ");
    WriteComment(" JEDES MANUELLE EDITIEREN IST UNTERSAGT!! ");
    WriteComment(stars);
    WriteBlankLine();
}

void TSimpleXmlWriter::WriteBlankLine() {
    writeLine({" "});
}

void TSimpleXmlWriter::WriteComment(std::string_view text) {
    writeLine({"<!-- ", text, " -->"});
}

void TSimpleXmlWriter::WriteRootStart(std::string_view name) {
    writeLine({"<", trimmed(name), ">"});
    WriteBlankLine();
}

void TSimpleXmlWriter::WriteRootEnd(std::string_view name) {
    WriteBlankLine();
    writeLine({"</", trimmed(name), ">"});
}

void TSimpleXmlWriter::WriteOpenTag(std::string_view name) {
    writeLine({"  <", trimmed(name), ">"});
}

void TSimpleXmlWriter::WriteCloseTag(std::string_view name) {
    writeLine({"  </", trimmed(name), ">"});
}

void TSimpleXmlWriter::WriteValue(std::string_view name, std::string_view value) {
    const std::string_view tag = trimmed(name);
    writeLine({"    <", tag, ">", value, "</", tag, ">"});
}

void TSimpleXmlWriter::WriteIntValue(std::string_view name, int value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    WriteValue(name, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void TSimpleXmlWriter::WriteFloatValue(std::string_view name, double value) {
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

namespace {
// The lines holding one pattern, in file order; removed lines are passed over.
class LineList {
public:
    void add(int line) {
        if (lines.empty() || lines.back() != line)
            lines.push_back(line);
    }

    // The first present line after `after`, or NoLine.
    int firstAfter(int after, const std::vector<int>& removedUntil) {
        const auto removed = [&](std::size_t entry) {
            return removedUntil[static_cast<std::size_t>(lines[entry])] != 0;
        };
        std::size_t found = firstEntryAfter(after);
        if (found < lines.size() && removed(found)) {
            if (skip.empty()) {
                skip.resize(lines.size());
                std::iota(skip.begin(), skip.end(), std::size_t{1});
            }
            const std::size_t from = found;
            while (found < lines.size() && removed(found))
                found = skip[found];
            // Removed lines stay removed: the entries passed over may point straight here.
            for (std::size_t i = from; i < found;)
                i = std::exchange(skip[i], found);
        }
        latest = found;
        return found < lines.size() ? lines[found] : NoLine;
    }

private:
    // The first entry whose line comes after `after`. Lookups mostly move on through the file,
    // so the search starts at the latest answer and widens its steps from there.
    std::size_t firstEntryAfter(int after) const {
        auto begin = lines.begin();
        auto end = lines.end();
        if (latest < lines.size() && lines[latest] <= after) {
            std::size_t below = latest;
            std::size_t step = 1;
            for (; below + step < lines.size() && lines[below + step] <= after; step *= 2)
                below += step;
            begin += static_cast<std::ptrdiff_t>(below + 1);
            end = lines.begin() +
                  static_cast<std::ptrdiff_t>(std::min(below + step + 1, lines.size()));
        }
        return static_cast<std::size_t>(std::upper_bound(begin, end, after) - lines.begin());
    }

    std::vector<int> lines;
    // Of each entry, a later one to look at when it is removed (made when first needed).
    std::vector<std::size_t> skip;
    std::size_t latest = 0; // the entry of the latest answer
};

// Patterns as a tree of their characters: one walk along a line from one place finds every
// pattern that begins there.
class PatternTree {
public:
    void add(std::string_view pattern, LineList& list) {
        std::size_t node = 0;
        for (char c : pattern) {
            std::size_t next = child(node, c);
            if (next == 0) {
                next = nodes.size();
                nodes.push_back({c, 0, nodes[node].firstChild, nullptr});
                nodes[node].firstChild = next;
            }
            node = next;
        }
        nodes[node].list = &list;
    }

    // Adds `line` to the list of every pattern that `text` spells from `at` on, read forwards
    // or, with `backwards`, towards its start.
    void walk(std::string_view text, std::size_t at, bool backwards, int line) const {
        std::size_t node = 0;
        for (std::size_t i = at; i < text.size(); i = backwards ? i - 1 : i + 1) {
            node = child(node, text[i]);
            if (node == 0)
                return;
            if (nodes[node].list)
                nodes[node].list->add(line);
        }
    }

private:
    // The child of `node` for `c`, or 0 (the root is nobody's child).
    std::size_t child(std::size_t node, char c) const {
        for (std::size_t next = nodes[node].firstChild; next != 0; next = nodes[next].nextSibling) {
            if (nodes[next].label == c)
                return next;
        }
        return 0;
    }

    struct Node {
        char label; // the character that leads here
        std::size_t firstChild;
        std::size_t nextSibling;
        LineList* list; // the list of the pattern ending here
    };
    std::vector<Node> nodes{Node{0, 0, 0, nullptr}};
};

struct KeyLines {
    std::string tag; // "<" + key + ">"
    LineList lines;
};

std::size_t hashIgnoringCase(std::string_view text) {
    std::size_t hash = 14695981039346656037ull; // FNV-1a
    for (char c : text)
        hash = (hash ^ static_cast<unsigned char>(ToUpperAnsi(c))) * 1099511628211ull;
    return hash;
}
} // namespace

class TSimpleXmlReader::Document {
public:
    explicit Document(std::string bytes) : text(std::move(bytes)) {}

    // Splits the text into trimmed lines and keeps the kept ones, if there are any.
    bool split() {
        const std::string_view all(text.data(), std::min(text.find(CtrlZ), text.size()));
        lines.reserve(static_cast<std::size_t>(std::count(all.begin(), all.end(), '\n')) + 1);
        for (std::size_t start = 0; start < all.size();) {
            const std::size_t end = std::min(all.find('\n', start), all.size());
            std::string_view line = trimmed(all.substr(start, end - start));
            if (line.find('\r') != std::string_view::npos) {
                std::string& copy = linesWithoutReturns.emplace_back(line);
                std::erase(copy, '\r');
                line = copy;
            }
            lines.push_back(line);
            start = end + 1;
        }
        const auto kept = [](std::string_view line) { return line.size() >= 2 && line[1] != '!'; };
        loaded = std::any_of(lines.begin(), lines.end(), kept);
        if (loaded)
            std::erase_if(lines, std::not_fn(kept));
        return loaded;
    }

    std::vector<std::string> listElements() const {
        std::vector<std::string> names;
        for (std::string_view line : lines) {
            if (usable(line) && line.find("</") == std::string_view::npos &&
                !line.starts_with("<?"))
                names.push_back(elementName(line));
        }
        return names;
    }

    void index(std::span<const std::string> sections, std::span<const std::string> elements,
               std::span<const std::string_view> keys) {
        removedUntil.assign(lines.size(), 0);
        for (std::string_view key : keys) {
            if (const auto [entry, added] = keyLines.try_emplace(std::string(key)); added) {
                entry->second.tag = startTag(key);
                tags.add(entry->second.tag, entry->second.lines);
            }
        }
        for (const std::string& section : sections)
            addSection(section);
        for (const std::string& section : elements)
            addSection(section);
        std::vector<int> startOrEndLines;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (indexLine(static_cast<int>(i)))
                startOrEndLines.push_back(static_cast<int>(i));
        }
        groupEqualLines(startOrEndLines);
    }

    // The first present line that starts the section, or NoLine.
    int firstStart(const std::string& section) {
        tag.assign("<").append(section).append(">");
        return loaded ? firstEqual(tag) : startLines.at(tag).firstAfter(-1, removedUntil);
    }

    // The first present line equal to `line`, letter case aside, or NoLine.
    int firstEqual(std::string_view line) {
        const int group = groupOf(line);
        if (group < 0)
            return NoLine;
        int& first = groups[static_cast<std::size_t>(group)].first;
        while (first >= 0 && removedUntil[static_cast<std::size_t>(first)] != 0)
            first = nextEqual[static_cast<std::size_t>(first)];
        if (first < 0)
            return NoLine;
        return latestFound = first;
    }

    // Sections of one kind follow each other and ask for the same keys: the latest lists are
    // kept at hand.
    LineList& markerLinesOf(const std::string& section) {
        const std::string marker = endMarker(section);
        if (marker != latestMarker) {
            latestMarker = marker;
            latestMarkerLines = &markerLines.at(marker);
        }
        return *latestMarkerLines;
    }

    std::span<KeyLines* const> keyLinesOf(std::span<const std::string_view> keys) {
        if (!std::equal(keys.begin(), keys.end(), latestKeys.begin(), latestKeys.end())) {
            latestKeys.assign(keys.begin(), keys.end());
            latestKeyLines.clear();
            for (std::string_view key : keys)
                latestKeyLines.push_back(&keyLines.find(key)->second);
        }
        return latestKeyLines;
    }

    void remove(int first, int last) {
        // Removed lines form blocks, and a later block can only swallow earlier ones whole:
        // each is passed over with one step.
        for (int i = first; i <= last;) {
            int& until = removedUntil[static_cast<std::size_t>(i)];
            if (until != 0) {
                i = until;
            } else {
                until = last + 1;
                ++i;
            }
        }
    }

    std::vector<std::string_view> lines; // the kept lines, or all lines when none is kept
    // Of each removed line, the line after the block it was removed with; 0 while present.
    std::vector<int> removedUntil;

private:
    void addSection(const std::string& section) {
        const std::string marker = endMarker(section);
        if (const auto [entry, added] = markerLines.try_emplace(marker); added)
            tags.add(marker, entry->second);
        if (loaded)
            return;
        std::string tag = startTag(section);
        if (const auto [entry, added] = startLines.try_emplace(tag); added) {
            std::reverse(tag.begin(), tag.end());
            startTags.add(tag, entry->second);
        }
    }

    // Indexes the line's key tags and end markers; true when it could start or end a section.
    bool indexLine(int i) {
        const std::string_view line = lines[static_cast<std::size_t>(i)];
        const bool holdsKeys = usable(line);
        // Key tags begin with "<" and a letter, end markers with "</": neither runs on over
        // the next "<" or "</", so each character is walked over about once.
        for (std::size_t at = line.find('<'); at != std::string_view::npos;
             at = line.find('<', at + 1)) {
            if (holdsKeys || (at + 1 < line.size() && line[at + 1] == '/'))
                tags.walk(line, at, false, i);
        }
        if (!loaded && holdsKeys) {
            for (std::size_t at = line.find('>'); at != std::string_view::npos;
                 at = line.find('>', at + 1))
                startTags.walk(line, at, true, i);
        }
        // A start or end line has its only ">" at its end.
        return loaded && line.front() == '<' && line.find('>') == line.size() - 1;
    }

    // Kept start and end lines that are equal, letter case aside, form a group: its first
    // present line (moved on as lines are removed) and its last; each line links to the next
    // equal one. The groups are found through an open-addressed table.
    void groupEqualLines(const std::vector<int>& startOrEndLines) {
        nextEqual.assign(lines.size(), -1);
        groupOfLine.assign(lines.size(), -1);
        slots.assign(std::bit_ceil(2 * startOrEndLines.size() + 1), -1);
        for (int i : startOrEndLines) {
            const std::string_view line = lines[static_cast<std::size_t>(i)];
            const std::size_t hash = hashIgnoringCase(line);
            int& slot = slots[slotOf(line, hash)];
            if (slot < 0) {
                slot = static_cast<int>(groups.size());
                groups.push_back({hash, i, i});
            } else {
                EqualLines& group = groups[static_cast<std::size_t>(slot)];
                nextEqual[static_cast<std::size_t>(group.last)] = i;
                group.last = i;
            }
            groupOfLine[static_cast<std::size_t>(i)] = slot;
        }
    }

    // The slot of the group of `text` in the table, or the free one where it would be.
    std::size_t slotOf(std::string_view text, std::size_t hash) const {
        const std::size_t mask = slots.size() - 1;
        std::size_t slot = hash & mask;
        for (; slots[slot] >= 0; slot = (slot + 1) & mask) {
            const EqualLines& group = groups[static_cast<std::size_t>(slots[slot])];
            if (group.hash == hash &&
                EqualIgnoringCase(lines[static_cast<std::size_t>(group.last)], text))
                break;
        }
        return slot;
    }

    // The group of the lines equal to `line`, or -1. Sections are read in file order and
    // removed after reading: the latest line found and the present line after it are tried
    // before the table.
    int groupOf(std::string_view line) {
        if (latestFound >= 0) {
            const auto latest = static_cast<std::size_t>(latestFound);
            const auto after = static_cast<std::size_t>(
                removedUntil[latest] != 0 ? removedUntil[latest] : latestFound + 1);
            for (std::size_t guess : {latest, after}) {
                if (guess < lines.size() && groupOfLine[guess] >= 0 &&
                    EqualIgnoringCase(lines[guess], line))
                    return groupOfLine[guess];
            }
        }
        return slots.empty() ? -1 : slots[slotOf(line, hashIgnoringCase(line))];
    }

    struct EqualLines {
        std::size_t hash;
        int first;
        int last;
    };

    std::string text;
    std::deque<std::string> linesWithoutReturns;
    bool loaded = false;
    std::map<std::string, KeyLines, std::less<>> keyLines;
    std::unordered_map<std::string, LineList> markerLines;
    std::unordered_map<std::string, LineList> startLines; // when no line is kept
    PatternTree tags;      // key tags and end markers, walked from each "<"
    PatternTree startTags; // reversed start tags, walked back from each ">" when none is kept
    std::vector<EqualLines> groups;
    std::vector<int> slots; // of the table: a group, or -1 where free
    std::vector<int> nextEqual;
    std::vector<int> groupOfLine; // -1 for a line that cannot start or end a section
    int latestFound = -1;
    std::string tag; // the start tag being looked for
    std::string latestMarker;
    LineList* latestMarkerLines = nullptr;
    std::vector<std::string_view> latestKeys;
    std::vector<KeyLines*> latestKeyLines;
};

TSimpleXmlReader::TSimpleXmlReader(std::string text, std::span<const std::string> sections,
                                   std::span<const std::string_view> keys)
    : document(std::make_unique<Document>(std::move(text))) {
    loaded = document->split();
    elements = document->listElements();
    document->index(sections, elements, keys);
}

TSimpleXmlReader::~TSimpleXmlReader() = default;

void TSimpleXmlReader::ReadValues(const std::string& section,
                                  std::span<const std::string_view> keys,
                                  std::span<std::optional<std::string_view>> values) {
    Document& doc = *document;
    std::fill(values.begin(), values.end(), std::nullopt);
    const int start = doc.firstStart(section);
    if (start == NoLine)
        return;
    const int end = doc.markerLinesOf(section).firstAfter(start, doc.removedUntil);
    const std::span<KeyLines* const> keyLines = doc.keyLinesOf(keys);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const int line = keyLines[k]->lines.firstAfter(start, doc.removedUntil);
        if (line < end)
            values[k] = cutValue(doc.lines[static_cast<std::size_t>(line)], keyLines[k]->tag);
    }
}

void TSimpleXmlReader::RemoveElement(const std::string& section) {
    if (!loaded)
        return;
    const int first = document->firstStart(section);
    const int last = document->firstEqual(endLine(section));
    if (last != NoLine && last > first)
        document->remove(first, last);
}

std::vector<std::string> TSimpleXmlReader::Lines() const {
    std::vector<std::string> present;
    for (std::size_t i = 0; loaded && i < document->lines.size(); ++i) {
        if (document->removedUntil[i] == 0)
            present.emplace_back(document->lines[i]);
    }
    return present;
}

int IntValue(std::optional<std::string_view> value, int defaultValue) {
    int number = 0;
    return value && !value->empty() && ConvertsAsInteger(*value, number) ? number : defaultValue;
}

double FloatValue(std::optional<std::string_view> value, double defaultValue) {
    if (!value)
        return defaultValue;
    std::string number(trimmed(*value));
    std::replace(number.begin(), number.end(), ',', '.');
    // An optional sign, then a digit or the point: no "inf", "nan" or second sign.
    const std::size_t sign = !number.empty() && (number[0] == '+' || number[0] == '-') ? 1 : 0;
    if (sign >= number.size() ||
        !(std::isdigit(static_cast<unsigned char>(number[sign])) || number[sign] == '.'))
        return defaultValue;
    const char* end = number.data() + number.size();
    double result = 0;
    const auto converted = std::from_chars(number.data() + (number[0] == '+'), end, result);
    return converted.ec == std::errc() && converted.ptr == end ? result : defaultValue;
}
