// SPDX-License-Identifier: GPL-3.0-or-later
#include "interopfiles.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "atomicfile.h"
#include "companionfile.h"
#include "conversions.h"
#include "dsv7.h"
#include "ioerror.h"
#include "lenex.h"
#include "lxfarchive.h"
#include "meldeaustausch.h"
#include "results.h"
#include "staffentries.h"

namespace {

enum class TFormat { Lef, Lxf, Dsv };

struct FormatFile {
    TFormat Format;
    const char* Extension; // lower case
    const char* KeptName;  // the kept invitation beside the exchange file
    int DsvVersion;        // the Vereinsmeldeliste written under this name; 0 for Lenex
};
// A packed DSV list is kept unpacked. A read DSV list's version comes from its FORMAT line.
constexpr FormatFile FormatFiles[] = {
    {TFormat::Lxf, ".lxf", "AUSSCHREIBUNG.lxf", 0},
    {TFormat::Lef, ".lef", "AUSSCHREIBUNG.lef", 0},
    {TFormat::Dsv, ".dsv7", "AUSSCHREIBUNG.DSV7", 7},
    {TFormat::Dsv, ".dsv8", "AUSSCHREIBUNG.DSV8", 8},
    {TFormat::Dsv, ".dsv8z", "AUSSCHREIBUNG.DSV8", 8},
};

const FormatFile& formatFile(const std::string& path) {
    const QString extension =
        QString::fromStdString(std::filesystem::path(path).extension().string()).toLower();
    for (const FormatFile& file : FormatFiles) {
        if (extension == QLatin1StringView(file.Extension))
            return file;
    }
    throw TInteropError(QStringLiteral("%1: unbekanntes Format, erwartet wird eine Datei mit "
                                       ".lef, .lxf, .dsv7, .dsv8 oder .dsv8z")
                            .arg(QString::fromLocal8Bit(path)));
}

QByteArray bytesOf(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path folderOf(const std::string& exchangePath) {
    const std::filesystem::path folder = std::filesystem::path(exchangePath).parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

} // namespace

namespace {
TInvitation readAnyInvitation(const std::string& path, QStringList* notes) {
    formatFile(path);
    // Hosts' files carry wrong extensions: the content tells Lenex from DSV.
    const QByteArray bytes = UnpackFormatFile(bytesOf(ReadWholeFile(path)));
    if (IsLenexDocument(bytes))
        return ReadLenexInvitation(bytes);
    return ReadDsv7Invitation(bytes, notes);
}
} // namespace

TInvitation ReadInvitationFile(const std::string& path, QStringList* notes) {
    TInvitation invitation = readAnyInvitation(path, notes);
    RefuseNonInvitation(invitation.ClubSwims);
    return invitation;
}

namespace {
// The kept invitation's name for an exchange file: "EXCHANGE.NT2" keeps
// "EXCHANGE.AUSSCHREIBUNG.lxf".
std::filesystem::path keptPath(const std::string& exchangePath, const FormatFile& format) {
    return folderOf(exchangePath) /
           (std::filesystem::path(exchangePath).stem().string() + '.' + format.KeptName);
}

// The competition an invitation becomes when imported: its name and first day must be the
// exchange file's, or the export would carry another meet.
void checkSameMeet(const TInvitation& invitation, const TMeldeAustausch& model) {
    TMeldeAustausch imported;
    ImportInvitation(invitation, imported);
    if (Trim(imported.CompName) == Trim(model.CompName) &&
        Trim(imported.Date1) == Trim(model.Date1))
        return;
    throw TInteropError(
        QStringLiteral("Die Ausschreibung gehört zu „%1“ (%2), die Austauschdatei zu „%3“ (%4); "
                       "nichts geschrieben")
            .arg(AnsiToQString(Trim(imported.CompName)), AnsiToQString(Trim(imported.Date1)),
                 AnsiToQString(Trim(model.CompName)), AnsiToQString(Trim(model.Date1))));
}

// Errors of the invitation name its file: the export may be about another.
TInvitation readMatchingInvitation(const std::string& path, const TMeldeAustausch& model,
                                   QStringList* notes) {
    try {
        TInvitation invitation = ReadInvitationFile(path, notes);
        checkSameMeet(invitation, model);
        return invitation;
    } catch (const TInteropError& error) {
        throw TInteropError(QString::fromLocal8Bit(path) + QStringLiteral(": ") + error.Text());
    }
}

bool isKeptInvitationName(const std::filesystem::path& path) {
    const QString name = QString::fromLocal8Bit(path.filename().string());
    for (const FormatFile& file : FormatFiles) {
        const QString kept = QLatin1StringView(file.KeptName);
        if (name.compare(kept, Qt::CaseInsensitive) == 0 ||
            name.endsWith(u'.' + kept, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
} // namespace

QString ExportSummaryText(const TExportSummary& summary) {
    return AnsiToQString(CountText(summary.Nominations, "Meldung", "Meldungen") + ", " +
                         CountText(summary.Swimmers, "Schwimmer", "Schwimmer") + ", " +
                         CountText(summary.Relays, "Staffel", "Staffeln"));
}

QString ImportSummaryText(const TMeldeAustausch& model) {
    return AnsiToQString(CountText(model.EventCount(), "Wettkampf", "Wettk\xE4mpfe") + " in " +
                         CountText(model.AbsCnt, "Abschnitt", "Abschnitten"));
}

TExportSummary ExportEntries(const TMeldeAustausch& model, const std::string& out,
                             const std::optional<std::string>& invitationPath, QStringList* notes,
                             const TCompanion& companion) {
    const FormatFile& file = formatFile(out);
    const TFormat format = file.Format;
    TInvitation invitation = invitationPath ? readMatchingInvitation(*invitationPath, model, notes)
                                            : InvitationFromModel(model);
    const TClubEntries entries = CollectClubEntries(model, invitation, true, companion);
    const TEntryStaff staff = CollectStaff(companion, invitation, notes);
    if (notes && format != TFormat::Dsv && !staff.Trainers.empty())
        notes->append(QStringLiteral("Lenex kennt keine Trainer; der Trainer fehlt in der Datei"));
    QByteArray bytes;
    switch (format) {
    case TFormat::Lef:
        bytes = WriteLenexEntries(model, invitation, companion);
        break;
    case TFormat::Lxf: {
        const std::string stem = std::filesystem::path(out).stem().string();
        bytes = PackLxf(WriteLenexEntries(model, invitation, companion),
                        QString::fromLocal8Bit(stem) + QStringLiteral(".lef"));
        break;
    }
    case TFormat::Dsv:
        // The name says the version: a Format 8 list named .dsv7 would mislead the host.
        invitation.DsvVersion = file.DsvVersion;
        bytes = WriteDsv7Entries(model, invitation, notes, companion);
        break;
    }
    WriteFileAtomically(out, std::string_view(bytes.constData(), bytes.size()));
    TExportSummary summary;
    summary.Swimmers = static_cast<int>(entries.Swimmers.size());
    summary.Relays = static_cast<int>(entries.Relays.size());
    summary.Nominations = summary.Relays;
    for (const TEntrySwimmer& swimmer : entries.Swimmers)
        summary.Nominations += static_cast<int>(swimmer.Starts.size());
    return summary;
}

TInvitation KeptOrOwnInvitation(const std::string& exchangePath, const TMeldeAustausch& model,
                                QStringList& notes) {
    if (const auto kept = FindKeptInvitation(exchangePath, model)) {
        try {
            return ReadInvitationFile(*kept);
        } catch (const TInteropError& error) {
            notes << QStringLiteral("Die aufbewahrte Ausschreibung %1 ist nicht lesbar: %2")
                         .arg(QString::fromStdString(*kept), error.Text());
        } catch (const TIoError& error) {
            notes << QStringLiteral("Die aufbewahrte Ausschreibung %1 ist nicht lesbar: %2")
                         .arg(QString::fromStdString(*kept), AnsiToQString(error.what()));
        }
    }
    return InvitationFromModel(model);
}

TMeetFees KeptMeetFees(const std::string& exchangePath, const TMeldeAustausch& model) {
    const std::optional<std::string> kept = FindKeptInvitation(exchangePath, model);
    try {
        return kept ? MeetFeesOf(ReadInvitationFile(*kept)) : TMeetFees();
    } catch (const TInteropError&) {
        return {};
    }
}

std::string KeptInvitationPath(const std::string& exchangePath, const std::string& invitationPath) {
    return keptPath(exchangePath, formatFile(invitationPath)).string();
}

std::optional<std::string> FindKeptInvitation(const std::string& exchangePath,
                                              const TMeldeAustausch& model) {
    std::error_code error;
    for (const FormatFile& file : FormatFiles) {
        const std::filesystem::path kept = keptPath(exchangePath, file);
        if (std::filesystem::is_regular_file(kept, error))
            return kept.string();
    }
    for (const FormatFile& file : FormatFiles) {
        const std::filesystem::path shared = folderOf(exchangePath) / file.KeptName;
        if (!std::filesystem::is_regular_file(shared, error))
            continue;
        try {
            checkSameMeet(ReadInvitationFile(shared.string()), model);
            return shared.string();
        } catch (const TInteropError&) {
            // Another competition's invitation, or none this program can read.
        }
    }
    return std::nullopt;
}

void KeepInvitation(const std::string& invitationPath, const std::string& exchangePath) {
    const FormatFile& format = formatFile(invitationPath);
    const std::filesystem::path target = keptPath(exchangePath, format);
    std::error_code error;
    if (!std::filesystem::equivalent(invitationPath, target, error)) {
        const std::string bytes = ReadWholeFile(invitationPath);
        if (format.Format == TFormat::Dsv) {
            const QByteArray text = UnpackFormatFile(bytesOf(bytes));
            WriteFileAtomically(target.string(), std::string_view(text.constData(), text.size()));
        } else {
            WriteFileAtomically(target.string(), bytes);
        }
    }
    // One kept invitation only: another format's copy would be found first.
    for (const FormatFile& file : FormatFiles) {
        const std::filesystem::path other = keptPath(exchangePath, file);
        if (std::string_view(file.KeptName) != format.KeptName && std::remove(other.c_str()) != 0 &&
            errno != ENOENT)
            throw TIoError::fromErrno(errno);
    }
}

void CheckExportTarget(const std::string& exchangePath, const std::string& out) {
    std::error_code error;
    if (std::filesystem::equivalent(out, exchangePath, error))
        throw TInteropError(QStringLiteral("Das ist die Austauschdatei selbst; die Meldung braucht "
                                           "eine eigene Datei"));
    if (isKeptInvitationName(out))
        throw TInteropError(QStringLiteral("Unter diesem Namen wird eine Ausschreibung aufbewahrt, "
                                           "die der Export nicht überschreibt; bitte einen anderen "
                                           "Namen wählen"));
}

std::optional<std::string> ExchangeFileOfKept(const std::string& invitationPath) {
    const std::filesystem::path invitation(invitationPath);
    const std::string name = invitation.filename().string();
    for (const FormatFile& file : FormatFiles) {
        const std::string suffix = std::string(".") + file.KeptName;
        if (name.size() <= suffix.size() ||
            QString::fromLocal8Bit(name.substr(name.size() - suffix.size()))
                    .compare(QLatin1StringView(suffix.c_str()), Qt::CaseInsensitive) != 0)
            continue;
        const std::filesystem::path exchange =
            invitation.parent_path() / (name.substr(0, name.size() - suffix.size()) + ".NT2");
        std::error_code error;
        if (std::filesystem::is_regular_file(exchange, error))
            return exchange.string();
    }
    return std::nullopt;
}

std::string KeepBackupCopy(const std::string& exchangePath, const QDateTime& when) {
    const std::filesystem::path exchange(exchangePath);
    const std::filesystem::path backup =
        folderOf(exchangePath) /
        (exchange.stem().string() + '_' +
         when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")).toStdString() +
         exchange.extension().string());
    WriteFileAtomically(backup.string(), ReadWholeFile(exchangePath));
    for (const FormatFile& file : FormatFiles) {
        const std::filesystem::path kept = keptPath(exchangePath, file);
        std::error_code error;
        if (std::filesystem::is_regular_file(kept, error))
            WriteFileAtomically(keptPath(backup.string(), file).string(),
                                ReadWholeFile(kept.string()));
    }
    std::error_code error;
    if (std::filesystem::is_regular_file(CompanionPath(exchangePath), error))
        WriteFileAtomically(CompanionPath(backup.string()),
                            ReadWholeFile(CompanionPath(exchangePath)));
    return backup.string();
}
