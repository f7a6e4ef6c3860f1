// SPDX-License-Identifier: GPL-3.0-or-later
// Runs ntbmelde-cli as a host or a script runs it and hands back what it left behind.
#pragma once

#include <QProcess>
#include <QStringList>

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
