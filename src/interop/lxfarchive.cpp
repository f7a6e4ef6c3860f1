// SPDX-License-Identifier: GPL-3.0-or-later
#include "lxfarchive.h"

#include <zip.h>

#include <memory>

#include "invitation.h"

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

[[noreturn]] void fail(const QString& text) {
    throw TInteropError(QStringLiteral("Lenex-Archiv (.lxf): ") + text);
}

QByteArray readEntry(zip_t* archive, zip_uint64_t index) {
    zip_stat_t info;
    zip_stat_init(&info);
    if (zip_stat_index(archive, index, 0, &info) != 0 || !(info.valid & ZIP_STAT_SIZE))
        fail(QStringLiteral("die .lef-Datei darin ist nicht lesbar"));
    if (info.size > LargestLef)
        fail(QStringLiteral("die .lef-Datei darin ist zu groß"));
    std::unique_ptr<zip_file_t, EntryCloser> file(zip_fopen_index(archive, index, 0));
    if (!file)
        fail(QStringLiteral("die .lef-Datei darin ist nicht lesbar"));
    QByteArray bytes(static_cast<qsizetype>(info.size), Qt::Uninitialized);
    const zip_int64_t read = zip_fread(file.get(), bytes.data(), info.size);
    if (read < 0 || static_cast<zip_uint64_t>(read) != info.size)
        fail(QStringLiteral("die .lef-Datei darin ist beschädigt"));
    return bytes;
}

} // namespace

QByteArray UnpackLxf(const QByteArray& packed) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(packed.constData(), packed.size(), 0, &error);
    if (!source)
        fail(QStringLiteral("nicht lesbar"));
    Archive archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        fail(QStringLiteral("die Datei ist kein ZIP-Archiv"));
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    zip_int64_t lef = -1;
    for (zip_int64_t index = 0; index < count; ++index) {
        const QString name = QString::fromUtf8(zip_get_name(archive.get(), index, 0));
        if (name.endsWith(u'/') || !name.endsWith(QStringLiteral(".lef"), Qt::CaseInsensitive))
            continue;
        if (lef >= 0)
            fail(QStringLiteral("das Archiv enthält mehr als eine .lef-Datei"));
        lef = index;
    }
    if (lef < 0)
        fail(QStringLiteral("das Archiv enthält keine .lef-Datei"));
    return readEntry(archive.get(), static_cast<zip_uint64_t>(lef));
}

QByteArray PackLxf(const QByteArray& lef, const QString& entryName) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!target)
        fail(QStringLiteral("kein Speicher"));
    zip_source_keep(target); // it must outlive the archive, which writes into it on closing
    const auto cleanUp =
        std::unique_ptr<zip_source_t, decltype(&zip_source_free)>(target, &zip_source_free);
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(target); // the reference the archive would have taken
        fail(QStringLiteral("Archiv nicht anzulegen"));
    }
    zip_source_t* content = zip_source_buffer(archive, lef.constData(), lef.size(), 0);
    const QByteArray name = entryName.toUtf8();
    const zip_int64_t index =
        content ? zip_file_add(archive, name.constData(), content, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        if (content)
            zip_source_free(content);
        zip_discard(archive);
        fail(QStringLiteral("Eintrag nicht anzulegen"));
    }
    if (zip_set_file_compression(archive, index, ZIP_CM_DEFLATE, 0) != 0 ||
        zip_close(archive) != 0) {
        zip_discard(archive);
        fail(QStringLiteral("Archiv nicht zu schreiben"));
    }
    zip_stat_t info;
    zip_stat_init(&info);
    if (zip_source_stat(target, &info) != 0 || zip_source_open(target) != 0)
        fail(QStringLiteral("Archiv nicht zu lesen"));
    QByteArray packed(static_cast<qsizetype>(info.size), Qt::Uninitialized);
    const zip_int64_t read = zip_source_read(target, packed.data(), info.size);
    zip_source_close(target);
    if (read < 0 || static_cast<zip_uint64_t>(read) != info.size)
        fail(QStringLiteral("Archiv nicht zu lesen"));
    return packed;
}
