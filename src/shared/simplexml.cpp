#include "simplexml.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "common.h"
#include "ioerror.h"
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
class TSimpleXml::Document : public TLineDocument {
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
TSimpleXml::TSimpleXml(std::string name) : fileName(std::move(name)) {}

TSimpleXml::~TSimpleXml() = default;

// ---- Writing -------------------------------------------------------------------------------

void TSimpleXml::EmptyFile() {
    output.clear();
    target.reset();
    fileOpen = false;
    loaded = false;
}

void TSimpleXml::OpenForAppend() {
    if (!fileName.empty() && !target) {
        target = std::make_unique<TAtomicFile>(fileName);
        output.reserve(2 * HandOverSize);
    }
    fileOpen = true;
    loaded = false;
}

void TSimpleXml::CloseOutput() {
    if (!fileOpen)
        return;
    fileOpen = false;
    if (!target)
        throw TIoError::fromErrno(ENOENT);
    target->Write(output);
    output.clear();
    target->Commit();
    target.reset();
}

std::string TSimpleXml::TakeOutput() {
    fileOpen = false;
    target.reset();
    return std::exchange(output, {});
}

void TSimpleXml::ReserveOutput(std::size_t bytes) {
    if (!target)
        output.reserve(bytes);
}

void TSimpleXml::writeLine(std::initializer_list<std::string_view> pieces) {
    if (!fileOpen)
        throw TIoError(103, "Datei nicht ge\xF6"
                            "ffnet");
    for (std::string_view piece : pieces)
        output += piece;
    output += "\r\n";
    loaded = false;
    if (target && output.size() >= HandOverSize) {
        target->Write(output);
        output.clear();
    }
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
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    WriteValue(name, std::string_view(digits, static_cast<std::size_t>(end - digits)));
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
    loaded = document->HasKeptLines();
}

void TSimpleXml::ensureText() {
    if (!document)
        document = std::make_unique<Document>(ReadWholeFile(fileName));
}

std::string TSimpleXml::ReadValue(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) {
    const std::string_view keys[] = {key};
    std::optional<std::string_view> values[1];
    ReadValues(section, keys, values);
    return values[0] ? std::string(*values[0]) : defaultValue;
}

void TSimpleXml::ReadValues(const std::string& section, std::span<const std::string_view> keys,
                            std::span<std::optional<std::string_view>> values) {
    fileOpen = false;
    ensureText();
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

int TSimpleXml::ReadIntValue(const std::string& section, const std::string& key, int defaultValue) {
    return IntValue(ReadValue(section, key, ""), defaultValue);
}

double TSimpleXml::ReadFloatValue(const std::string& section, const std::string& key,
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

std::vector<std::string> TSimpleXml::ListElements() {
    fileOpen = false;
    ensureText();
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

void TSimpleXml::RemoveElement(const std::string& section) {
    if (!loaded || !document)
        return;
    Document& doc = *document;
    compose(doc.startLine, "<", section, ">");
    composeSectionEndLine(doc.endLine, section);
    const int first = doc.FirstEqual(doc.startLine);
    const int last = doc.FirstEqual(doc.endLine);
    if (first >= 0 && last > first)
        doc.Remove(first, last);
}

std::vector<std::string> TSimpleXml::Lines() const {
    std::vector<std::string> lines;
    if (!loaded || !document)
        return lines;
    for (int i = document->NextPresent(0); i < document->Count(); i = document->NextPresent(i + 1))
        lines.emplace_back(document->Line(i));
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

TAtomicFile::TAtomicFile(const std::string& targetPath) : path(targetPath) {
    const std::size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    // A write-protected file stays protected, also for a user who could replace it anyway.
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throw TIoError::fromErrno(EISDIR);
    if (exists && ((existing.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
        throw TIoError::fromErrno(EACCES);
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    temporaryPath = folder + "." + name + ".XXXXXX";
    fd = ::mkstemp(temporaryPath.data());
    if (fd < 0)
        throw TIoError::fromErrno(errno);
}

TAtomicFile::~TAtomicFile() {
    if (fd >= 0)
        ::close(fd);
    if (!committed)
        ::unlink(temporaryPath.c_str());
}

void TAtomicFile::fail() const {
    throw TIoError::fromErrno(errno);
}

void TAtomicFile::Write(std::string_view bytes) {
    const std::size_t start = written;
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            fail();
        done += static_cast<std::size_t>(count);
        written += static_cast<std::size_t>(count);
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // The disk may start on these bytes while the rest is still being put together; Commit's
    // sync then has less to wait for. A failure here only loses that head start.
    ::sync_file_range(fd, static_cast<off_t>(start), static_cast<off_t>(written - start),
                      SYNC_FILE_RANGE_WRITE);
#endif
}

void TAtomicFile::Commit() {
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        fail();
    const int result = ::close(fd);
    fd = -1;
    if (result != 0)
        fail();
    if (::rename(temporaryPath.c_str(), path.c_str()) != 0)
        fail();
    committed = true;

    // Make the rename itself durable.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

void WriteFileAtomically(const std::string& path, std::string_view content) {
    TAtomicFile file(path);
    file.Write(content);
    file.Commit();
}
