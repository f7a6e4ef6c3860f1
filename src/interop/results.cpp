// SPDX-License-Identifier: GPL-3.0-or-later
#include "results.h"

#include <QRegularExpression>

#include "atomicfile.h"
#include "conversions.h"
#include "dsv7.h"
#include "invitation.h"
#include "lenex.h"
#include "lxfarchive.h"

namespace {

bool isZip(const QByteArray& bytes) {
    return bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
}

// The end of the markup that opens at `at` ("<?…?>", "<!--…-->", "<!DOCTYPE … [ … ]>").
qsizetype markupEnd(QByteArrayView bytes, qsizetype at) {
    if (bytes.sliced(at).startsWith("<!--")) {
        const qsizetype end = bytes.indexOf("-->", at + 4);
        return end < 0 ? end : end + 3;
    }
    const char closing = bytes.sliced(at).startsWith("<?") ? '?' : 0;
    int brackets = 0;
    for (qsizetype i = at + 2; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '[')
            ++brackets;
        else if (c == ']')
            --brackets;
        else if (c == '>' && brackets <= 0 && (closing == 0 || bytes[i - 1] == closing))
            return i + 1;
    }
    return -1;
}

} // namespace

// The root element after the XML declaration, comments and a document type of any length;
// the exchange file's tags are others.
bool IsLenexDocument(const QByteArray& document) {
    const QByteArrayView bytes(document);
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at >= 0 && at < bytes.size()) {
        const char c = bytes[at];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++at;
        } else if (bytes.sliced(at).startsWith("<?") || bytes.sliced(at).startsWith("<!")) {
            at = markupEnd(bytes, at);
        } else {
            return bytes.sliced(at).startsWith("<LENEX");
        }
    }
    return false;
}

bool IsFormatFile(const QByteArray& bytes) {
    if (isZip(bytes) || IsLenexDocument(bytes))
        return true;
    // DSV: a FORMAT record, perhaps after comment lines.
    static const QRegularExpression format(QStringLiteral("^\\s*FORMAT\\s*:"),
                                           QRegularExpression::MultilineOption);
    return format.match(QString::fromLatin1(bytes.left(4096))).hasMatch();
}

std::vector<TSwim> ReadResultFile(const std::string& path, const TClubFilter& filter,
                                  QStringList* notes) {
    const std::string content = ReadWholeFile(path);
    const QByteArray bytes(content.data(), static_cast<qsizetype>(content.size()));
    try {
        const QByteArray text = UnpackFormatFile(bytes);
        if (IsLenexDocument(text))
            return ReadLenexResults(text, filter, notes);
        return ReadDsv7Results(text, filter, notes);
    } catch (const TInteropError& error) {
        throw TInteropError(QString::fromLocal8Bit(path) + QStringLiteral(": ") + error.Text());
    }
}
