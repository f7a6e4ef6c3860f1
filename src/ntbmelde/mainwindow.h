// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: start-up, the nine commands, the printout windows and the close sequence.
#pragma once

#include <QMainWindow>
#include <QStyle>
#include <memory>
#include <optional>

#include "feereport.h"
#include "fileopening.h"

class QFrame;
class QLabel;
class QMdiArea;
class QPushButton;
class TExchangeLock;
class TMeldeAustausch;
class TSwimmerStore;
struct TPrintout;

class TMainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `location` names the exchange file or its folder; empty means EXCHANGE.NT2 in the
    // program's own folder, and without one there a file dialog asks (Cancel quits). A host's
    // invitation (.lef, .lxf, .dsv7, .dsv8, .dsv8z) is imported into EXCHANGE.NT2 in its folder
    // first. Reads the file at once, reporting any trouble in a message box; a large file is read
    // once the event loop runs, under a progress dialog over this window.
    explicit TMainWindow(const QString& location = QString());
    ~TMainWindow() override;

    // The frame that holds the printout windows.
    QMdiArea* mdiArea() const { return MdiArea; }
    // The program's data, owned by this window from start-up to the end of the close sequence
    // (null afterwards). Every other window gets it from here.
    TMeldeAustausch* meldeAustausch() const { return model.get(); }
    // The user chose at start-up to quit rather than open a file that another program has
    // open: the window is not to be shown.
    bool QuitRequested() const { return quitRequested; }

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void ButtonVereinClick();
    void ButtonMeldungClick();
    void ButtonKontrollClick();
    void ButtonMeldegeldClick();
    void ButtonExportClick();
    void ButtonExitClick();
    void ButtonHelpClick();
    void ButtonSchwimmerClick();
    void ButtonKampfrichterClick();

private:
    void createControls();
    QPushButton* addButton(const QString& name, const QString& caption, const QString& hint,
                           int width, const QIcon& picture, void (TMainWindow::*handler)());
    QIcon themePicture(const QString& themeName, QStyle::StandardPixmap fallback) const;
    void locateExchangeFile(const QString& location);
    std::string exchangeFilePath() const;
    QString missingFileMessage() const;
    QString askForFile();
    void FormCreate(const QString& givenLocation);
    void showFileAccess(FileAccess access);
    std::optional<TDeadline> keptDeadline() const;
    void showReadOnly();
    void showPrintout(TPrintout printout);
    void exportEntries();
    bool FormCloseQuery();
    void rememberCompetition();
    void tellStoreProblem();
    void FormClose();

    std::unique_ptr<TMeldeAustausch> model;
    QString exchangeFile;
    QString invitationFile; // the host's invitation the program was started on, if any
    bool FileFound = false;
    std::unique_ptr<TExchangeLock> lock; // held while the file is open for editing
    bool readOnly = false;
    bool quitRequested = false;
    std::unique_ptr<TSwimmerStore> store;
    QString storeProblemTold; // the store's last problem the user was told
    QMetaObject::Connection focusWatch;

    QLabel* Label1;
    QMdiArea* MdiArea;
    QFrame* ControlPanel;
    QPushButton* ButtonVerein;
    QPushButton* ButtonMeldung;
    QPushButton* ButtonAusdruck;
    QPushButton* ButtonMeldegeld;
    QPushButton* ButtonExport;
    QPushButton* ButtonExit;
    QPushButton* ButtonHelp;
    QPushButton* ButtonSchwimmer;
    QPushButton* ButtonKampfrichter;
};
