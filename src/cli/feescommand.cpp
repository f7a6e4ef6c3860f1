// SPDX-License-Identifier: GPL-3.0-or-later
#include "feescommand.h"

#include "commands.h"
#include "companionfile.h"
#include "feereport.h"
#include "interopfiles.h"
#include "meldeaustausch.h"
#include "windows1252.h"

int RunFeesCommand(const std::string& fileName) {
    TMeldeAustausch model;
    LoadExistingFile(fileName, model);
    const TCompanionLoad companion = LoadCompanion(fileName, model);
    PrintNotes(companion.Problem.isEmpty() ? QStringList() : QStringList{companion.Problem});
    std::string text;
    for (const std::string& line :
         BuildFeeLines(model, TodayDateText(), KeptMeetFees(fileName, model),
                       StaffedSections(companion.Companion))) {
        text += line;
        text += '\n';
    }
    WriteToStdout(AnsiToUtf8(text));
    return 0;
}
