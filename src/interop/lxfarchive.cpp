// SPDX-License-Identifier: GPL-3.0-or-later
#include "lxfarchive.h"

#include <zip.h>

#include <QStringList>

#include <algorithm>
#include <memory>

#include "interoptext.h"

namespace {

// An invitation is a few hundred kilobytes; an entry claiming more is no invitation.
constexpr zip_uint64_t LargestLef = 64 * 1024 * 1024;

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// The archive kinds: a zipped Lenex file holds one .lef, a packed DSV list one .DSV8 (or .DSV7);
// a file told by its content alone may be either.
struct ArchiveKind {
    const char* Label;
    const char* EntryText; // the entry in messages
    QStringList Suffixes;
};
const ArchiveKind LenexArchive = {"Lenex-Archiv (.lxf)", ".lef-Datei", {QStringLiteral(".lef")}};
const ArchiveKind AnyArchive = {
    "Archiv",
    "Lenex- oder DSV-Datei",
    {QStringLiteral(".lef"), QStringLiteral(".dsv8"), QStringLiteral(".dsv7")}};

[[noreturn]] void fail(const ArchiveKind& kind, const QString& text) {
    throw TInteropError(QString::fromUtf8(kind.Label) + QStringLiteral(": ") +
                        text.arg(QString::fromUtf8(kind.EntryText)));
}

QByteArray readEntry(const ArchiveKind& kind, zip_t* archive, zip_uint64_t index) {
    zip_stat_t info;
    zip_stat_init(&info);
    if (zip_stat_index(archive, index, 0, &info) != 0 || !(info.valid & ZIP_STAT_SIZE))
        fail(kind, QStringLiteral("die %1 darin ist nicht lesbar"));
    if (info.size > LargestLef)
        fail(kind, QStringLiteral("die %1 darin ist zu groß"));
    std::unique_ptr<zip_file_t, EntryCloser> file(zip_fopen_index(archive, index, 0));
    if (!file)
        fail(kind, QStringLiteral("die %1 darin ist nicht lesbar"));
    QByteArray bytes(static_cast<qsizetype>(info.size), Qt::Uninitialized);
    const zip_int64_t read = zip_fread(file.get(), bytes.data(), info.size);
    if (read < 0 || static_cast<zip_uint64_t>(read) != info.size)
        fail(kind, QStringLiteral("die %1 darin ist beschädigt"));
    return bytes;
}

QByteArray unpack(const QByteArray& packed, const ArchiveKind& kind) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(packed.constData(), packed.size(), 0, &error);
    if (!source)
        fail(kind, QStringLiteral("nicht lesbar"));
    Archive archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        fail(kind, QStringLiteral("die Datei ist kein ZIP-Archiv"));
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    zip_int64_t lef = -1;
    for (zip_int64_t index = 0; index < count; ++index) {
        const QString name = QString::fromUtf8(zip_get_name(archive.get(), index, 0));
        const bool wanted =
            std::any_of(kind.Suffixes.begin(), kind.Suffixes.end(), [&](const QString& suffix) {
                return name.endsWith(suffix, Qt::CaseInsensitive);
            });
        if (name.endsWith(u'/') || !wanted)
            continue;
        if (lef >= 0)
            fail(kind, QStringLiteral("das Archiv enthält mehr als eine %1"));
        lef = index;
    }
    if (lef < 0)
        fail(kind, QStringLiteral("das Archiv enthält keine %1"));
    return readEntry(kind, archive.get(), static_cast<zip_uint64_t>(lef));
}

} // namespace

QByteArray UnpackFormatFile(const QByteArray& bytes) {
    // An empty archive starts PK 05 06 and holds nothing to read.
    if (!bytes.startsWith("PK\x03\x04") && !bytes.startsWith("PK\x05\x06"))
        return bytes;
    return unpack(bytes, AnyArchive);
}

QByteArray PackLxf(const QByteArray& lef, const QString& entryName) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!target)
        fail(LenexArchive, QStringLiteral("kein Speicher"));
    zip_source_keep(target); // it must outlive the archive, which writes into it on closing
    const auto cleanUp =
        std::unique_ptr<zip_source_t, decltype(&zip_source_free)>(target, &zip_source_free);
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(target); // the reference the archive would have taken
        fail(LenexArchive, QStringLiteral("Archiv nicht anzulegen"));
    }
    zip_source_t* content = zip_source_buffer(archive, lef.constData(), lef.size(), 0);
    const QByteArray name = entryName.toUtf8();
    const zip_int64_t index =
        content ? zip_file_add(archive, name.constData(), content, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        if (content)
            zip_source_free(content);
        zip_discard(archive);
        fail(LenexArchive, QStringLiteral("Eintrag nicht anzulegen"));
    }
    if (zip_set_file_compression(archive, index, ZIP_CM_DEFLATE, 0) != 0 ||
        zip_close(archive) != 0) {
        zip_discard(archive);
        fail(LenexArchive, QStringLiteral("Archiv nicht zu schreiben"));
    }
    zip_stat_t info;
    zip_stat_init(&info);
    if (zip_source_stat(target, &info) != 0 || zip_source_open(target) != 0)
        fail(LenexArchive, QStringLiteral("Archiv nicht zu lesen"));
    QByteArray packed(static_cast<qsizetype>(info.size), Qt::Uninitialized);
    const zip_int64_t read = zip_source_read(target, packed.data(), info.size);
    zip_source_close(target);
    if (read < 0 || static_cast<zip_uint64_t>(read) != info.size)
        fail(LenexArchive, QStringLiteral("Archiv nicht zu lesen"));
    return packed;
}
