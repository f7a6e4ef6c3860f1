// SPDX-License-Identifier: GPL-3.0-or-later
// The officials and the trainer the club names for a competition, as both entry formats send
// them: the exchange file's sections turned into the host's sessions.
#pragma once

#include <QStringList>

#include <string>
#include <vector>

#include "companionfile.h"
#include "invitation.h"

struct TEntrySection {
    int Session = 0;      // the host's session number
    std::string Position; // wished position, empty for anywhere
};
struct TEntryOfficial {
    std::string Name; // "Nachname, Vorname", Windows-1252
    std::string Number, Group, Sex;
    std::vector<TEntrySection> Sections;
};
struct TEntryStaff {
    std::vector<TEntryOfficial> Officials;
    std::vector<TNamedTrainer> Trainers;
};

// The companion's officials with the sections the invitation holds; a section it lacks (a
// companion of an earlier invitation) is left out, and an official left without any, since a
// host cannot tell what he is offered for. Each left out is said in `notes` when given.
TEntryStaff CollectStaff(const TCompanion& companion, const TInvitation& invitation,
                         QStringList* notes = nullptr);
