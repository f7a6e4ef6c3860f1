// SPDX-License-Identifier: GPL-3.0-or-later
#include "staffentries.h"

TEntryStaff CollectStaff(const TCompanion& companion, const TInvitation& invitation,
                         QStringList* notes) {
    std::map<int, int> sessionOfSection;
    for (const auto& [session, section] : SectionNumbers(invitation.Sessions))
        sessionOfSection[section] = session;
    TEntryStaff staff;
    staff.Trainers = companion.Trainers;
    for (const TNominatedOfficial& official : companion.Officials) {
        TEntryOfficial entry{official.Name, official.Number, official.Group, official.Sex, {}};
        QStringList missing;
        for (const TOfficialSection& section : official.Sections) {
            const auto session = sessionOfSection.find(section.Section);
            if (session == sessionOfSection.end())
                missing << QString::number(section.Section);
            else
                entry.Sections.push_back({session->second, section.Position});
        }
        if (notes && !missing.isEmpty()) {
            const bool one = missing.size() == 1;
            notes->append(
                QStringLiteral("Kampfrichter %1: %2 %3 gibt es in der Ausschreibung "
                               "nicht; %4")
                    .arg(AnsiToQString(official.Name),
                         one ? QStringLiteral("Abschnitt") : QStringLiteral("die Abschnitte"),
                         missing.join(QStringLiteral(", ")),
                         entry.Sections.empty() ? QStringLiteral("nicht gemeldet")
                         : one                  ? QStringLiteral("ohne ihn gemeldet")
                                                : QStringLiteral("ohne sie gemeldet")));
        }
        if (!entry.Sections.empty())
            staff.Officials.push_back(entry);
    }
    return staff;
}
