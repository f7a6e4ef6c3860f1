// ntbmelde-cli: the exchange file for hosts, scripts and tests.
#include <clocale>
#include <cstring>
#include <iostream>
#include <sys/stat.h>

#include "checkcommand.h"
#include "commands.h"
#include "exchangelock.h"
#include "ioerror.h"
#include "meldeaustausch.h"
#include "reportcommand.h"
#include "utf8.h"
#include "windows1252.h"

namespace {
int usage() {
    std::cerr
        << "Aufruf:\n"
           "  ntbmelde-cli resave [--force] EINGABE AUSGABE\n"
           "      Austauschdatei lesen und neu schreiben (mit --force auch eine unvollständige)\n"
           "  ntbmelde-cli report DATEI\n"
           "      Kontrollausdruck ausgeben\n"
           "  ntbmelde-cli check DATEI\n"
           "      Meldungen auflisten, die der Meldedialog ablehnen würde\n";
    return 2;
}

void replaceAll(std::string& text, std::string_view placeholder, const std::string& by) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + by.size()))
        text.replace(at, placeholder.size(), by);
}

// `resave [--force] IN OUT`: a cut-off file is written only with --force; the target must not
// be open in a program, whose later save would undo this one.
int resave(const std::string& in, const std::string& out, bool force) {
    TMeldeAustausch model;
    const TLoadReport report = LoadExistingFile(in, model);
    if (report.Verdict == TFileVerdict::CutOff && !force)
        throw CliFailure(FileText(VerdictText(report), in) +
                         " Nichts geschrieben; mit --force wird die Datei trotzdem geschrieben.");
    TExchangeLock lock(out);
    if (lock.TryLock() == TExchangeLock::Result::HeldElsewhere)
        throw CliFailure(FileText(lock.HeldElsewhereText(), out) + "; nichts geschrieben");
    model.SaveToFile(out);
    return 0;
}
} // namespace

std::string FileText(const std::string& text, const std::string& path, char32_t character) {
    // The file's name stays the bytes the caller gave; the text around it becomes UTF-8.
    std::string result = AnsiToUtf8(text);
    std::string character8;
    AppendUtf8(character8, character);
    replaceAll(result, "%2", character8);
    replaceAll(result, "%1", path);
    return result;
}

TLoadReport LoadExistingFile(const std::string& path, TMeldeAustausch& model) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw TIoError::fromErrno(errno);
    const TLoadReport report = model.LoadFromFile(path);
    if (!report.Loaded())
        throw CliFailure(FileText(VerdictText(report), path, report.FailedCharacter));
    if (report.FromUtf8)
        std::cerr << "ntbmelde-cli: " << FileText(ConvertedFromUtf8Text(), path) << '\n';
    return report;
}

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    try {
        if (command == "resave" && argc == 4)
            return resave(argv[2], argv[3], false);
        if (command == "resave" && argc == 5 && std::strcmp(argv[2], "--force") == 0)
            return resave(argv[3], argv[4], true);
        if (command == "report" && argc == 3)
            return RunReportCommand(argv[2]);
        if (command == "check" && argc == 3)
            return RunCheckCommand(argv[2]);
    } catch (const TIoError& error) {
        std::cerr << "ntbmelde-cli: " << AnsiToUtf8(error.what()) << '\n';
        return 1;
    } catch (const CliFailure& failure) {
        std::cerr << "ntbmelde-cli: " << failure.what() << '\n';
        return 1;
    }
    return usage();
}
