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
    TMeldeAustausch model;
    QStringList notes;
    try {
        ImportInvitation(ReadInvitationFile(invitation, &notes), model, &notes);
    } catch (const TInteropError& failure) {
        throw failureAbout(invitation, failure);
    }
    TExchangeLock lock(out);
    if (lock.TryLock() == TExchangeLock::Result::HeldElsewhere)
        throw CliFailure(FileText(lock.HeldElsewhereText(), out) + "; nichts geschrieben");
    model.SaveToFile(out);
    try {
        KeepInvitation(invitation, out);
    } catch (const TInteropError& failure) {
        throw failureAbout(invitation, failure);
    }
    PrintNotes(notes);
    return 0;
}

int RunExportCommand(const std::string& file, const std::string& out,
                     const std::optional<std::string>& invitation) {
    TMeldeAustausch model;
    LoadExistingFile(file, model);
    const std::optional<std::string> reference = invitation ? invitation : FindKeptInvitation(file);
    QStringList notes;
    try {
        ExportEntries(model, out, reference, &notes);
    } catch (const TInteropError& failure) {
        throw CliFailure(failure.Text().toStdString());
    }
    PrintNotes(notes);
    return 0;
}
