// SPDX-License-Identifier: GPL-3.0-or-later
// An independent reader of the Vereinsmeldeliste's record rules (Format 7 and 8): field counts,
// field types, required fields, record order and counts. It shares nothing with the writer, so
// the format tests and the end-to-end run check the written files with it.
#pragma once

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <map>
#include <vector>

using namespace Qt::Literals::StringLiterals;

struct RecordRule {
    int Rank;         // records come in rank order; equal ranks may interleave
    int Fields;       // exact field count
    QString Types;    // per field: Z Zahl, T Text, C one character, D Datum, U Uhrzeit, S Zeit,
                      // K Jahrgang or Altersklasse
    QString Required; // per field: J or N
    int Min, Max;     // how often the record appears
};

// Format 7; Format 8 differs in the three records below.
inline const std::map<QString, RecordRule> EntryListRules = {
    {u"FORMAT"_s, {0, 2, u"TZ"_s, u"JJ"_s, 1, 1}},
    {u"ERZEUGER"_s, {1, 3, u"TTT"_s, u"JJJ"_s, 1, 1}},
    {u"VERANSTALTUNG"_s, {2, 4, u"TTTT"_s, u"JJJJ"_s, 1, 1}},
    {u"ABSCHNITT"_s, {3, 4, u"ZDUC"_s, u"JJJN"_s, 1, 99}},
    {u"WETTKAMPF"_s, {4, 10, u"ZCZZZCTCZC"_s, u"JJJNJJJJNN"_s, 1, 999}},
    {u"VEREIN"_s, {5, 4, u"TZZT"_s, u"JJJJ"_s, 1, 1}},
    {u"ANSPRECHPARTNER"_s, {6, 8, u"TTTTTTTT"_s, u"JNNNNNNJ"_s, 1, 1}},
    {u"KARIMELDUNG"_s, {7, 3, u"ZTT"_s, u"JJJ"_s, 0, 999}},
    {u"KARIABSCHNITT"_s, {7, 3, u"ZZT"_s, u"JJN"_s, 0, 9999}},
    {u"TRAINER"_s, {8, 2, u"ZT"_s, u"JJ"_s, 0, 999}},
    {u"PNMELDUNG"_s, {9, 10, u"TZZCZZZTTT"_s, u"JJJJJNNNNN"_s, 0, 9999}},
    {u"STARTPN"_s, {9, 3, u"ZZS"_s, u"JJN"_s, 0, 9999}},
    {u"STMELDUNG"_s, {10, 6, u"ZZTKKT"_s, u"JJJJNN"_s, 0, 9999}},
    {u"STARTST"_s, {10, 3, u"ZZS"_s, u"JJN"_s, 0, 9999}},
    {u"STAFFELPERSON"_s, {10, 4, u"ZZZZ"_s, u"JJJJ"_s, 0, 9999}},
};

inline bool hasType(const QString& value, QChar type) {
    static const std::map<QChar, QRegularExpression> forms = {
        {u'Z', QRegularExpression(u"^\\d+$"_s)},
        // JGAK: a birth year, or a masters class with "+" for a relay's summed ages
        {u'K', QRegularExpression(u"^\\d+\\+?$"_s)},
        {u'C', QRegularExpression(u"^.$"_s)},
        {u'D', QRegularExpression(u"^\\d\\d\\.\\d\\d\\.\\d{4}$"_s)},
        {u'U', QRegularExpression(u"^([01]\\d|2[0-3]):[0-5]\\d$"_s)},
        {u'S', QRegularExpression(u"^\\d\\d:[0-5]\\d:[0-5]\\d,\\d\\d$"_s)},
        {u'T', QRegularExpression(u"^[^;\\r\\n]*$"_s)}};
    return forms.at(type).match(value).hasMatch();
}

inline const std::map<QString, RecordRule> Format8Changes = {
    {u"VEREIN"_s, {5, 5, u"TZZTC"_s, u"JJJJN"_s, 1, 1}},
    {u"KARIMELDUNG"_s, {7, 4, u"ZTTC"_s, u"JJJN"_s, 0, 999}},
    {u"TRAINER"_s, {8, 3, u"ZTC"_s, u"JJN"_s, 0, 999}},
};

// Every breach of the record rules of the version the file names, as readable lines; the
// parsed records for further checks.
inline QStringList ruleBreaches(const QByteArray& bytes,
                                std::vector<std::pair<QString, QStringList>>& records) {
    std::map<QString, RecordRule> rules = EntryListRules;
    if (bytes.startsWith("FORMAT:Vereinsmeldeliste;8;"))
        for (const auto& [keyword, rule] : Format8Changes)
            rules[keyword] = rule;
    QStringList breaches;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        breaches << u"Byte-order mark"_s;
    if (!bytes.endsWith("DATEIENDE\r\n"))
        breaches << u"does not end with DATEIENDE CR LF"_s;
    if (bytes.count('\n') != bytes.count("\r\n") || bytes.count('\r') != bytes.count("\r\n"))
        breaches << u"line ends other than CR LF"_s;
    QStringList lines = QString::fromUtf8(bytes).split(u"\r\n"_s);
    lines.removeLast(); // after the final CR LF
    std::map<QString, int> counts;
    int rank = 0;
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const QString& line = lines[i];
        const qsizetype colon = line.indexOf(u':');
        const QString keyword = line.left(colon);
        const auto rule = rules.find(keyword);
        if (colon < 0 || rule == rules.end() || !line.endsWith(u';')) {
            breaches << u"line %1 is no record of the list: %2"_s.arg(i + 1).arg(line);
            continue;
        }
        const QStringList fields = line.mid(colon + 1).chopped(1).split(u';');
        ++counts[keyword];
        if (rule->second.Rank < rank)
            breaches << u"line %1: %2 out of order"_s.arg(i + 1).arg(keyword);
        rank = std::max(rank, rule->second.Rank);
        if (fields.size() != rule->second.Fields) {
            breaches << u"line %1: %2 has %3 fields"_s.arg(i + 1).arg(keyword).arg(fields.size());
            continue;
        }
        for (int f = 0; f < fields.size(); ++f) {
            if (fields[f].isEmpty() ? rule->second.Required[f] == u'J'
                                    : !hasType(fields[f], rule->second.Types[f]))
                breaches
                    << u"line %1: %2 field %3 is \"%4\""_s.arg(i + 1).arg(keyword).arg(f + 1).arg(
                           fields[f]);
        }
        records.emplace_back(keyword, fields);
    }
    if (lines.last() != u"DATEIENDE"_s)
        breaches << u"last record is not DATEIENDE"_s;
    for (const auto& [keyword, rule] : rules) {
        if (counts[keyword] < rule.Min || counts[keyword] > rule.Max)
            breaches << u"%1 appears %2 times"_s.arg(keyword).arg(counts[keyword]);
    }
    return breaches;
}
