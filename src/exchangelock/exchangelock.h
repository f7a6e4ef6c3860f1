// SPDX-License-Identifier: GPL-3.0-or-later
// The lock beside an open exchange file: while one program (or a saving command) holds it, a
// second one on the same file learns so instead of overwriting the first one's entries when it
// saves. The lock is the file ".<name>.lock" in the exchange file's folder; one left behind by
// a program that crashed on this computer is recognised as stale and taken over.
#pragma once

#include <memory>
#include <string>

class QLockFile;

class TExchangeLock {
public:
    explicit TExchangeLock(const std::string& exchangePath);
    ~TExchangeLock(); // releases the lock if held
    TExchangeLock(const TExchangeLock&) = delete;
    TExchangeLock& operator=(const TExchangeLock&) = delete;

    enum class Result {
        Locked,
        HeldElsewhere,
        // The lock cannot be created (a read-only folder, say): nobody can save there either.
        Impossible,
    };
    Result TryLock();
    // After HeldElsewhere: the German text (Windows-1252, no closing full stop) that names
    // who holds the lock; "%1" stands for the exchange file's name.
    std::string HeldElsewhereText() const;

    // The lock's file name for an exchange file.
    static std::string LockPath(const std::string& exchangePath);

private:
    std::unique_ptr<QLockFile> lock;
};
