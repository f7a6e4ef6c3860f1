// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmertexts.h"

#include "ansi.h"
#include "swimmerstore.h"

using namespace Qt::StringLiterals;

namespace {
const QString DateFormat = u"dd.MM.yyyy"_s;
}

QString sexName(std::uint8_t sex) {
    switch (sex) {
    case 0:
        return u"männlich"_s;
    case 1:
        return u"weiblich"_s;
    default:
        return u"mixed"_s;
    }
}

QString swimmerLine(const TSwimmer& swimmer) {
    QStringList parts = {fromAnsi(swimmer.Name), QString::number(swimmer.BirthYear),
                         sexName(swimmer.Sex)};
    if (!swimmer.RegNr.empty())
        parts << fromAnsi(swimmer.RegNr);
    return parts.join(u" · "_s);
}

QString unsplittableNameMessage() {
    return u"Name nicht eindeutig in Vorname und Nachname trennbar!\r"
           u"Bitte geben Sie den Namen im Format NACHNAME, VORNAME ein!"_s;
}

QString germanDate(QDate date) {
    return date.isValid() ? date.toString(DateFormat) : QString();
}

QDate competitionDate(const std::string& date1) {
    return QDate::fromString(fromAnsi(date1).trimmed(), DateFormat);
}
