// SPDX-License-Identifier: GPL-3.0-or-later
// A swimmer store of the test's own: NTBMELDE_DATA_DIR names a fresh temporary folder while
// this object lives, so that a test starts from an empty store and never touches the user's.
#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "swimmerstore.h"

class TempDataDir {
public:
    TempDataDir() : previous(qgetenv("NTBMELDE_DATA_DIR")) {
        qputenv("NTBMELDE_DATA_DIR", QFile::encodeName(folder.path()));
    }
    // Gives the variable back unless a newer folder has taken it meanwhile.
    ~TempDataDir() {
        if (qgetenv("NTBMELDE_DATA_DIR") == QFile::encodeName(folder.path()))
            qputenv("NTBMELDE_DATA_DIR", previous);
    }
    TempDataDir(const TempDataDir&) = delete;
    TempDataDir& operator=(const TempDataDir&) = delete;

    QString path() const { return folder.path(); }
    // The store in that folder, opened on first use.
    TSwimmerStore& store() {
        if (!opened)
            opened = std::make_unique<TSwimmerStore>(folder.path());
        return *opened;
    }

private:
    QTemporaryDir folder;
    QByteArray previous;
    std::unique_ptr<TSwimmerStore> opened;
};
