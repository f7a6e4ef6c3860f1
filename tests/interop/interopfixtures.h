// SPDX-License-Identifier: GPL-3.0-or-later
// The invented meet of the format samples, the club that enters it, and hand-made Lenex
// invitations for the cases the samples do not show.
#pragma once

#include <QFile>
#include <QStringList>
#include <QXmlStreamReader>

#include <map>

#include "conversions.h"
#include "meldeaustausch.h"
#include "windows1252.h"

inline const QString InteropDataDir = QStringLiteral(TEST_DATA_DIR "/interop/");

inline QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

inline std::string toAnsi(const QString& text) {
    std::string bytes;
    for (const char32_t c : text.toUcs4())
        bytes += static_cast<char>(UnicodeToAnsi(c));
    return bytes;
}

// The club of the entries samples and its thirteen nominations (events of the sample meet).
inline void enterSampleClub(TMeldeAustausch& model) {
    model.ClubName = toAnsi(QStringLiteral("SV Blau-Weiß Beispielhausen"));
    model.ClubId = "5432";
    model.Verband = 9;
    model.Fina = "GER";
    model.Person = "Kraus, Martina";
    model.Street = "Am Sportplatz 3";
    model.Zip = "31999";
    model.ClubPlace = "Beispielhausen";
    model.Fon = "0123 456789";
    model.EMail = "meldung@example.org";
    struct Row {
        const char* Name;
        int Year;
        int Sex;
        int Event;
        const char* Time;
        const char* RegNr;
    };
    const Row rows[] = {
        {"Frühling, Emma", 2015, 1, 6, "03:58,00", "900102"},
        {"Frühling, Emma", 2015, 1, 8, "01:35,10", "900102"},
        {"Groß, Ben", 2014, 0, 2, "", "900104"},
        {"Groß, Ben", 2014, 0, 9, "01:38,40", "900104"},
        {"Herbst, Mia", 2016, 1, 3, "00:44,10", "900105"},
        {"Herbst, Mia", 2016, 1, 10, "", "900105"},
        {"Sommer, Lea", 2013, 1, 1, "01:12,34", "900101"},
        {"Sommer, Lea", 2013, 1, 6, "", "900101"},
        {"Staffel, 1", 2013, 2, 4, "02:48,50", ""},
        {"Staffel, 1", 2012, 0, 7, "", ""},
        {"Winter, Jonas", 2012, 0, 2, "01:05,80", "900103"},
        {"Winter, Jonas", 2012, 0, 5, "00:31,95", "900103"},
        {"Wolf, Noah", 2015, 0, 9, "", ""},
    };
    for (const Row& row : rows) {
        TNominRecord nomin;
        nomin.Name = toAnsi(QString::fromUtf8(row.Name));
        nomin.BirthYear = row.Year;
        nomin.Sex = static_cast<std::uint8_t>(row.Sex);
        nomin.WkNr = row.Event * 1000;
        nomin.Time = *row.Time ? TimeTextToHundredths(row.Time) : NoTime;
        nomin.RegNr = row.RegNr;
        model.SetNomin(model.NominCount() + 1, nomin);
    }
}

// Every element of a Lenex document as one line "PATH a=1 b=2" (attributes sorted), leaving
// out the subtrees named in `skipped`.
inline QStringList flattenLenex(const QByteArray& bytes, const QStringList& skipped = {}) {
    QStringList lines;
    QStringList path;
    QXmlStreamReader xml(bytes);
    while (xml.readNext() != QXmlStreamReader::EndDocument && !xml.hasError()) {
        if (xml.isStartElement()) {
            if (skipped.contains(xml.name().toString())) {
                xml.skipCurrentElement();
                continue;
            }
            path << xml.name().toString();
            QStringList attributes;
            for (const QXmlStreamAttribute& attribute : xml.attributes())
                attributes << attribute.name().toString() + u'=' + attribute.value().toString();
            attributes.sort();
            lines << path.join(u'/') + u' ' + attributes.join(u' ');
        } else if (xml.isEndElement()) {
            path.removeLast();
        }
    }
    if (xml.hasError())
        lines << QStringLiteral("XML-Fehler: ") + xml.errorString();
    return lines;
}

// ---- The Lenex 3.0 rules for the elements an entries file may hold ----

// Element and attribute names, Latin-1, from plain literals (the windows' tests read them too,
// where no QString comes from a char literal by itself).
struct LenexNames : QStringList {
    LenexNames(std::initializer_list<const char*> names) {
        for (const char* name : names)
            append(QString::fromLatin1(name));
    }
};

struct LenexElementRule {
    LenexNames Required, Optional, Children;
};

inline const std::map<QString, LenexElementRule> LenexEntriesRules = {
    {QStringLiteral("LENEX"), {{"version"}, {}, {"CONSTRUCTOR", "MEETS"}}},
    {QStringLiteral("CONSTRUCTOR"), {{"name", "registration", "version"}, {}, {"CONTACT"}}},
    {QStringLiteral("CONTACT"),
     {{}, {"name", "street", "zip", "city", "phone", "fax", "email", "mobile"}, {}}},
    {QStringLiteral("MEETS"), {{}, {}, {"MEET"}}},
    {QStringLiteral("MEET"),
     {{"name", "city", "nation"}, {"course"}, {"AGEDATE", "SESSIONS", "CLUBS"}}},
    {QStringLiteral("AGEDATE"), {{"type", "value"}, {}, {}}},
    {QStringLiteral("SESSIONS"), {{}, {}, {"SESSION"}}},
    {QStringLiteral("SESSION"), {{"number", "date"}, {"daytime"}, {"EVENTS"}}},
    {QStringLiteral("EVENTS"), {{}, {}, {"EVENT"}}},
    {QStringLiteral("EVENT"),
     {{"eventid", "number"}, {"gender", "round", "preveventid"}, {"SWIMSTYLE", "AGEGROUPS"}}},
    {QStringLiteral("SWIMSTYLE"),
     {{"distance", "relaycount", "stroke"}, {"technique", "name"}, {}}},
    {QStringLiteral("AGEGROUPS"), {{}, {}, {"AGEGROUP"}}},
    {QStringLiteral("AGEGROUP"),
     {{"agegroupid", "agemin", "agemax"}, {"calculate", "name", "gender"}, {}}},
    {QStringLiteral("CLUBS"), {{}, {}, {"CLUB"}}},
    {QStringLiteral("CLUB"),
     {{"name"}, {"code", "nation", "region"}, {"CONTACT", "ATHLETES", "RELAYS", "OFFICIALS"}}},
    {QStringLiteral("OFFICIALS"), {{}, {}, {"OFFICIAL"}}},
    {QStringLiteral("OFFICIAL"),
     {{"officialid", "lastname", "firstname"}, {"gender", "grade", "license", "nation"}, {}}},
    {QStringLiteral("ATHLETES"), {{}, {}, {"ATHLETE"}}},
    {QStringLiteral("ATHLETE"),
     {{"athleteid", "lastname", "firstname", "birthdate", "gender"}, {"license"}, {"ENTRIES"}}},
    {QStringLiteral("RELAYS"), {{}, {}, {"RELAY"}}},
    {QStringLiteral("RELAY"),
     {{"gender", "agemin", "agemax", "agetotalmin", "agetotalmax"},
      {"number", "name"},
      {"ENTRIES"}}},
    {QStringLiteral("ENTRIES"), {{}, {}, {"ENTRY"}}},
    {QStringLiteral("ENTRY"), {{"eventid"}, {"entrytime", "agegroupid"}, {"RELAYPOSITIONS"}}},
    {QStringLiteral("RELAYPOSITIONS"), {{}, {}, {"RELAYPOSITION"}}},
    {QStringLiteral("RELAYPOSITION"), {{"number"}, {"athleteid"}, {}}},
};

// The values Lenex defines for the coded attributes; an EVENT's X is for relays only.
inline const std::map<QString, LenexNames> LenexCodes = {
    {QStringLiteral("EVENT gender"), {"A", "M", "F", "X"}},
    {QStringLiteral("EVENT round"),
     {"TIM", "PRE", "TIMETRIAL", "FHT", "FIN", "SEM", "QUA", "SOP", "SOS", "SOQ"}},
    {QStringLiteral("SWIMSTYLE stroke"),
     {"FREE", "BACK", "BREAST", "FLY", "MEDLEY", "IMRELAY", "UNKNOWN"}},
    {QStringLiteral("SWIMSTYLE technique"), {"KICK", "PULL", "START", "TURN", "GLIDE", "DIVE"}},
    {QStringLiteral("ATHLETE gender"), {"M", "F"}},
    {QStringLiteral("OFFICIAL gender"), {"M", "F"}},
    {QStringLiteral("RELAY gender"), {"M", "F", "X"}},
    {QStringLiteral("AGEDATE type"), {"YEAR", "DATE", "POR", "CAN.FNQ", "LUX"}},
    {QStringLiteral("MEET course"),
     {"LCM", "SCM", "SCM16", "SCM20", "SCM33", "SCY", "SCY20", "SCY27", "SCY33", "SCY36", "OPEN"}},
};

// Every breach of the rules above in a written entries file, as "line: text".
inline QStringList lenexStructureBreaches(const QByteArray& bytes) {
    QStringList breaches;
    QStringList open;
    QString eventGender;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const QString where = QString::number(xml.lineNumber()) + QStringLiteral(": ");
        if (token == QXmlStreamReader::EndElement) {
            open.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        const auto rule = LenexEntriesRules.find(name);
        if (rule == LenexEntriesRules.end()) {
            breaches << where + QStringLiteral("unknown element ") + name;
        } else {
            if (!open.isEmpty() && !LenexEntriesRules.at(open.last()).Children.contains(name))
                breaches << where + name + QStringLiteral(" inside ") + open.last();
            for (const QString& required : rule->second.Required) {
                if (!xml.attributes().hasAttribute(required))
                    breaches << where + name + QStringLiteral(" without ") + required;
            }
            for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                const QString key = name + u' ' + attribute.name().toString();
                if (!rule->second.Required.contains(attribute.name().toString()) &&
                    !rule->second.Optional.contains(attribute.name().toString()))
                    breaches << where + QStringLiteral("unknown attribute ") + key;
                const auto codes = LenexCodes.find(key);
                if (codes != LenexCodes.end() &&
                    !codes->second.contains(attribute.value().toString()))
                    breaches << where + key + QStringLiteral("=") + attribute.value().toString();
            }
        }
        if (name == u"EVENT")
            eventGender = xml.attributes().value(QStringLiteral("gender")).toString();
        if (name == u"SWIMSTYLE" && eventGender == u"X" &&
            xml.attributes().value(QStringLiteral("relaycount")) == u"1")
            breaches << where + QStringLiteral("individual EVENT gender=X");
        open << name;
    }
    if (xml.hasError())
        breaches << QStringLiteral("XML: ") + xml.errorString();
    return breaches;
}

// Hand-made invitations: a meet with sessions, a session with events, an event with its style.
inline QByteArray lenexMeet(const QString& sessions, const QString& meetAttributes = {},
                            const QString& meetChildren = {}) {
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<LENEX version=\"3.0\"><MEETS><MEET name=\"Testfest\" "
                           "city=\"Teststadt\" nation=\"GER\" course=\"LCM\" ") +
            meetAttributes + u'>' + meetChildren + QStringLiteral("<SESSIONS>") + sessions +
            QStringLiteral("</SESSIONS></MEET></MEETS></LENEX>\n"))
        .toUtf8();
}

inline QString lenexSession(int number, const QString& date, const QString& daytime,
                            const QString& events) {
    return QStringLiteral("<SESSION number=\"%1\" date=\"%2\" daytime=\"%3\" warmupfrom=\"07:00\" "
                          "officialmeeting=\"07:30\"><EVENTS>%4</EVENTS></SESSION>")
        .arg(number)
        .arg(date, daytime, events);
}

inline QString lenexEvent(int number, const QString& attributes = {},
                          const QString& style = QStringLiteral("distance=\"100\" "
                                                                "relaycount=\"1\" stroke=\"FREE\""),
                          const QString& children = {}) {
    return QStringLiteral("<EVENT eventid=\"%1\" number=\"%2\" %3><SWIMSTYLE %4/>%5</EVENT>")
        .arg(number + 500)
        .arg(number)
        .arg(attributes, style, children);
}
