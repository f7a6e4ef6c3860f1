// SPDX-License-Identifier: GPL-3.0-or-later
#include "companionfile.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <filesystem>
#include <set>

#include "atomicfile.h"
#include "conversions.h"
#include "interoptext.h"
#include "ioerror.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int FileVersion = 1;

// Thrown while reading a file whose content is not a companion this program wrote.
struct TDamaged {
    QString Reason;
};

QString fileName(const std::string& path) {
    return QString::fromStdString(std::filesystem::path(path).filename().string());
}

QJsonValue text(const std::string& ansi) {
    return AnsiToQString(ansi);
}

std::string ansiOf(const QJsonObject& object, QLatin1StringView key, bool required = false) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined() && !required)
        return {};
    if (!value.isString())
        throw TDamaged{u"„%1“ fehlt oder ist kein Text"_s.arg(key)};
    try {
        return QStringToAnsi(value.toString(), key);
    } catch (const TInteropError& error) {
        throw TDamaged{error.Text()};
    }
}

int numberOf(const QJsonObject& object, QLatin1StringView key) {
    const QJsonValue value = object.value(key);
    if (!value.isDouble() || value.toDouble() != value.toInt())
        throw TDamaged{u"„%1“ fehlt oder ist keine ganze Zahl"_s.arg(key)};
    return value.toInt();
}

QJsonArray arrayOf(const QJsonObject& object, QLatin1StringView key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return {};
    if (!value.isArray())
        throw TDamaged{u"„%1“ ist keine Liste"_s.arg(key)};
    return value.toArray();
}

QJsonObject objectAt(const QJsonArray& array, qsizetype index, QLatin1StringView list) {
    if (!array.at(index).isObject())
        throw TDamaged{u"Eintrag %1 in „%2“ ist unlesbar"_s.arg(index + 1).arg(list)};
    return array.at(index).toObject();
}

QJsonObject toJson(const TNominatedOfficial& official) {
    QJsonArray sections;
    for (const TOfficialSection& section : official.Sections)
        sections.append(QJsonObject{{"Abschnitt"_L1, section.Section},
                                    {"Einsatzwunsch"_L1, text(section.Position)}});
    return {{"Name"_L1, text(official.Name)},
            {"Nr"_L1, text(official.Number)},
            {"Gruppe"_L1, text(official.Group)},
            {"Geschlecht"_L1, text(official.Sex)},
            {"Abschnitte"_L1, sections}};
}

TNominatedOfficial officialOf(const QJsonObject& object) {
    TNominatedOfficial official{ansiOf(object, "Name"_L1, true),
                                ansiOf(object, "Nr"_L1),
                                ansiOf(object, "Gruppe"_L1),
                                ansiOf(object, "Geschlecht"_L1),
                                {}};
    const QJsonArray sections = arrayOf(object, "Abschnitte"_L1);
    for (qsizetype i = 0; i < sections.size(); ++i) {
        const QJsonObject section = objectAt(sections, i, "Abschnitte"_L1);
        official.Sections.push_back(
            {numberOf(section, "Abschnitt"_L1), ansiOf(section, "Einsatzwunsch"_L1)});
    }
    return official;
}

QJsonObject toJson(const TRelayLineUp& lineUp) {
    QJsonArray swimmers;
    for (const TRelaySwimmer& swimmer : lineUp.Swimmers)
        swimmers.append(QJsonObject{{"Name"_L1, text(swimmer.Name)},
                                    {"Jahrgang"_L1, swimmer.BirthYear},
                                    {"Geschlecht"_L1, swimmer.Sex},
                                    {"RegNr"_L1, text(swimmer.RegNr)}});
    return {{"Wettkampf"_L1, text(TMeldeAustausch::WkNrToText(lineUp.WkNr))},
            {"Mannschaft"_L1, text(lineUp.Team)},
            {"Schwimmer"_L1, swimmers}};
}

TRelayLineUp lineUpOf(const QJsonObject& object) {
    TRelayLineUp lineUp;
    lineUp.WkNr = TMeldeAustausch::TextToWkNr(ansiOf(object, "Wettkampf"_L1, true));
    if (lineUp.WkNr <= 0)
        throw TDamaged{u"„Wettkampf“ ist keine Wettkampfnummer"_s};
    lineUp.Team = ansiOf(object, "Mannschaft"_L1, true);
    const QJsonArray swimmers = arrayOf(object, "Schwimmer"_L1);
    for (qsizetype i = 0; i < swimmers.size(); ++i) {
        const QJsonObject swimmer = objectAt(swimmers, i, "Schwimmer"_L1);
        const int sex = numberOf(swimmer, "Geschlecht"_L1);
        if (sex < 0 || sex > 2)
            throw TDamaged{u"„Geschlecht“ ist weder 0, 1 noch 2"_s};
        lineUp.Swimmers.push_back({ansiOf(swimmer, "Name"_L1, true),
                                   numberOf(swimmer, "Jahrgang"_L1), static_cast<std::uint8_t>(sex),
                                   ansiOf(swimmer, "RegNr"_L1)});
    }
    return lineUp;
}

// The competition a companion belongs to: the exchange file's name and first day.
QJsonObject meetOf(const TMeldeAustausch& model) {
    return {{"Wettkampf"_L1, text(Trim(model.CompName))}, {"Datum"_L1, text(Trim(model.Date1))}};
}

TCompanion readCompanion(const std::string& bytes, const TMeldeAustausch& model) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), &parseError);
    if (!document.isObject())
        throw TDamaged{parseError.error == QJsonParseError::NoError
                           ? u"kein Inhalt dieses Programms"_s
                           : u"unlesbar an Zeichen %1"_s.arg(parseError.offset + 1)};
    const QJsonObject root = document.object();
    if (root.value("Zusatzdatei"_L1).toInt() != FileVersion)
        throw TDamaged{u"kein Inhalt dieses Programms oder eine neuere Fassung"_s};
    const QJsonObject ours = meetOf(model);
    const QJsonObject meet = root.value("Meldung"_L1).toObject();
    if (meet != ours)
        throw TDamaged{u"sie gehört zu „%1“ (%2), die Austauschdatei zu „%3“ (%4)"_s.arg(
            meet.value("Wettkampf"_L1).toString(), meet.value("Datum"_L1).toString(),
            ours.value("Wettkampf"_L1).toString(), ours.value("Datum"_L1).toString())};
    TCompanion companion;
    const QJsonArray officials = arrayOf(root, "Kampfrichter"_L1);
    for (qsizetype i = 0; i < officials.size(); ++i)
        companion.Officials.push_back(officialOf(objectAt(officials, i, "Kampfrichter"_L1)));
    const QJsonArray lineUps = arrayOf(root, "Staffeln"_L1);
    for (qsizetype i = 0; i < lineUps.size(); ++i)
        companion.LineUps.push_back(lineUpOf(objectAt(lineUps, i, "Staffeln"_L1)));
    const QJsonArray trainers = arrayOf(root, "Trainer"_L1);
    for (qsizetype i = 0; i < trainers.size(); ++i) {
        const QJsonObject trainer = objectAt(trainers, i, "Trainer"_L1);
        companion.Trainers.push_back(
            {ansiOf(trainer, "Name"_L1, true), ansiOf(trainer, "Geschlecht"_L1)});
    }
    return companion;
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

} // namespace

std::vector<int> StaffedSections(const TCompanion& companion) {
    std::set<int> sections;
    for (const TNominatedOfficial& official : companion.Officials) {
        for (const TOfficialSection& section : official.Sections)
            sections.insert(section.Section);
    }
    return {sections.begin(), sections.end()};
}

std::string CompanionPath(const std::string& exchangePath) {
    const std::filesystem::path exchange(exchangePath);
    return (exchange.parent_path() / (exchange.stem().string() + ".ZUSATZ.json")).string();
}

TCompanionLoad LoadCompanion(const std::string& exchangePath, const TMeldeAustausch& model) {
    const std::string path = CompanionPath(exchangePath);
    if (!fileExists(path))
        return {};
    try {
        return {readCompanion(ReadWholeFile(path), model), {}};
    } catch (const TDamaged& damaged) {
        return {
            {},
            u"Die Zusatzdatei „%1“ wird nicht verwendet (%2); Kampfrichter, "
            "Staffelschwimmer und Trainer daraus fehlen."_s.arg(fileName(path), damaged.Reason)};
    }
}

void SaveCompanion(const std::string& exchangePath, const TMeldeAustausch& model,
                   const TCompanion& companion, QStringList* notes) {
    const std::string path = CompanionPath(exchangePath);
    if (fileExists(path) && !LoadCompanion(exchangePath, model).Problem.isEmpty()) {
        const std::filesystem::path kept(path);
        const std::filesystem::path aside =
            kept.parent_path() /
            (kept.stem().string() + '_' +
             QDateTime::currentDateTime().toString(u"yyyy-MM-dd_HH-mm-ss"_s).toStdString() +
             kept.extension().string());
        WriteFileAtomically(aside.string(), ReadWholeFile(path));
        if (notes)
            notes->append(u"Die bisherige Zusatzdatei ist als „%1“ aufbewahrt."_s.arg(
                fileName(aside.string())));
    }
    if (companion.IsEmpty()) {
        std::error_code error;
        if (!std::filesystem::remove(path, error) && error)
            throw TIoError::fromErrno(error.value());
        return;
    }
    QJsonArray officials, lineUps, trainers;
    for (const TNominatedOfficial& official : companion.Officials)
        officials.append(toJson(official));
    for (const TRelayLineUp& lineUp : companion.LineUps)
        lineUps.append(toJson(lineUp));
    for (const TNamedTrainer& trainer : companion.Trainers)
        trainers.append(
            QJsonObject{{"Name"_L1, text(trainer.Name)}, {"Geschlecht"_L1, text(trainer.Sex)}});
    const QJsonObject root{{"Zusatzdatei"_L1, FileVersion},
                           {"Meldung"_L1, meetOf(model)},
                           {"Kampfrichter"_L1, officials},
                           {"Staffeln"_L1, lineUps},
                           {"Trainer"_L1, trainers}};
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    WriteFileAtomically(path, std::string_view(bytes.constData(), bytes.size()));
}
