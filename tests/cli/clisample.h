// SPDX-License-Identifier: GPL-3.0-or-later
// The sample meet imported by the tool into a folder of the test's own, with the sample club's
// nominations added, as a club's script would prepare it.
#pragma once

#include <QTemporaryDir>

#include "../interop/interopfixtures.h"
#include "clirunner.h"

inline const QString SampleLxf = InteropDataDir + QStringLiteral("lenex-invitation.lxf");
inline const QString SampleDsv7 = InteropDataDir + QStringLiteral("2026-12-13-Musterst-Wk.DSV7");

// The exchange file made of `invitation` (kept beside it), with the club's nominations.
inline QString importedWithEntries(const QTemporaryDir& folder,
                                   const QString& invitation = SampleLxf) {
    const QString exchange = folder.filePath(QStringLiteral("EXCHANGE.NT2"));
    if (runCli({QStringLiteral("import"), invitation, exchange}).exitCode != 0)
        qFatal("import failed");
    TMeldeAustausch model;
    model.LoadFromFile(exchange.toStdString());
    enterSampleClub(model);
    model.SaveToFile(exchange.toStdString());
    return exchange;
}
