// Commands of ntbmelde-cli; each returns the process's exit code.
#pragma once

#include <string>

class TMeldeAustausch;

// Reads `path` as the program reads its exchange file; a missing file raises TIoError.
TMeldeAustausch LoadExistingFile(const std::string& path);
// Writes `text` to standard output; a full disk or a closed pipe raises TIoError.
void WriteToStdout(const std::string& text);
