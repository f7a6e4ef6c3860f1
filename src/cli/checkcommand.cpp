#include "checkcommand.h"

#include <iostream>

#include "commands.h"
#include "entrycheck.h"
#include "meldeaustausch.h"
#include "windows1252.h"

namespace {

// "Meldung 3: Meier, Hans, Jg. 1990, Wettkampf 12a: <reason>"
std::string refusalLine(int position, const TNominRecord& nomin, const TEntryRefusal& refusal) {
    return "Meldung " + std::to_string(position) + ": " + nomin.Name + ", Jg. " +
           std::to_string(nomin.Age) + ", Wettkampf " + TMeldeAustausch::WkNrToText(nomin.WkNr) +
           ": " + refusal.Message;
}

} // namespace

int RunCheckCommand(const std::string& fileName) {
    const TMeldeAustausch model = LoadExistingFile(fileName);
    int refused = 0;
    for (int position = 1; position <= model.NominCount(); ++position) {
        const TNominRecord nomin = model.GetNomin(position);
        if (const auto refusal = CheckNomin(model, nomin)) {
            std::cout << AnsiToUtf8(refusalLine(position, nomin, *refusal)) << '\n';
            ++refused;
        }
    }
    if (refused == 0)
        std::cout << "Keine fehlerhaften Meldungen.\n";
    return refused == 0 ? 0 : 1;
}
