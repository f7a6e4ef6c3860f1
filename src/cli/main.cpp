// ntbmelde-cli: the exchange file for hosts, scripts and tests.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sys/stat.h>

#include "checkcommand.h"
#include "commands.h"
#include "feescommand.h"
#include "ioerror.h"
#include "meldeaustausch.h"
#include "reportcommand.h"
#include "windows1252.h"

namespace {
int usage() {
    std::cerr
        << "Aufruf:\n"
           "  ntbmelde-cli resave EINGABE AUSGABE   Austauschdatei lesen und neu schreiben\n"
           "  ntbmelde-cli report DATEI              Kontrollausdruck ausgeben\n"
           "  ntbmelde-cli check DATEI               Meldungen auflisten, die der Meldedialog "
           "ablehnen würde\n"
           "  ntbmelde-cli check --warnings DATEI    dazu Hinweise auf doppelte Meldungen, "
           "abweichende Angaben, unglaubhafte Zeiten\n"
           "  ntbmelde-cli fees DATEI                Meldegeld-Übersicht ausgeben\n";
    return 2;
}
} // namespace

// Reads `path` as the program reads its exchange file; a missing file is an error here.
TMeldeAustausch LoadExistingFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw TIoError::fromErrno(errno);
    TMeldeAustausch model;
    model.LoadFromFile(path);
    return model;
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
        if (command == "resave" && argc == 4) {
            TMeldeAustausch model = LoadExistingFile(argv[2]);
            model.SaveToFile(argv[3]);
            return 0;
        }
        if (command == "report" && argc == 3)
            return RunReportCommand(argv[2]);
        const bool withWarnings = argc == 4 && std::strcmp(argv[2], "--warnings") == 0;
        // An option in the file's place is a wrong call (a file of that name is "./--x").
        if (command == "check" && argc == 3 + withWarnings &&
            std::strncmp(argv[argc - 1], "--", 2) != 0)
            return RunCheckCommand(argv[argc - 1], withWarnings);
        if (command == "fees" && argc == 3)
            return RunFeesCommand(argv[2]);
    } catch (const TIoError& error) {
        std::cerr << "ntbmelde-cli: " << AnsiToUtf8(error.what()) << '\n';
        return 1;
    }
    return usage();
}
