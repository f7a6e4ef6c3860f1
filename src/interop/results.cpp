// SPDX-License-Identifier: GPL-3.0-or-later
#include "results.h"

#include <QRegularExpression>

#include "atomicfile.h"
#include "conversions.h"
#include "dsv7.h"
#include "invitation.h"
#include "lenex.h"
#include "lxfarchive.h"

bool TClubFilter::Takes(const QString& clubId, const QString& clubName) const {
    if (AllClubs)
        return true;
    const QString ownId = AnsiToQString(Trim(ClubId));
    if (!ownId.isEmpty() && !clubId.trimmed().isEmpty())
        return ownId == clubId.trimmed();
    const QString ownName = AnsiToQString(Trim(ClubName));
    return !ownName.isEmpty() && ownName.compare(clubName.trimmed(), Qt::CaseInsensitive) == 0;
}

std::optional<int> ReadSwimTime(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^(\\d\\d):([0-5]\\d):([0-5]\\d)[.,](\\d\\d)$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return ((match.captured(1).toInt() * 60 + match.captured(2).toInt()) * 60 +
            match.captured(3).toInt()) *
               100 +
           match.captured(4).toInt();
}

std::chrono::year_month_day SwimDate(const QDate& date) {
    return std::chrono::year_month_day(std::chrono::year(date.year()),
                                       std::chrono::month(unsigned(date.month())),
                                       std::chrono::day(unsigned(date.day())));
}

namespace {

bool isZip(const QByteArray& bytes) {
    return bytes.startsWith("PK\x03\x04");
}

// The root element near the start, after an XML declaration and comments; the exchange file's
// tags are others.
bool isLenex(const QByteArray& bytes) {
    return bytes.left(4096).contains("<LENEX");
}

} // namespace

bool IsFormatFile(const QByteArray& bytes) {
    if (isZip(bytes) || isLenex(bytes))
        return true;
    // DSV: a FORMAT record, perhaps after comment lines.
    static const QRegularExpression format(QStringLiteral("^\\s*FORMAT\\s*:"),
                                           QRegularExpression::MultilineOption);
    return format.match(QString::fromLatin1(bytes.left(4096))).hasMatch();
}

std::vector<TSwim> ReadResultFile(const std::string& path, const TClubFilter& filter) {
    const std::string content = ReadWholeFile(path);
    const QByteArray bytes(content.data(), static_cast<qsizetype>(content.size()));
    try {
        if (isZip(bytes))
            return ReadLenexResults(UnpackLxf(bytes), filter);
        if (isLenex(bytes))
            return ReadLenexResults(bytes, filter);
        return ReadDsv7Results(bytes, filter);
    } catch (const TInteropError& error) {
        throw TInteropError(QString::fromLocal8Bit(path) + QStringLiteral(": ") + error.Text());
    }
}
