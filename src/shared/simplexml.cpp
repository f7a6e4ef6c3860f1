#include "simplexml.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "common.h"
#include "ioerror.h"

namespace {
constexpr char CtrlZ = 26;

bool contains(std::string_view line, std::string_view pattern) {
    return line.find(pattern) != std::string_view::npos;
}

bool startsComment(std::string_view line) {
    return line.size() >= 2 && line.substr(0, 2) == "<!";
}

std::string folded(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = ToUpperAnsi(c);
    return result;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return ToUpperAnsi(x) == ToUpperAnsi(y);
           });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

// The part of `line` after the first `keyTag`, as long as the line minus both tags.
std::string cutValue(std::string_view line, std::string_view keyTag, std::string_view keyEndTag) {
    const std::size_t start = line.find(keyTag) + keyTag.size();
    const long long count = static_cast<long long>(line.size()) -
                            static_cast<long long>(keyTag.size()) -
                            static_cast<long long>(keyEndTag.size());
    if (count <= 0 || start >= line.size())
        return {};
    return std::string(line.substr(start, static_cast<std::size_t>(count)));
}

// "</EVENT" for the section EVENT id=3, "</COMPETITION>" for COMPETITION.
std::string sectionEndMarker(const std::string& sectionTag) {
    std::string marker = sectionTag.substr(0, sectionTag.find(' '));
    marker.insert(std::min<std::size_t>(1, marker.size()), "/");
    return marker;
}

// Whole-line text that ends the section: "</EVENT>" for EVENT id=3.
std::string sectionEndLine(const std::string& section) {
    std::string endLine = "</" + section + ">";
    const std::size_t blank = endLine.find(' ');
    const std::size_t close = endLine.find('>');
    if (blank != std::string::npos && close > blank)
        endLine.erase(blank, close - blank);
    return endLine;
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

bool listedAsElement(std::string_view line) {
    return line.size() >= 2 && !startsComment(line) && !contains(line, "</") &&
           line.substr(0, 2) != "<?";
}
} // namespace

// The loaded document: every trimmed line of the file, the kept ones, and an index over the
// kept ones so that lookups and removals cost little even for very large files.
class TSimpleXml::Document {
public:
    explicit Document(std::string fileText) : text(std::move(fileText)) { splitLines(); }

    // Trimmed lines of the whole file (what the file itself holds).
    std::vector<std::string_view> allLines;
    // Of those, the lines of at least two characters whose second is not "!".
    std::vector<std::string_view> kept;

    bool alive(int i) const { return !removed[static_cast<std::size_t>(i)]; }

    // First present kept line equal to `line` ignoring case, or -1.
    int firstEqual(const std::string& line) {
        if (!indexable(line)) {
            for (int i = nextAlive(0); i < keptCount(); i = nextAlive(i + 1)) {
                if (equalsIgnoringCase(kept[static_cast<std::size_t>(i)], line))
                    return i;
            }
            return -1;
        }
        buildLineIndex();
        auto found = lineIndex.find(folded(line));
        if (found == lineIndex.end())
            return -1;
        Occurrences& occurrences = found->second;
        while (occurrences.cursor < occurrences.lines.size() &&
               !alive(occurrences.lines[occurrences.cursor]))
            ++occurrences.cursor;
        return occurrences.cursor < occurrences.lines.size() ? occurrences.lines[occurrences.cursor]
                                                             : -1;
    }

    // The first present kept line after `after` that contains `marker` (the section ended,
    // -1) or `keyTag` (its index), whichever comes first; -1 at the end.
    int findKeyLine(int after, const std::string& marker, const std::string& keyTag) {
        // Sections are short in real files: look at a few lines directly first.
        int i = nextAlive(after + 1);
        for (int steps = 0; i < keptCount() && steps < DirectScanLines; ++steps) {
            const std::string_view line = kept[static_cast<std::size_t>(i)];
            if (contains(line, marker))
                return -1;
            if (contains(line, keyTag))
                return i;
            i = nextAlive(i + 1);
        }
        if (i >= keptCount())
            return -1;
        const int markerLine = patternLines(marker).firstAfter(i - 1, *this);
        const int keyLine = patternLines(keyTag).firstAfter(i - 1, *this);
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

    int keptCount() const { return static_cast<int>(kept.size()); }

private:
    static constexpr int DirectScanLines = 16;

    struct Occurrences {
        std::vector<int> lines;
        std::size_t cursor = 0;
    };

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

    // Only lines that could equal a start tag or an end tag line are indexed.
    static bool indexable(std::string_view line) {
        if (line.size() < 2 || line.front() != '<' || line.back() != '>')
            return false;
        const std::size_t close = line.find("</");
        return close == std::string_view::npos || close == 0;
    }

    void buildLineIndex() {
        if (lineIndexBuilt)
            return;
        lineIndexBuilt = true;
        for (int i = 0; i < keptCount(); ++i) {
            const std::string_view line = kept[static_cast<std::size_t>(i)];
            if (indexable(line))
                lineIndex[folded(line)].lines.push_back(i);
        }
    }

    PatternLines& patternLines(const std::string& pattern) {
        auto [entry, inserted] = patterns.try_emplace(pattern);
        PatternLines& result = entry->second;
        if (inserted) {
            for (int i = 0; i < keptCount(); ++i) {
                if (contains(kept[static_cast<std::size_t>(i)], pattern))
                    result.lines.push_back(i);
            }
            result.skip.resize(result.lines.size());
            for (std::size_t j = 0; j < result.skip.size(); ++j)
                result.skip[j] = static_cast<int>(j) + 1;
        }
        return result;
    }

    // A line ends at LF or CR LF; a lone CR is dropped; Ctrl+Z ends the file.
    void splitLines() {
        const std::size_t end = std::min(text.find(CtrlZ), text.size());
        std::size_t write = 0;
        std::size_t lineStart = 0;
        auto finishLine = [&] {
            const std::string_view line =
                trimmed(std::string_view(text).substr(lineStart, write - lineStart));
            allLines.push_back(line);
            if (line.size() >= 2 && line[1] != '!')
                kept.push_back(line);
        };
        for (std::size_t read = 0; read < end; ++read) {
            const char c = text[read];
            if (c == '\r') {
                if (read + 1 < end && text[read + 1] == '\n') {
                    ++read;
                    finishLine();
                    lineStart = write;
                }
                continue;
            }
            if (c == '\n') {
                finishLine();
                lineStart = write;
                continue;
            }
            text[write++] = c;
        }
        if (write > lineStart)
            finishLine();
        removed.assign(kept.size(), false);
        skip.resize(kept.size());
        for (std::size_t i = 0; i < skip.size(); ++i)
            skip[i] = static_cast<int>(i) + 1;
    }

    std::string text;
    std::vector<bool> removed;
    std::vector<int> skip;
    bool lineIndexBuilt = false;
    std::unordered_map<std::string, Occurrences> lineIndex;
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

void TSimpleXml::AbandonOutput() {
    fileOpen = false;
    output.clear();
}

void TSimpleXml::writeLine(const std::string& line) {
    if (!fileOpen)
        throw TIoError(103, "Datei nicht ge\xF6"
                            "ffnet");
    output += line;
    output += "\r\n";
    loaded = false;
}

void TSimpleXml::WriteProlog() {
    writeLine("<?xml version=\"1.0\"?>");
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
    writeLine(" ");
}

void TSimpleXml::WriteComment(const std::string& text) {
    writeLine("<!-- " + text + " -->");
}

void TSimpleXml::WriteRootStart(const std::string& name) {
    writeLine("<" + Trim(name) + ">");
    WriteBlankLine();
}

void TSimpleXml::WriteRootEnd(const std::string& name) {
    WriteBlankLine();
    writeLine("</" + Trim(name) + ">");
}

void TSimpleXml::WriteOpenTag(const std::string& name) {
    writeLine("  <" + Trim(name) + ">");
}

void TSimpleXml::WriteCloseTag(const std::string& name) {
    writeLine("  </" + Trim(name) + ">");
}

void TSimpleXml::WriteValue(const std::string& name, const std::string& value) {
    const std::string tag = Trim(name);
    writeLine("    <" + tag + ">" + value + "</" + tag + ">");
}

void TSimpleXml::WriteIntValue(const std::string& name, int value) {
    WriteValue(name, std::to_string(value));
}

void TSimpleXml::WriteFloatValue(const std::string& name, double value) {
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
    const std::string sectionTag = "<" + section + ">";
    const std::string keyTag = "<" + key + ">";
    const std::string keyEndTag = "</" + key + ">";
    const std::string marker = sectionEndMarker(sectionTag);
    fileOpen = false;
    ensureText();
    Document& doc = *document;

    if (loaded) {
        const int sectionLine = doc.firstEqual(sectionTag);
        if (sectionLine < 0)
            return defaultValue;
        const int keyLine = doc.findKeyLine(sectionLine, marker, keyTag);
        if (keyLine < 0)
            return defaultValue;
        return cutValue(doc.kept[static_cast<std::size_t>(keyLine)], keyTag, keyEndTag);
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
            return cutValue(lines[i], keyTag, keyEndTag);
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
    auto add = [&list](std::string_view line) {
        if (listedAsElement(line))
            list.push_back(elementName(line));
    };
    Document& doc = *document;
    if (loaded) {
        for (int i = doc.nextAlive(0); i < doc.keptCount(); i = doc.nextAlive(i + 1))
            add(doc.kept[static_cast<std::size_t>(i)]);
    } else {
        for (std::string_view line : doc.allLines)
            add(line);
    }
    return list;
}

void TSimpleXml::RemoveElement(const std::string& section) {
    if (!loaded || !document)
        return;
    const int first = document->firstEqual("<" + section + ">");
    const int last = document->firstEqual(sectionEndLine(section));
    if (first >= 0 && last > first)
        document->removeRange(first, last);
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
    std::string content;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            throw TIoError::fromErrno(error);
        }
        if (count == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
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
