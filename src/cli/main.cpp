// SPDX-License-Identifier: GPL-3.0-or-later
// ntbmelde-cli: the exchange file for hosts, scripts and tests.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sys/stat.h>

#include "checkcommand.h"
#include "commands.h"
#include "exchangelock.h"
#include "feescommand.h"
#include "interopcommand.h"
#include "ioerror.h"
#include "meldeaustausch.h"
#include "reportcommand.h"
#include "swimmerscommand.h"
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
           "  ntbmelde-cli check [--warnings] DATEI\n"
           "      Meldungen auflisten, die der Meldedialog ablehnen würde; mit --warnings dazu\n"
           "      Hinweise auf doppelte Meldungen, abweichende Angaben, unglaubhafte Zeiten\n"
           "  ntbmelde-cli fees DATEI\n"
           "      Meldegeld-Übersicht ausgeben\n"
           "  ntbmelde-cli import AUSSCHREIBUNG AUSGABE\n"
           "      Ausschreibung (.lef, .lxf, .dsv7) in eine neue Austauschdatei übernehmen\n"
           "  ntbmelde-cli export DATEI AUSGABE [--invitation AUSSCHREIBUNG]\n"
           "      Meldung als .lef, .lxf oder .dsv7 schreiben (ohne --invitation mit der\n"
           "      Ausschreibung neben DATEI, falls dort eine liegt)\n"
           "  ntbmelde-cli swimmers import DATEI... [--alle-vereine]\n"
           "      Schwimmer und Meldezeiten aus Austausch- und CSV-Dateien übernehmen, dazu die\n"
           "      Zeiten der eigenen Schwimmer (mit --alle-vereine aller Vereine) aus\n"
           "      Ergebnisdateien (Lenex .lef/.lxf, DSV-Vereins- und Wettkampfergebnisliste)\n"
           "  ntbmelde-cli swimmers export AUSGABE.csv\n"
           "      Schwimmerliste als CSV-Datei schreiben\n"
           "  ntbmelde-cli swimmers list\n"
           "      Schwimmerliste ausgeben\n"
           "  ntbmelde-cli swimmers check\n"
           "      Schwimmer auflisten, die wohl doppelt gespeichert sind\n"
           "  ntbmelde-cli swimmers besttimes [NAME]\n"
           "      Bestzeiten je Schwimmer, Strecke und Bahnlänge ausgeben (NAME: Teil des "
           "Namens)\n";
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

void WriteToStdout(const std::string& text) {
    // A full disk or a closed pipe behind stdout must not pass for success.
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        throw TIoError::fromErrno(errno);
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
        const bool withWarnings = argc == 4 && std::strcmp(argv[2], "--warnings") == 0;
        // An option in the file's place is a wrong call (a file of that name is "./--x").
        if (command == "check" && argc == 3 + withWarnings &&
            std::strncmp(argv[argc - 1], "--", 2) != 0)
            return RunCheckCommand(argv[argc - 1], withWarnings);
        if (command == "fees" && argc == 3)
            return RunFeesCommand(argv[2]);
        if (command == "import" && argc == 4)
            return RunImportCommand(argv[2], argv[3]);
        if (command == "export" && argc == 4)
            return RunExportCommand(argv[2], argv[3], std::nullopt);
        if (command == "export" && argc == 6 && std::strcmp(argv[4], "--invitation") == 0)
            return RunExportCommand(argv[2], argv[3], std::string(argv[5]));
        if (command == "swimmers") {
            const int exitCode = RunSwimmersCommand(argc, argv);
            return exitCode == 2 ? usage() : exitCode;
        }
    } catch (const TIoError& error) {
        std::cerr << "ntbmelde-cli: " << AnsiToUtf8(error.what()) << '\n';
        return 1;
    } catch (const CliFailure& failure) {
        std::cerr << "ntbmelde-cli: " << failure.what() << '\n';
        return 1;
    }
    return usage();
}
