// The line-oriented XML subset of the exchange file: one element per line, no escaping.
// Writing collects the lines and replaces the file atomically when the output is closed.
// Reading loads the lines once and answers every lookup from an index of them.
#pragma once

#include <memory>
#include <string>
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
    // Drops the collected output without touching the file.
    void AbandonOutput();

    void WriteProlog();
    void WriteBanner();
    void WriteBlankLine();
    void WriteComment(const std::string& text);
    void WriteRootStart(const std::string& name);
    void WriteRootEnd(const std::string& name);
    void WriteOpenTag(const std::string& name);
    void WriteCloseTag(const std::string& name);
    void WriteValue(const std::string& name, const std::string& value);
    void WriteIntValue(const std::string& name, int value);
    void WriteFloatValue(const std::string& name, double value);
    // The bytes collected since EmptyFile.
    const std::string& Output() const { return output; }

    // Reading.
    void LoadLines();
    // Reads the document from memory instead of the file (used by LoadLines and by tests).
    void LoadText(std::string text);
    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& defaultValue);
    int ReadIntValue(const std::string& section, const std::string& key, int defaultValue);
    double ReadFloatValue(const std::string& section, const std::string& key, double defaultValue);
    std::vector<std::string> ListElements();
    void RemoveElement(const std::string& section);

    bool FileOpen() const { return fileOpen; }
    bool Loaded() const { return loaded; }
    // The kept lines that are still present (for tests and diagnostics).
    std::vector<std::string> Lines() const;

private:
    void writeLine(const std::string& line);
    void ensureText();

    std::string fileName;
    bool fileOpen = false;
    bool loaded = false;
    std::string output;

    class Document;
    std::unique_ptr<Document> document;
};

// Replaces `path` with `content`: temporary file in the same folder, flushed, synced and
// renamed over the target. On failure the previous file is untouched and no temporary file
// remains. Throws TIoError.
void WriteFileAtomically(const std::string& path, const std::string& content);
// The whole file. Throws TIoError.
std::string ReadWholeFile(const std::string& path);
