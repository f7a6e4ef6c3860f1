// SPDX-License-Identifier: GPL-3.0-or-later
// The one error type of the core: a failed file operation with its German text.
#pragma once

#include <stdexcept>
#include <string>

class TIoError : public std::runtime_error {
public:
    TIoError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}
    // The error for an errno value, e.g. EACCES -> 5 "Dateizugriff verweigert".
    static TIoError fromErrno(int errnoValue);
    // The system's error code in the program's numbering (5 access denied, 101 disk full, ...).
    int code() const { return code_; }

private:
    int code_;
};
