// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultfields.h"

#include <QRegularExpression>

#include "conversions.h"
#include "interoptext.h"

QString ComparableClubName(const QString& name) {
    static const QRegularExpression legalForm(QStringLiteral("(^|[\\s.,])e\\.?\\s*v\\.?$"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString text = name.trimmed();
    const QRegularExpressionMatch match = legalForm.match(text);
    if (match.hasMatch())
        text.truncate(match.capturedStart() + match.capturedLength(1));
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text.toCaseFolded();
}

bool TClubFilter::Takes(const QString& clubId, const QString& clubName) const {
    if (AllClubs)
        return true;
    const QString ownId = AnsiToQString(Trim(ClubId));
    if (!ownId.isEmpty() && !clubId.trimmed().isEmpty())
        return ownId == clubId.trimmed();
    const QString ownName = ComparableClubName(AnsiToQString(ClubName));
    return !ownName.isEmpty() && ownName == ComparableClubName(clubName);
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
