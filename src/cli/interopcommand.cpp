// SPDX-License-Identifier: GPL-3.0-or-later
#include "interopcommand.h"

#include <filesystem>

#include "commands.h"
#include "exchangelock.h"
#include "interopfiles.h"
#include "meldeaustausch.h"

namespace {

CliFailure failureAbout(const std::string& path, const TInteropError& error) {
    return CliFailure(path + ": " + error.Text().toStdString());
}

} // namespace

int RunImportCommand(const std::string& invitation, const std::string& out) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(out, error)))
        throw CliFailure(out + " existiert bereits; nichts geschrieben");
    CheckFilePath(out, FileUse::Write);
    TMeldeAustausch model;
    QStringList notes;
    try {
        ImportInvitation(OnFile(invitation, FileUse::Read,
                                [&] { return ReadInvitationFile(invitation, &notes); }),
                         model, &notes);
    } catch (const TInteropError& failure) {
        throw failureAbout(invitation, failure);
    }
    TExchangeLock lock(out);
    if (lock.TryLock() == TExchangeLock::Result::HeldElsewhere)
        throw CliFailure(FileText(lock.HeldElsewhereText(), out) + "; nichts geschrieben");
    OnFile(out, FileUse::Write, [&] { model.SaveToFile(out); });
    const std::string kept = KeptInvitationPath(out, invitation);
    try {
        OnFile(kept, FileUse::Write, [&] { KeepInvitation(invitation, out); });
    } catch (const TInteropError& failure) {
        throw failureAbout(invitation, failure);
    }
    PrintNotes(notes);
    WriteToStdout(out + ": " + ImportSummaryText(model).toStdString() +
                  "; Ausschreibung aufbewahrt als " + kept + '\n');
    return 0;
}

int RunExportCommand(const std::string& file, const std::string& out,
                     const std::optional<std::string>& invitation) {
    TMeldeAustausch model;
    LoadExistingFile(file, model);
    try {
        CheckExportTarget(file, out);
    } catch (const TInteropError& failure) {
        throw FileFailure(out, FileUse::Write, failure.Text().toStdString());
    }
    if (invitation)
        CheckFilePath(*invitation, FileUse::Read);
    const std::optional<std::string> reference =
        invitation ? invitation : FindKeptInvitation(file, model);
    QStringList notes;
    const TCompanionLoad companion = LoadCompanion(file, model);
    if (!companion.Problem.isEmpty())
        notes << companion.Problem;
    try {
        const TExportSummary summary = OnFile(out, FileUse::Write, [&] {
            return ExportEntries(model, out, reference, &notes, companion.Companion);
        });
        PrintNotes(notes);
        WriteToStdout(out + ": " + ExportSummaryText(summary).toStdString() + '\n');
    } catch (const TInteropError& failure) {
        throw CliFailure(failure.Text().toStdString());
    }
    return 0;
}
