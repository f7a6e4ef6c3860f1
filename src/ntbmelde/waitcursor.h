// SPDX-License-Identifier: GPL-3.0-or-later
// The busy pointer for work that a large file makes long enough to be noticed.
#pragma once

#include <QGuiApplication>

// The hourglass while the object lives, also when an error ends the work early.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
