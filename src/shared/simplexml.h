// The line-oriented XML subset of the exchange file: one element per line, no escaping.
// Writing collects the lines and replaces the file atomically when the output is closed.
// Reading loads the lines once and answers every lookup from an index of them.
#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A file replaced atomically: the bytes go to a temporary file in the target's folder, which
// Commit syncs and renames over the target. Until then the target stays as it was, and without
// Commit the temporary file is removed again. A write-protected target is refused. Every
// operation throws TIoError.
class TAtomicFile {
public:
    explicit TAtomicFile(const std::string& path);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    void Write(std::string_view bytes);
    void Commit();

private:
    [[noreturn]] void fail() const;

    std::string path;
    std::string folder;
    std::string temporaryPath;
    unsigned mode = 0;
    int fd = -1;
    std::size_t written = 0;
    bool committed = false;
};

class TSimpleXml {
public:
    explicit TSimpleXml(std::string fileName);
    ~TSimpleXml();
    TSimpleXml(const TSimpleXml&) = delete;
    TSimpleXml& operator=(const TSimpleXml&) = delete;

    // Writing. EmptyFile starts empty new content without touching the file; OpenForAppend
    // opens a temporary file beside it, which takes the lines as they come, and CloseOutput
    // puts it in the file's place, so a failed save leaves the previous file intact.
    void EmptyFile();
    void OpenForAppend();
    void CloseOutput();
    // Ends the output without touching the file and hands over the collected bytes.
    std::string TakeOutput();
    // Room for this many bytes of output that is not written to a file, so that a large
    // document is not moved while it grows.
    void ReserveOutput(std::size_t bytes);

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
    // The bytes collected since EmptyFile and not yet handed to the file.
    const std::string& Output() const { return output; }

    // Reading.
    void LoadLines();
    // Reads the document from memory instead of the file (used by LoadLines and by tests).
    void LoadText(std::string text);
    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& defaultValue);
    // The values of several keys of one section, each as ReadValue finds it; a key that is not
    // found has no value. The texts point into the loaded document and stay valid until the
    // next read of another document or the end of this object.
    void ReadValues(const std::string& section, std::span<const std::string_view> keys,
                    std::span<std::optional<std::string_view>> values);
    int ReadIntValue(const std::string& section, const std::string& key, int defaultValue);
    double ReadFloatValue(const std::string& section, const std::string& key, double defaultValue);
    std::vector<std::string> ListElements();
    void RemoveElement(const std::string& section);

    bool FileOpen() const { return fileOpen; }
    bool Loaded() const { return loaded; }
    // The kept lines that are still present (for tests and diagnostics).
    std::vector<std::string> Lines() const;

private:
    void writeLine(std::initializer_list<std::string_view> pieces);
    void ensureText();

    // Output for a file is handed over in pieces of about this size.
    static constexpr std::size_t HandOverSize = 1 << 20;

    std::string fileName;
    bool fileOpen = false;
    bool loaded = false;
    std::string output;
    std::unique_ptr<TAtomicFile> target;

    class Document;
    std::unique_ptr<Document> document;
};

// The conversions of ReadIntValue and ReadFloatValue, for values read with ReadValues: a
// missing or empty value, or one that does not convert as a whole, gives the default.
int IntValue(std::optional<std::string_view> value, int defaultValue);
double FloatValue(std::optional<std::string_view> value, double defaultValue);

// Replaces `path` with `content` through a TAtomicFile. Throws TIoError.
void WriteFileAtomically(const std::string& path, std::string_view content);
// The whole file. Throws TIoError.
std::string ReadWholeFile(const std::string& path);
