// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli swimmers import FILE...`, `swimmers export OUT.csv`, `swimmers list`: the
// swimmer store in TSwimmerStore::DefaultFolder() (NTBMELDE_DATA_DIR in scripts and tests).
#pragma once

// `arguments` are the tool's own, the command word "swimmers" at index 1. Returns the exit
// code: 0 done, 2 a wrong call. An unusable store or a bad file raises CliFailure, a file
// that cannot be read or written TIoError.
int RunSwimmersCommand(int& argumentCount, char** arguments);
