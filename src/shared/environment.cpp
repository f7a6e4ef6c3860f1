// SPDX-License-Identifier: GPL-3.0-or-later
#include "environment.h"

#include <clocale>
#include <ctime>
#include <filesystem>

namespace {
int pinnedYear = 0;
char pinnedSeparator = 0;
std::time_t pinnedTime = 0;
} // namespace

std::string ProgramDir() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    std::string dir = error ? std::string(".") : exe.parent_path().string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::time_t CurrentTime() {
    return pinnedTime != 0 ? pinnedTime : std::time(nullptr);
}

int CurrentYear() {
    if (pinnedYear != 0)
        return pinnedYear;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

char DecimalSeparator() {
    if (pinnedSeparator != 0)
        return pinnedSeparator;
    const std::lconv* conv = std::localeconv();
    return conv && conv->decimal_point && conv->decimal_point[0] ? conv->decimal_point[0] : '.';
}

void PinCurrentYear(int year) {
    pinnedYear = year;
}
void PinDecimalSeparator(char separator) {
    pinnedSeparator = separator;
}
void PinCurrentTime(std::time_t now) {
    pinnedTime = now;
}
