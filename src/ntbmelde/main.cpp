// SPDX-License-Identifier: GPL-3.0-or-later
// The program: one main window, started on the exchange file named on the command line or
// on EXCHANGE.NT2 beside the program.
#include <QApplication>
#include <QScreen>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "appearance.h"
#include "mainwindow.h"

using namespace Qt::StringLiterals;

// Qt aborts when it finds no display; a user deserves a sentence instead. A platform chosen
// explicitly (environment or "-platform") is left to Qt.
static bool displayAvailable(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0)
            return true;
    }
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

int main(int argc, char* argv[]) {
    if (!displayAvailable(argc, argv)) {
        std::fputs("ntbmelde: Keine grafische Anzeige gefunden (weder DISPLAY noch "
                   "WAYLAND_DISPLAY ist gesetzt).\n"
                   "Ohne Bildschirm starten Sie das Meldeprogramm mit einem virtuellen "
                   "X-Server, zum Beispiel:\n"
                   "    xvfb-run -a ntbmelde [Austauschdatei oder deren Ordner]\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // The core writes decimal numbers with the user's separator.
    std::setlocale(LC_ALL, "");
    QApplication::setApplicationName(u"ntbmelde"_s);
    QApplication::setWindowIcon(programIcon());
    installGermanToolkitTexts(app);

    const QStringList arguments = QApplication::arguments();
    TMainWindow window(arguments.size() > 1 ? arguments.at(1) : QString());
    if (window.QuitRequested())
        return 0;
    // Also fills the screen where no window manager maximises it.
    window.setGeometry(window.screen()->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}
