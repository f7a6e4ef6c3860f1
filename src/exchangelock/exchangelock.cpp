// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchangelock.h"

#include <QFile>
#include <QLockFile>
#include <QString>

TExchangeLock::TExchangeLock(const std::string& exchangePath)
    : lock(std::make_unique<QLockFile>(QFile::decodeName(LockPath(exchangePath).c_str()))) {
    // A program may keep its file open for hours: only a dead holder makes a lock stale.
    lock->setStaleLockTime(0);
}

TExchangeLock::~TExchangeLock() = default;

std::string TExchangeLock::LockPath(const std::string& exchangePath) {
    const std::size_t slash = exchangePath.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return exchangePath.substr(0, nameStart) + "." + exchangePath.substr(nameStart) + ".lock";
}

TExchangeLock::Result TExchangeLock::TryLock() {
    if (lock->tryLock(0))
        return Result::Locked;
    return lock->error() == QLockFile::LockFailedError ? Result::HeldElsewhere : Result::Impossible;
}

std::string TExchangeLock::HeldElsewhereText() const {
    qint64 pid = 0;
    QString host;
    QString application;
    std::string holder;
    if (lock->getLockInfo(&pid, &host, &application))
        holder = " (Prozess " + std::to_string(pid) + " auf dem Rechner " +
                 host.toLatin1().toStdString() + ")";
    return "Die Datei %1 ist bereits in einem anderen Meldeprogramm ge\xF6"
           "ffnet" +
           holder;
}
