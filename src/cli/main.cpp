// SPDX-License-Identifier: GPL-3.0-or-later
// ntbmelde-cli: the exchange file for hosts, scripts and tests.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

#include "checkcommand.h"
#include "commands.h"
#include "exchangelock.h"
#include "feescommand.h"
#include "interopcommand.h"
#include "ioerror.h"
#include "meldeaustausch.h"
#include "officialscommand.h"
#include "relaycommand.h"
#include "reportcommand.h"
#include "swimmerscommand.h"
#include "utf8.h"
#include "windows1252.h"

namespace {
struct Synopsis {
    const char* Command;
    const char* Call;
    const char* Description;
};
constexpr Synopsis Synopses[] = {
    {"resave", "resave [--force] EINGABE AUSGABE",
     "Austauschdatei lesen und neu schreiben (mit --force auch eine unvollständige)"},
    {"report", "report DATEI", "Kontrollausdruck ausgeben"},
    {"check", "check [--warnings] DATEI",
     "Meldungen auflisten, die der Meldedialog ablehnen würde; mit --warnings dazu\n"
     "Hinweise auf doppelte Meldungen, abweichende Angaben, unglaubhafte Zeiten"},
    {"fees", "fees DATEI", "Meldegeld-Übersicht ausgeben"},
    {"import", "import AUSSCHREIBUNG AUSGABE",
     "Ausschreibung (.lef, .lxf, .dsv7, .dsv8, .dsv8z) in eine neue Austauschdatei\n"
     "übernehmen; sie bleibt daneben als <AUSGABE ohne Endung>.AUSSCHREIBUNG.lxf\n"
     "(.lef, .DSV7, .DSV8) aufbewahrt"},
    {"export", "export DATEI AUSGABE [--invitation AUSSCHREIBUNG]",
     "Meldung als .lef, .lxf, .dsv7 oder .dsv8 schreiben (ohne --invitation mit der für DATEI\n"
     "aufbewahrten Ausschreibung, falls es eine gibt)"},
    {"swimmers", "swimmers import DATEI... [--alle-vereine]",
     "Schwimmer und Meldezeiten aus Austausch- und CSV-Dateien übernehmen, dazu die\n"
     "Zeiten der eigenen Schwimmer (mit --alle-vereine aller Vereine) aus\n"
     "Ergebnisdateien (Lenex .lef/.lxf, DSV-Vereins- und Wettkampfergebnisliste)"},
    {"swimmers", "swimmers export AUSGABE.csv", "Schwimmerliste als CSV-Datei schreiben"},
    {"swimmers", "swimmers list", "Schwimmerliste ausgeben"},
    {"swimmers", "swimmers check", "Schwimmer auflisten, die wohl doppelt gespeichert sind"},
    {"swimmers", "swimmers besttimes [NAME]",
     "Bestzeiten je Schwimmer, Strecke und Bahnlänge ausgeben (NAME: Teil des Namens)"},
    {"officials", "officials import DATEI.csv",
     "Kampfrichter aus einer CSV-Datei (Name;Vorname;Kampfrichter-Nr.;Gruppe;Aktiv)\n"
     "in die Kampfrichterliste übernehmen"},
    {"officials", "officials export AUSGABE.csv", "Kampfrichterliste als CSV-Datei schreiben"},
    {"officials", "officials list", "Kampfrichterliste ausgeben"},
    {"officials", "officials nominate DATEI NAME --abschnitte 1,3 [--einsatz ZN]",
     "Kampfrichter (NAME oder Kampfrichter-Nr.) für diese Abschnitte des Wettkampfs melden,\n"
     "mit Einsatzwunsch; ersetzt eine frühere Meldung von ihm"},
    {"officials", "officials nominate DATEI NAME --entfernen", "Kampfrichter nicht mehr melden"},
    {"officials", "officials show DATEI", "gemeldete Kampfrichter und Trainer des Wettkampfs"},
    {"officials", "officials trainer DATEI NAME|--entfernen",
     "Trainer aus der Trainerliste für den Wettkampf nennen (oder keinen)"},
    {"officials", "officials trainers [add NAME [M|W|D]]",
     "Trainerliste ausgeben, oder einen Trainer hinzufügen"},
    {"relay", "relay DATEI WKNR STAFFEL [SCHWIMMER...]",
     "Schwimmer der Staffelmeldung STAFFEL in Wettkampf WKNR in Startreihenfolge setzen\n"
     "(Name wie in der Schwimmerliste oder Reg.-Nummer; ohne SCHWIMMER ohne Namen)"},
    {"relay", "relay show DATEI", "Staffeln mit ihren Schwimmern ausgeben"},
};

// `--help`: the whole usage on standard output.
int help() {
    std::string text = "Aufruf:\n";
    for (const Synopsis& synopsis : Synopses) {
        text += std::string("  ntbmelde-cli ") + synopsis.Call + "\n      ";
        for (const char* c = synopsis.Description; *c; ++c)
            text += *c == '\n' ? std::string("\n      ") : std::string(1, *c);
        text += '\n';
    }
    text += "  ntbmelde-cli --help\n      diese Hilfe ausgeben\n"
            "Rückgabewert: 0 erledigt, 1 Fehler (Meldung auf der Standardfehlerausgabe),\n"
            "2 falscher Aufruf\n";
    WriteToStdout(text);
    return 0;
}

// A wrong call: one line about it and where the help is.
int wrongCall(const std::string& command) {
    std::string problem;
    for (const Synopsis& synopsis : Synopses) {
        if (command == synopsis.Command)
            problem += std::string(problem.empty() ? "" : " | ") + "ntbmelde-cli " + synopsis.Call;
    }
    if (command.empty())
        problem = "kein Befehl angegeben";
    else if (problem.empty())
        problem = "unbekannter Befehl „" + command + "“";
    else
        problem = "falscher Aufruf, richtig: " + problem;
    std::cerr << "ntbmelde-cli: " << problem << "\nHilfe: ntbmelde-cli --help\n";
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
    CheckFilePath(out, FileUse::Write);
    TExchangeLock lock(out);
    if (lock.TryLock() == TExchangeLock::Result::HeldElsewhere)
        throw CliFailure(FileText(lock.HeldElsewhereText(), out) + "; nichts geschrieben");
    OnFile(out, FileUse::Write, [&] { model.SaveToFile(out); });
    return 0;
}

std::string folderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}
} // namespace

CliFailure FileFailure(const std::string& path, FileUse use, const std::string& reason) {
    return CliFailure(path +
                      (use == FileUse::Read ? " kann nicht gelesen werden: "
                                            : " kann nicht geschrieben werden: ") +
                      reason);
}

void CheckFilePath(const std::string& path, FileUse use) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::is_directory(status))
        throw FileFailure(path, use, "Das ist ein Ordner, keine Datei");
    if (use == FileUse::Read && std::filesystem::exists(status)) {
        if (::access(path.c_str(), R_OK) != 0)
            throw FileFailure(path, use, AnsiToUtf8(TIoError::fromErrno(errno).what()));
        return;
    }
    const std::string folder = folderOf(path);
    const auto folderStatus = std::filesystem::status(folder, error);
    if (!std::filesystem::exists(folderStatus))
        throw FileFailure(path, use,
                          (use == FileUse::Read ? "Ordner " : "Ausgabeordner ") + folder +
                              " existiert nicht");
    if (use == FileUse::Read)
        throw FileFailure(path, use, "Datei nicht gefunden");
    if (!std::filesystem::is_directory(folderStatus))
        throw FileFailure(path, use, folder + " ist kein Ordner");
}

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
    const TLoadReport report = OnFile(path, FileUse::Read, [&] {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            throw TIoError::fromErrno(errno);
        return model.LoadFromFile(path);
    });
    if (!report.Loaded())
        throw CliFailure(FileText(VerdictText(report), path, report.FailedCharacter));
    if (report.FromUtf8)
        std::cerr << "ntbmelde-cli: " << FileText(ConvertedFromUtf8Text(), path) << '\n';
    return report;
}

void WriteToStdout(const std::string& text) {
    // A full disk or a closed pipe behind stdout must not pass for success.
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        throw FileFailure("Standardausgabe", FileUse::Write,
                          AnsiToUtf8(TIoError::fromErrno(errno).what()));
}

void PrintNotes(const QStringList& notes) {
    for (const QString& note : notes)
        std::cerr << "Hinweis: " << note.toStdString() << '\n';
}

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const std::string command = argc < 2 ? std::string() : argv[1];
    try {
        if (argc == 2 && (command == "--help" || command == "-h" || command == "help"))
            return help();
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
        if (command == "relay") {
            const int exitCode = RunRelayCommand(argc, argv);
            return exitCode == 2 ? wrongCall(command) : exitCode;
        }
        if (command == "officials") {
            const int exitCode = RunOfficialsCommand(argc, argv);
            return exitCode == 2 ? wrongCall(command) : exitCode;
        }
        if (command == "swimmers") {
            const int exitCode = RunSwimmersCommand(argc, argv);
            return exitCode == 2 ? wrongCall(command) : exitCode;
        }
    } catch (const TIoError& error) {
        std::cerr << "ntbmelde-cli: " << AnsiToUtf8(error.what()) << '\n';
        return 1;
    } catch (const CliFailure& failure) {
        std::cerr << "ntbmelde-cli: " << failure.what() << '\n';
        return 1;
    }
    return wrongCall(command);
}
