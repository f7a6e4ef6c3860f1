// SPDX-License-Identifier: GPL-3.0-or-later
// Runs ntbmelde-cli as a host or a script runs it and hands back what it left behind.
#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs in the C locale, whatever the caller's, so that written fees carry a decimal point.
// With `stdoutFile` (a file, or /dev/full to make writing fail) standard output goes there
// instead of into the result.
inline CliResult runCli(const QStringList& arguments, const QString& stdoutFile = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(QStringLiteral(CLI_BINARY), arguments);
    if (!process.waitForFinished(30000))
        qFatal("ntbmelde-cli did not finish: %s", qPrintable(process.errorString()));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// A file's bytes, empty when it cannot be read.
inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A folder of the test's own that also holds the swimmer store the tool opens, so that no test
// reaches the user's swimmers.
inline std::unique_ptr<QTemporaryDir> folderWithOwnStore() {
    auto folder = std::make_unique<QTemporaryDir>();
    if (!folder->isValid())
        qFatal("no temporary folder");
    qputenv("NTBMELDE_DATA_DIR", folder->filePath(QStringLiteral("store")).toLocal8Bit());
    return folder;
}
