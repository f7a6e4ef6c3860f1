// SPDX-License-Identifier: GPL-3.0-or-later
#include "ioerror.h"

#include <cerrno>

TIoError TIoError::fromErrno(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
        return {2, "Datei nicht gefunden"};
    case ENOTDIR:
    case ENAMETOOLONG:
        return {3, "Ung\xFCltiger Dateiname"};
    case EMFILE:
    case ENFILE:
        return {4, "Zu viele ge\xF6"
                   "ffnete Dateien"};
    case EACCES:
    case EPERM:
    case EROFS:
        return {5, "Dateizugriff verweigert"};
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return {101, "Zu wenig Speicherplatz"};
    default:
        return {errnoValue, "E/A-Fehler " + std::to_string(errnoValue)};
    }
}
