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

// Reads the lines of a document once and answers every lookup from an index of them.
class TSimpleXmlReader {
public:
    explicit TSimpleXmlReader(std::string text);
    ~TSimpleXmlReader();
    TSimpleXmlReader(const TSimpleXmlReader&) = delete;
    TSimpleXmlReader& operator=(const TSimpleXmlReader&) = delete;

    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& defaultValue);
    // The values of several keys of one section, each as ReadValue finds it; a key that is not
    // found has no value. The texts point into the document and stay valid as long as it.
    void ReadValues(const std::string& section, std::span<const std::string_view> keys,
                    std::span<std::optional<std::string_view>> values);
    int ReadIntValue(const std::string& section, const std::string& key, int defaultValue);
    double ReadFloatValue(const std::string& section, const std::string& key, double defaultValue);
    std::vector<std::string> ListElements();
    void RemoveElement(const std::string& section);

    // Whether any line was kept; without one, lookups go through all of the file's lines.
    bool Loaded() const { return loaded; }
    // The kept lines that are still present (for tests and diagnostics).
    std::vector<std::string> Lines() const;

private:
    bool loaded = false;
    class Document;
    std::unique_ptr<Document> document;
};

// The conversions of ReadIntValue and ReadFloatValue, for values read with ReadValues: a
// missing or empty value, or one that does not convert as a whole, gives the default.
int IntValue(std::optional<std::string_view> value, int defaultValue);
double FloatValue(std::optional<std::string_view> value, double defaultValue);
