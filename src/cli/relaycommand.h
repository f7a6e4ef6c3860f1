// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli relay FILE WKNR TEAM SWIMMER...` and `relay show FILE`: the swimmers of the
// club's relay teams, kept in the companion file beside FILE, taken from the swimmer store in
// TSwimmerStore::DefaultFolder().
#pragma once

// `arguments` are the tool's own, the command word "relay" at index 1. Returns the exit code:
// 0 done, 2 a wrong call. A refusal or a file that cannot be used raises CliFailure.
int RunRelayCommand(int argumentCount, char** arguments);
