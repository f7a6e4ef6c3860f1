// SPDX-License-Identifier: GPL-3.0-or-later
// The line-oriented XML subset of the exchange file: one element per line, no escaping.
// TSimpleXmlWriter writes its lines; TSimpleXmlReader finds values in them.
#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TAtomicFile;

// Writes lines ended by CR LF. Without a file the lines collect in memory (TakeText); with
// one they are handed to it as they come, and Commit puts the file in place.
class TSimpleXmlWriter {
public:
    TSimpleXmlWriter() = default;
    explicit TSimpleXmlWriter(TAtomicFile& file);

    // Room for this many bytes in memory, so that a large document is not moved while it grows.
    void Reserve(std::size_t bytes);
    // Hands the rest to the file and commits it.
    void Commit();
    // The collected bytes, when there is no file.
    std::string TakeText();

    void WriteProlog();
    void WriteBanner();
    void WriteBlankLine();
    void WriteComment(std::string_view text);
    void WriteRootStart(std::string_view name);
    void WriteRootEnd(std::string_view name);
    void WriteOpenTag(std::string_view name);
    void WriteCloseTag(std::string_view name);
    void WriteValue(std::string_view name, std::string_view value);
    void WriteIntValue(std::string_view name, int value);
    void WriteFloatValue(std::string_view name, double value);

private:
    void writeLine(std::initializer_list<std::string_view> pieces);

    // Output for a file is handed over in pieces of about this size.
    static constexpr std::size_t HandOverSize = 1 << 20;

    TAtomicFile* file = nullptr;
    std::string text;
};

// Reads a document of the exchange file's kind.
// - Lines: a line ends at LF or CR LF, a carriage return inside a line is dropped, Ctrl+Z ends
//   the document, and every line is trimmed of characters with codes up to 32. A line is kept
//   when it has two characters or more and its second is not "!": blank lines, comments and
//   document types are not.
// - A section starts at the first present kept line that equals "<" + its name + ">", letter
//   case aside. Its value of a key is cut from the first line after that which holds
//   "<" + key + ">", unless a line holding the section's end marker comes first ("</EVENT" for
//   EVENT id=3, "</CLUB>" for CLUB). Removing a section removes the lines from its start to
//   the first present line that equals its end line ("</EVENT>"), if that comes later.
// - When no line is kept, a section starts at the first line that holds its start tag with
//   exact letter case, anywhere; lines too short or beginning with "<!" hold no start and no
//   key, and nothing is removed.
// Lines, start tags, end lines, end markers and keys are indexed in one pass over the lines, so
// that a document is read in linear time (and a binary search per lookup) however malformed.
// For that, every section and key that will be asked about must be named beforehand.
class TSimpleXmlReader {
public:
    // `sections`: the names that will be read or removed besides the listed elements; `keys`:
    // the keys that will be read. Neither holds ">", and keys hold no "<" and no leading "/".
    TSimpleXmlReader(std::string text, std::span<const std::string> sections,
                     std::span<const std::string_view> keys);
    ~TSimpleXmlReader();
    TSimpleXmlReader(const TSimpleXmlReader&) = delete;
    TSimpleXmlReader& operator=(const TSimpleXmlReader&) = delete;

    // Whether any line was kept.
    bool Loaded() const { return loaded; }
    // The names of the elements that start on a line of their own, in file order: the text
    // between a line's first "<" and its first ">", for every line that is neither a comment,
    // a declaration nor holds an end tag. Taken before anything is removed.
    const std::vector<std::string>& ListElements() const { return elements; }
    // The values of several keys of one section; a key that is not found has no value. The
    // texts point into the document and stay valid as long as it.
    void ReadValues(const std::string& section, std::span<const std::string_view> keys,
                    std::span<std::optional<std::string_view>> values);
    void RemoveElement(const std::string& section);
    // The kept lines that are still present (for tests).
    std::vector<std::string> Lines() const;

private:
    class Document;
    std::unique_ptr<Document> document;
    bool loaded = false;
    std::vector<std::string> elements;
};

// The conversions of integer and decimal values: a missing or empty value, or one that does
// not convert as a whole, gives the default. Decimals take a comma or a point.
int IntValue(std::optional<std::string_view> value, int defaultValue);
double FloatValue(std::optional<std::string_view> value, double defaultValue);
