// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli officials …`: the club's officials and trainers in the swimmer store, and those
// named for one competition in the companion file of its exchange file.
#pragma once

// `arguments` are the tool's own, the command word "officials" at index 1. Returns the exit
// code: 0 done, 2 a wrong call. An unusable store, a bad file or a refusal raises CliFailure.
int RunOfficialsCommand(int& argumentCount, char** arguments);
