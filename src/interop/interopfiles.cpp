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

namespace {

enum class TFormat { Lef, Lxf, Dsv7 };

struct FormatFile {
    TFormat Format;
    const char* Extension; // lower case
    const char* KeptName;  // the kept invitation beside the exchange file
};
constexpr FormatFile FormatFiles[] = {
    {TFormat::Lxf, ".lxf", "AUSSCHREIBUNG.lxf"},
    {TFormat::Lef, ".lef", "AUSSCHREIBUNG.lef"},
    {TFormat::Dsv7, ".dsv7", "AUSSCHREIBUNG.DSV7"},
};

const FormatFile& formatFile(const std::string& path) {
    const QString extension =
        QString::fromStdString(std::filesystem::path(path).extension().string()).toLower();
    for (const FormatFile& file : FormatFiles) {
        if (extension == QLatin1StringView(file.Extension))
            return file;
    }
    throw TInteropError(QStringLiteral("%1: unbekanntes Format, erwartet wird eine Datei mit "
                                       ".lef, .lxf oder .dsv7")
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

TInvitation ReadInvitationFile(const std::string& path) {
    const TFormat format = formatFile(path).Format;
    const QByteArray bytes = bytesOf(ReadWholeFile(path));
    switch (format) {
    case TFormat::Lef:
        return ReadLenexInvitation(bytes);
    case TFormat::Lxf:
        return ReadLenexInvitation(UnpackLxf(bytes));
    case TFormat::Dsv7:
        break;
    }
    return ReadDsv7Invitation(bytes);
}

namespace {
// Errors of the invitation name its file: the export may be about another.
TInvitation readNamedInvitation(const std::string& path) {
    try {
        return ReadInvitationFile(path);
    } catch (const TInteropError& error) {
        throw TInteropError(QString::fromLocal8Bit(path) + QStringLiteral(": ") + error.Text());
    }
}
} // namespace

void ExportEntries(const TMeldeAustausch& model, const std::string& out,
                   const std::optional<std::string>& invitationPath) {
    const TFormat format = formatFile(out).Format;
    const TInvitation invitation =
        invitationPath ? readNamedInvitation(*invitationPath) : InvitationFromModel(model);
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
    case TFormat::Dsv7:
        bytes = WriteDsv7Entries(model, invitation);
        break;
    }
    WriteFileAtomically(out, std::string_view(bytes.constData(), bytes.size()));
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
    if (!std::filesystem::equivalent(invitationPath, target, error))
        WriteFileAtomically(target.string(), ReadWholeFile(invitationPath));
    // One kept invitation only: another format's copy would be found first.
    for (const FormatFile& file : FormatFiles) {
        const std::filesystem::path other = folderOf(exchangePath) / file.KeptName;
        if (&file != &format && std::remove(other.c_str()) != 0 && errno != ENOENT)
            throw TIoError::fromErrno(errno);
    }
}
