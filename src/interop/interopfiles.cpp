// SPDX-License-Identifier: GPL-3.0-or-later
#include "interopfiles.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "atomicfile.h"
#include "dsv7.h"
#include "ioerror.h"
#include "lenex.h"
#include "lxfarchive.h"
#include "results.h"

namespace {

enum class TFormat { Lef, Lxf, Dsv };

struct FormatFile {
    TFormat Format;
    const char* Extension; // lower case
    const char* KeptName;  // the kept invitation beside the exchange file
};
// A packed DSV list is kept unpacked. The DSV version comes from the file's FORMAT line.
constexpr FormatFile FormatFiles[] = {
    {TFormat::Lxf, ".lxf", "AUSSCHREIBUNG.lxf"},    {TFormat::Lef, ".lef", "AUSSCHREIBUNG.lef"},
    {TFormat::Dsv, ".dsv7", "AUSSCHREIBUNG.DSV7"},  {TFormat::Dsv, ".dsv8", "AUSSCHREIBUNG.DSV8"},
    {TFormat::Dsv, ".dsv8z", "AUSSCHREIBUNG.DSV8"},
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

TInvitation ReadInvitationFile(const std::string& path, QStringList* notes) {
    formatFile(path);
    // Hosts' files carry wrong extensions: the content tells Lenex from DSV.
    const QByteArray bytes = UnpackFormatFile(bytesOf(ReadWholeFile(path)));
    if (IsLenexDocument(bytes))
        return ReadLenexInvitation(bytes);
    return ReadDsv7Invitation(bytes, notes);
}

namespace {
// Errors of the invitation name its file: the export may be about another.
TInvitation readNamedInvitation(const std::string& path, QStringList* notes) {
    try {
        return ReadInvitationFile(path, notes);
    } catch (const TInteropError& error) {
        throw TInteropError(QString::fromLocal8Bit(path) + QStringLiteral(": ") + error.Text());
    }
}
} // namespace

void ExportEntries(const TMeldeAustausch& model, const std::string& out,
                   const std::optional<std::string>& invitationPath, QStringList* notes) {
    const TFormat format = formatFile(out).Format;
    const TInvitation invitation =
        invitationPath ? readNamedInvitation(*invitationPath, notes) : InvitationFromModel(model);
    QByteArray bytes;
    switch (format) {
    case TFormat::Lef:
        bytes = WriteLenexEntries(model, invitation);
        break;
    case TFormat::Lxf: {
        const std::string stem = std::filesystem::path(out).stem().string();
        bytes = PackLxf(WriteLenexEntries(model, invitation),
                        QString::fromLocal8Bit(stem) + QStringLiteral(".lef"));
        break;
    }
    case TFormat::Dsv:
        bytes = WriteDsv7Entries(model, invitation, notes);
        break;
    }
    WriteFileAtomically(out, std::string_view(bytes.constData(), bytes.size()));
}

TMeetFees KeptMeetFees(const std::string& exchangePath) {
    const std::optional<std::string> kept = FindKeptInvitation(exchangePath);
    try {
        return kept ? MeetFeesOf(ReadInvitationFile(*kept)) : TMeetFees();
    } catch (const TInteropError&) {
        return {};
    }
}

std::optional<std::string> FindKeptInvitation(const std::string& exchangePath) {
    for (const FormatFile& file : FormatFiles) {
        const std::filesystem::path kept = folderOf(exchangePath) / file.KeptName;
        std::error_code error;
        if (std::filesystem::is_regular_file(kept, error))
            return kept.string();
    }
    return std::nullopt;
}

void KeepInvitation(const std::string& invitationPath, const std::string& exchangePath) {
    const FormatFile& format = formatFile(invitationPath);
    const std::filesystem::path target = folderOf(exchangePath) / format.KeptName;
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
        const std::filesystem::path other = folderOf(exchangePath) / file.KeptName;
        if (std::string_view(file.KeptName) != format.KeptName && std::remove(other.c_str()) != 0 &&
            errno != ENOENT)
            throw TIoError::fromErrno(errno);
    }
}
