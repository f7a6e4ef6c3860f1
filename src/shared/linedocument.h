// The lines of a loaded simple XML document and the questions its reader asks about them:
// which present line equals a tag, which line after a section's start holds a key, and the
// removal of a section's lines. Indexes answer each question without rescanning the document,
// so that a whole file is read in linear time however large and however malformed it is.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Where a line has its "<" characters: enough to decide most "contains" questions about
// tags with one comparison.
struct TagPositions {
    static constexpr std::uint32_t None = UINT32_MAX;
    std::uint32_t firstClose = None; // the first "</" (a position beyond counts as a second)
    bool moreCloses = false;         // a second "</"
    bool openInside = false;         // a "<" after the first character, not followed by "/"
    bool hasClose() const { return firstClose != None || moreCloses; }
};

// Whether a trimmed line is kept by the reader: at least two characters, the second not "!"
// (blank lines, comments and document-type lines are not).
inline bool IsKept(std::string_view line) {
    return line.size() >= 2 && line[1] != '!';
}

// The lines of a text, one after the other: a line ends at LF or CR LF, a carriage return that
// does not end a line is dropped, Ctrl+Z ends the text, each line is trimmed and comes with the
// positions of its tags. Lines are views of the text, or, when a carriage return had to be
// dropped, of a copy added to `rewrittenLines`.
class TLineSplitter {
public:
    TLineSplitter(const std::string& text, std::deque<std::string>& rewrittenLines);
    // The next line; false after the last one.
    bool Next(std::string_view& line, TagPositions& positions);

private:
    bool loadBlock();
    void finishLine(std::size_t end, std::string_view& line, TagPositions& positions);

    const char* bytes;
    std::size_t size;
    std::deque<std::string>& rewritten;
    std::size_t block = 0; // the block whose events are being handled
    std::size_t nextBlock = 0;
    std::uint64_t events = 0; // line ends, "<" and stray returns of the block still to handle
    std::uint64_t newlines = 0;
    std::uint64_t returns = 0;
    std::size_t lineStart = 0;
    // The "<" characters of the current line, as long as there are few of them.
    std::array<std::size_t, 8> openings{};
    std::size_t openingCount = 0;
    bool strayReturn = false;
    std::array<char, 64> tail{};
};

class TLineDocument {
public:
    // Splits `text` into lines with TLineSplitter and keeps those that IsKept.
    explicit TLineDocument(std::string text);

    bool HasKeptLines() const { return !kept.empty(); }
    // All trimmed lines; held only while no line is kept, because only then are they read.
    const std::vector<std::string_view>& AllLines() const { return allLines; }

    int Count() const { return static_cast<int>(kept.size()); }
    std::string_view Line(int i) const { return kept[static_cast<std::size_t>(i)]; }
    // The first present kept line from `i` on, or Count().
    int NextPresent(int i);
    // Whether the line names an element: not a comment, declaration or line with an end tag.
    bool Listed(int i) const;
    bool Contains(int i, std::string_view pattern) const;

    // The first present line equal to `line` ignoring letter case, or -1.
    int FirstEqual(std::string_view line);
    // For each key tag, the first present line after `after` that contains it, unless a line
    // containing `endMarker` comes first (then -1); -1 also when the document ends first.
    void FindKeyLines(int after, std::string_view endMarker, std::span<const std::string> keyTags,
                      std::span<int> found);
    // Removes the present lines from `first` to `last`.
    void Remove(int first, int last);

private:
    // Indexed lines that are equal ignoring case: `cursor` is the first of them not yet found
    // removed, `last` the latest added (positions in `indexed`).
    struct EqualLines {
        std::uint64_t hash;
        int cursor;
        int last;
    };
    // Kept lines containing one pattern, with removed ones skipped on the way.
    struct PatternLines {
        std::vector<int> lines;
        std::vector<int> skip;
        int firstAfter(int after, const TLineDocument& document);
    };

    bool present(int i) const { return !removed[static_cast<std::size_t>(i)]; }
    void buildEqualIndex();
    std::size_t slotFor(std::string_view line, std::uint64_t hash) const;
    int firstPresent(EqualLines& group);
    int searchEqual(std::string_view line);
    PatternLines& patternLines(const std::string& pattern);
    void buildCloseTexts();

    std::string text;
    std::deque<std::string> rewrittenLines;
    std::vector<std::string_view> allLines;
    std::vector<std::string_view> kept;
    std::vector<TagPositions> positions; // of each kept line
    std::vector<char> removed;
    std::vector<int> skip; // of each removed line: a later line to look at next

    // The kept lines that could equal a start or end tag, in file order, and of each of them
    // its group of equal lines and the position of the next equal one (-1 for none).
    std::vector<int> indexed;
    std::vector<int> groupOf;
    std::vector<int> nextEqual;
    std::vector<EqualLines> groups;
    std::vector<int> slots; // open-addressed table of indexes into groups, -1 for free
    std::size_t guess = 0;  // position in `indexed` of the line to try first

    std::string lastEqualQuery;
    int lastEqualLine = -2; // -2: nothing asked yet

    std::unordered_map<std::string, PatternLines> patterns;
    bool closeTextsBuilt = false;
    std::vector<std::pair<std::string_view, int>> closeTexts;
};
