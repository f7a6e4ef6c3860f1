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

class TSimpleXml {
public:
    explicit TSimpleXml(std::string fileName);
    ~TSimpleXml();
    TSimpleXml(const TSimpleXml&) = delete;
    TSimpleXml& operator=(const TSimpleXml&) = delete;

    // Writing. EmptyFile starts empty new content without touching the file; the file is
    // replaced only by CloseOutput, so a failed save leaves the previous file intact.
    void EmptyFile();
    void OpenForAppend();
    void CloseOutput();
    // Ends the output without touching the file and hands over the collected bytes.
    std::string TakeOutput();
    // Room for this many bytes of output, so that a large document is not moved while it grows.
    void ReserveOutput(std::size_t bytes) { output.reserve(bytes); }

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
    // The bytes collected since EmptyFile.
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

    std::string fileName;
    bool fileOpen = false;
    bool loaded = false;
    std::string output;

    class Document;
    std::unique_ptr<Document> document;
};

// The conversions of ReadIntValue and ReadFloatValue, for values read with ReadValues: a
// missing or empty value, or one that does not convert as a whole, gives the default.
int IntValue(std::optional<std::string_view> value, int defaultValue);
double FloatValue(std::optional<std::string_view> value, double defaultValue);

// Replaces `path` with `content`: temporary file in the same folder, flushed, synced and
// renamed over the target. On failure the previous file is untouched and no temporary file
// remains. Throws TIoError.
void WriteFileAtomically(const std::string& path, const std::string& content);
// The whole file. Throws TIoError.
std::string ReadWholeFile(const std::string& path);
