#include "simplexml.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <utility>

#include "atomicfile.h"
#include "conversions.h"
#include "environment.h"
#include "linedocument.h"

namespace {
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
    return line.find(pattern) != std::string_view::npos;
}

bool startsComment(std::string_view line) {
    return line.starts_with("<!");
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
std::string_view cutValue(std::string_view line, std::string_view keyTag) {
    const std::size_t start = line.find(keyTag) + keyTag.size();
    const long long count =
        static_cast<long long>(line.size()) - static_cast<long long>(2 * keyTag.size() + 1);
    if (count <= 0 || start >= line.size())
        return {};
    return line.substr(start, static_cast<std::size_t>(count));
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
    const long long openPos = open == std::string_view::npos ? 0 : static_cast<long long>(open) + 1;
    const long long closePos =
        close == std::string_view::npos ? 0 : static_cast<long long>(close) + 1;
    const long long length = closePos - openPos - 1;
    if (length <= 0)
        return {};
    return std::string(
        line.substr(static_cast<std::size_t>(openPos), static_cast<std::size_t>(length)));
}
} // namespace

// The loaded lines and the texts of the current lookup, reused so that a read allocates nothing.
class TSimpleXmlReader::Document : public TLineDocument {
public:
    using TLineDocument::TLineDocument;

    std::string lookupSection, sectionTag, marker;
    std::vector<std::string> lookupKeys, keyTags;
    std::vector<int> keyLines;
    // The start and end lines of the section being removed.
    std::string startLine, endLine;

    // The tags of a lookup; the reader asks for the same keys of section after section.
    void setLookup(const std::string& section, std::span<const std::string_view> keys) {
        if (section != lookupSection || sectionTag.empty()) {
            lookupSection = section;
            compose(sectionTag, "<", section, ">");
            // "</EVENT" for the section EVENT id=3, "</COMPETITION>" for COMPETITION.
            const std::string_view beforeBlank =
                std::string_view(sectionTag).substr(1, sectionTag.find(' ') - 1);
            compose(marker, "</", beforeBlank, "");
        }
        if (!std::equal(keys.begin(), keys.end(), lookupKeys.begin(), lookupKeys.end())) {
            lookupKeys.assign(keys.begin(), keys.end());
            keyTags.resize(keys.size());
            for (std::size_t k = 0; k < keys.size(); ++k)
                compose(keyTags[k], "<", keys[k], ">");
        }
        keyLines.resize(keys.size());
    }
};
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

TSimpleXmlReader::TSimpleXmlReader(std::string text)
    : document(std::make_unique<Document>(std::move(text))) {
    loaded = document->HasKeptLines();
}

TSimpleXmlReader::~TSimpleXmlReader() = default;

std::string TSimpleXmlReader::ReadValue(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) {
    const std::string_view keys[] = {key};
    std::optional<std::string_view> values[1];
    ReadValues(section, keys, values);
    return values[0] ? std::string(*values[0]) : defaultValue;
}

void TSimpleXmlReader::ReadValues(const std::string& section,
                                  std::span<const std::string_view> keys,
                                  std::span<std::optional<std::string_view>> values) {
    Document& doc = *document;
    doc.setLookup(section, keys);
    std::fill(values.begin(), values.end(), std::nullopt);

    if (loaded) {
        const int sectionLine = doc.FirstEqual(doc.sectionTag);
        if (sectionLine < 0)
            return;
        doc.FindKeyLines(sectionLine, doc.marker, doc.keyTags, doc.keyLines);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (doc.keyLines[k] >= 0)
                values[k] = cutValue(doc.Line(doc.keyLines[k]), doc.keyTags[k]);
        }
        return;
    }

    // Nothing was kept: the lookup goes through the file's own lines, matching the section's
    // start tag anywhere in a line and with exact letter case.
    const auto& lines = doc.AllLines();
    auto usable = [](std::string_view line) { return line.size() >= 2 && !startsComment(line); };
    std::size_t start = 0;
    while (start < lines.size() &&
           !(usable(lines[start]) && contains(lines[start], doc.sectionTag)))
        ++start;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        for (std::size_t i = start + 1; i < lines.size(); ++i) {
            if (contains(lines[i], doc.marker))
                break;
            if (usable(lines[i]) && contains(lines[i], doc.keyTags[k])) {
                values[k] = cutValue(lines[i], doc.keyTags[k]);
                break;
            }
        }
    }
}

int TSimpleXmlReader::ReadIntValue(const std::string& section, const std::string& key,
                                   int defaultValue) {
    return IntValue(ReadValue(section, key, ""), defaultValue);
}

double TSimpleXmlReader::ReadFloatValue(const std::string& section, const std::string& key,
                                        double defaultValue) {
    return FloatValue(ReadValue(section, key, ""), defaultValue);
}

int IntValue(std::optional<std::string_view> value, int defaultValue) {
    int number = 0;
    return value && !value->empty() && ConvertsAsInteger(*value, number) ? number : defaultValue;
}

double FloatValue(std::optional<std::string_view> value, double defaultValue) {
    if (!value || value->empty())
        return defaultValue;
    std::string text(*value);
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
    double number = 0;
    const auto [end, error] = std::from_chars(begin, text.c_str() + text.size(), number);
    if (error != std::errc() || end != text.c_str() + text.size())
        return defaultValue;
    return number;
}

std::vector<std::string> TSimpleXmlReader::ListElements() {
    std::vector<std::string> list;
    Document& doc = *document;
    if (loaded) {
        for (int i = doc.NextPresent(0); i < doc.Count(); i = doc.NextPresent(i + 1)) {
            if (doc.Listed(i))
                list.push_back(elementName(doc.Line(i)));
        }
    } else {
        for (std::string_view line : doc.AllLines()) {
            if (line.size() >= 2 && !startsComment(line) && !contains(line, "</") &&
                !line.starts_with("<?"))
                list.push_back(elementName(line));
        }
    }
    return list;
}

void TSimpleXmlReader::RemoveElement(const std::string& section) {
    if (!loaded)
        return;
    Document& doc = *document;
    compose(doc.startLine, "<", section, ">");
    composeSectionEndLine(doc.endLine, section);
    const int first = doc.FirstEqual(doc.startLine);
    const int last = doc.FirstEqual(doc.endLine);
    if (first >= 0 && last > first)
        doc.Remove(first, last);
}

std::vector<std::string> TSimpleXmlReader::Lines() const {
    std::vector<std::string> lines;
    if (!loaded)
        return lines;
    for (int i = document->NextPresent(0); i < document->Count(); i = document->NextPresent(i + 1))
        lines.emplace_back(document->Line(i));
    return lines;
}
