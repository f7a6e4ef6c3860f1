// ntbmelde-cli: the exchange file for hosts, scripts and tests.
#include <clocale>
#include <cstring>
#include <iostream>
#include <sys/stat.h>

#include "checkcommand.h"
#include "commands.h"
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
           "ablehnen würde\n";
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
        if (command == "check" && argc == 3)
            return RunCheckCommand(argv[2]);
    } catch (const TIoError& error) {
        std::cerr << "ntbmelde-cli: " << AnsiToUtf8(error.what()) << '\n';
        return 1;
    }
    return usage();
}
