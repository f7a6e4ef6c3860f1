// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include "ansi.h"
#include "appearance.h"
#include "clubdialog.h"
#include "conversions.h"
#include "dialogseam.h"
#include "dsv7.h"
#include "entrydialog.h"
#include "environment.h"
#include "exchangelock.h"
#include "exitnotice.h"
#include "feereport.h"
#include "fileopening.h"
#include "flowlayout.h"
#include "global.h"
#include "instructionswindow.h"
#include "interopfiles.h"
#include "ioerror.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "officialswindow.h"
#include "printoutwindow.h"
#include "swimmerstore.h"
#include "swimmerwindow.h"

using namespace Qt::StringLiterals;

namespace {
const QString ExchangeFileName = u"EXCHANGE.NT2"_s;
constexpr int BannerHeight = 16;
// One row of buttons 41 pixels high, 10 pixels from the left and 6 from the top of the 54
// pixels high panel; further rows follow without a gap.
constexpr int ButtonHeight = 41;
constexpr QMargins PanelMargins(10, 6, 10, 7);
// The frame never gets smaller than a printout window with its title, a few lines of text and
// its row of buttons.
constexpr QSize LeastFrameSize(520, 200);

const QString LastFolderKey = u"lastFolder"_s;

QString withTrailingSlash(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// The folder used last, kept for the next start without a file.
QSettings& programSettings() {
    static QSettings settings(u"ntbmelde"_s, u"ntbmelde"_s);
    return settings;
}
} // namespace

TMainWindow::TMainWindow(const QString& location) {
    setObjectName(u"MainWindow"_s);
    setWindowTitle(ApplicationTitle);
    setWindowIcon(programIcon());
    setFont(pixelFont(u"Arial"_s, QFont::SansSerif, 11));
    createControls();
    FormCreate(location);
}

// The windows going away move the focus; the focus watch must not see that.
TMainWindow::~TMainWindow() {
    disconnect(focusWatch);
}

void TMainWindow::createControls() {
    Label1 = new QLabel(u"Meldeprogramm für Natabo – Vereinsdaten, Meldungen und "
                        u"Kontrollausdruck für den Ausrichter"_s);
    Label1->setObjectName(u"Label1"_s);
    Label1->setFixedHeight(BannerHeight);
    makeBlueHeadline(Label1, 13);
    QPalette banner = Label1->palette();
    banner.setColor(QPalette::Window, Qt::white);
    Label1->setPalette(banner);
    Label1->setAutoFillBackground(true);
    setMenuWidget(Label1);

    // The frame above the panel; the panel's buttons go on in a second row where the screen
    // is too narrow for one.
    auto* central = new QWidget(this);
    MdiArea = new QMdiArea;
    MdiArea->setObjectName(u"MdiArea"_s);
    MdiArea->setMinimumSize(LeastFrameSize);
    ControlPanel = new QFrame;
    ControlPanel->setObjectName(u"ControlPanel"_s);
    ControlPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ControlPanel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* buttonRows = new TFlowLayout(ControlPanel);
    buttonRows->setSpacing(0);
    buttonRows->setContentsMargins(PanelMargins - ControlPanel->contentsMargins());
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(MdiArea, 1);
    layout->addWidget(ControlPanel);
    setCentralWidget(central);

    ButtonVerein = addButton(
        u"ButtonVerein"_s, u"&Vereinsdaten"_s, u"Vereinsdaten eingeben oder ändern"_s, 150,
        QIcon::fromTheme(u"system-users"_s, clubPicture()), &TMainWindow::ButtonVereinClick);
    ButtonMeldung =
        addButton(u"ButtonMeldung"_s, u"&Meldungen"_s, u"Meldungen eingeben oder ändern"_s, 150,
                  themePicture(u"accessories-text-editor"_s, QStyle::SP_FileDialogDetailedView),
                  &TMainWindow::ButtonMeldungClick);
    ButtonAusdruck =
        addButton(u"ButtonAusdruck"_s, u"&Kontrollausdruck"_s,
                  u"Kontrollausdruck anzeigen, speichern oder drucken"_s, 150,
                  themePicture(u"document-print-preview"_s, QStyle::SP_FileDialogContentsView),
                  &TMainWindow::ButtonKontrollClick);
    // Beside the other printout: what the club owes the host, and what a host would query.
    ButtonMeldegeld = addButton(
        u"ButtonMeldegeld"_s, u"Melde&geld"_s,
        u"Meldegeld je Schwimmer, Staffel und Abschnitt anzeigen, speichern oder drucken"_s, 150,
        themePicture(u"accessories-calculator"_s, QStyle::SP_FileDialogListView),
        &TMainWindow::ButtonMeldegeldClick);
    ButtonExport = addButton(u"ButtonExport"_s, u"Meldung &exportieren"_s,
                             u"Meldungen als Lenex- oder DSV7-Datei für den Ausrichter speichern"_s,
                             150, themePicture(u"document-send"_s, QStyle::SP_DialogSaveButton),
                             &TMainWindow::ButtonExportClick);
    ButtonExit = addButton(u"ButtonExit"_s, u"&Beenden"_s, u"Programm beenden"_s, 150,
                           themePicture(u"window-close"_s, QStyle::SP_DialogCloseButton),
                           &TMainWindow::ButtonExitClick);
    // The question mark of the question boxes: icon themes draw "help-contents" as a lifebuoy.
    ButtonHelp = addButton(u"ButtonHelp"_s, u"&Hilfe"_s, u"Hilfe / Bedienungsanleitung anzeigen"_s,
                           120, style()->standardIcon(QStyle::SP_MessageBoxQuestion),
                           &TMainWindow::ButtonHelpClick);
    // The club's swimmers, kept across competitions.
    ButtonSchwimmer = addButton(u"ButtonSchwimmer"_s, u"&Schwimmer"_s,
                                u"Schwimmerliste des Vereins anzeigen und bearbeiten"_s, 120,
                                themePicture(u"x-office-address-book"_s, QStyle::SP_DirHomeIcon),
                                &TMainWindow::ButtonSchwimmerClick);
    // The club's officials and trainers, and those named for this competition.
    ButtonKampfrichter = addButton(
        u"ButtonKampfrichter"_s, u"Kamp&frichter"_s,
        u"Kampfrichter und Trainer des Vereins verwalten und für diesen Wettkampf melden"_s, 120,
        themePicture(u"contact-new"_s, QStyle::SP_FileDialogInfoView),
        &TMainWindow::ButtonKampfrichterClick);
    // Alt+S also saves a printout: while one of them has the focus, the key is that window's.
    focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        const bool inPrintout = now && MdiArea->isAncestorOf(now);
        ButtonSchwimmer->setShortcut(inPrintout ? QKeySequence()
                                                : QKeySequence(Qt::ALT | Qt::Key_S));
    });
    setTabOrder(ButtonVerein, ButtonMeldung);
    setTabOrder(ButtonMeldung, ButtonAusdruck);
    setTabOrder(ButtonAusdruck, ButtonMeldegeld);
    setTabOrder(ButtonMeldegeld, ButtonExport);
    setTabOrder(ButtonExport, ButtonExit);
    setTabOrder(ButtonExit, ButtonHelp);
    setTabOrder(ButtonHelp, ButtonSchwimmer);
    setTabOrder(ButtonSchwimmer, ButtonKampfrichter);
}

QPushButton* TMainWindow::addButton(const QString& name, const QString& caption,
                                    const QString& hint, int width, const QIcon& picture,
                                    void (TMainWindow::*handler)()) {
    auto* button = new QPushButton(picture, caption, ControlPanel);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIconSize(QSize(20, 20));
    // Wider where a larger font needs it.
    button->setMinimumWidth(width);
    button->setFixedHeight(ButtonHeight);
    ControlPanel->layout()->addWidget(button);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

// The desktop's icon theme where there is one; the style's own pictures otherwise.
QIcon TMainWindow::themePicture(const QString& themeName, QStyle::StandardPixmap fallback) const {
    return QIcon::fromTheme(themeName, style()->standardIcon(fallback));
}

// Without a location the exchange file lies beside the program. A folder holds EXCHANGE.NT2;
// an invitation goes into EXCHANGE.NT2 in its folder, unless it is the invitation kept for an
// exchange file, which is then opened; anything else names the exchange file itself, whose
// folder is then the program's folder.
void TMainWindow::locateExchangeFile(const QString& location) {
    if (location.isEmpty()) {
        Global::ProgDir = QFile::decodeName(QByteArray::fromStdString(ProgramDir()));
        exchangeFile = Global::ProgDir + ExchangeFileName;
        return;
    }
    const QFileInfo info(location);
    const std::optional<std::string> keptFor =
        info.isDir() ? std::nullopt : ExchangeFileOfKept(localPath(location));
    if (keptFor) {
        exchangeFile =
            QFileInfo(QFile::decodeName(QByteArray::fromStdString(*keptFor))).absoluteFilePath();
        Global::ProgDir = withTrailingSlash(QFileInfo(exchangeFile).absolutePath());
    } else if (!info.isDir() && HasLenexOrDsvExtension(location)) {
        invitationFile = info.absoluteFilePath();
        Global::ProgDir = withTrailingSlash(info.absolutePath());
        exchangeFile = Global::ProgDir + ExchangeFileName;
    } else if (info.isDir()) {
        Global::ProgDir = withTrailingSlash(info.absoluteFilePath());
        exchangeFile = Global::ProgDir + ExchangeFileName;
    } else {
        Global::ProgDir = withTrailingSlash(info.absolutePath());
        exchangeFile = info.absoluteFilePath();
    }
}

std::string TMainWindow::exchangeFilePath() const {
    return localPath(exchangeFile);
}

// Names with its whole path the file that was looked for.
QString TMainWindow::missingFileMessage() const {
    return u"Datendatei \"%1\" nicht gefunden!"_s.arg(QDir::toNativeSeparators(exchangeFile));
}

// Started without a file and with none beside the program (a packaged program lives in a
// system folder): the user names the exchange file or an invitation, starting in the folder
// used last. Empty when he cancels.
QString TMainWindow::askForFile() {
    QString fileName;
    if (!FileDialogSeam::getOpenFileName(
            this, u"Austauschdatei oder Ausschreibung öffnen"_s,
            programSettings().value(LastFolderKey, QDir::homePath()).toString(),
            {u"Austauschdatei oder Ausschreibung (*.NT2 *.nt2 *.lef *.LEF *.lxf *.LXF *.dsv7 "
             u"*.DSV7 *.dsv8 *.DSV8 *.dsv8z *.DSV8z)"_s,
             u"Alle Dateien (*)"_s},
            fileName))
        return {};
    return fileName;
}

void TMainWindow::FormCreate(const QString& givenLocation) {
    store = std::make_unique<TSwimmerStore>();
    // Said once the window shows; the program works on as without the store, and the next
    // action that needs it tries it again.
    if (!store->Available())
        QTimer::singleShot(0, this, &TMainWindow::tellStoreProblem);
    QString location = givenLocation;
    locateExchangeFile(location);
    if (location.isEmpty() && !QFileInfo::exists(exchangeFile)) {
        location = askForFile();
        if (location.isEmpty()) {
            quitRequested = true;
            return;
        }
        locateExchangeFile(location);
    }
    model = std::make_unique<TMeldeAustausch>();
    Global::ResetDataChanged();
    const bool existed = QFileInfo::exists(exchangeFile);
    // An invitation that cannot be imported has been explained already.
    if (!invitationFile.isEmpty() && !existed &&
        !ImportInvitationFile(invitationFile, exchangeFile)) {
        showFileAccess(FileAccess::Unusable);
        return;
    }
    FileFound = QFileInfo::exists(exchangeFile);
    if (!FileFound) {
        ShowError(missingFileMessage(), 0);
        showFileAccess(FileAccess::Unusable);
        return;
    }
    programSettings().setValue(LastFolderKey, Global::ProgDir);
    const FileAccess granted = LockExchangeFile(exchangeFile, lock);
    if (granted == FileAccess::Quit) {
        quitRequested = true;
        return;
    }
    // An exchange file already there is replaced only while no other program has it open, and
    // only when the user agrees; otherwise it is opened as it is.
    if (!invitationFile.isEmpty() && existed && granted == FileAccess::Editable)
        ImportInvitationFile(invitationFile, exchangeFile);
    if (QFileInfo(exchangeFile).size() < LargeExchangeFileBytes) {
        showFileAccess(ReadExchangeFile(exchangeFile, *model, granted, lock));
        return;
    }
    // The window shows first, offering what it offers without a file until the data is there.
    showFileAccess(FileAccess::Unusable);
    QTimer::singleShot(0, this, [this, granted] {
        showFileAccess(ReadExchangeFile(exchangeFile, *model, granted, lock, this));
    });
}

// Without a usable file only the instructions and the exit remain; a file that another program
// has open can be looked at and printed. The title names the competition that is open.
void TMainWindow::showFileAccess(FileAccess access) {
    readOnly = access == FileAccess::ReadOnly;
    const bool readable = access == FileAccess::Editable || readOnly;
    const std::optional<TDeadline> deadline = readable ? keptDeadline() : std::nullopt;
    QString title = readable && !Trim(model->CompName).empty()
                        ? u"%1 – %2, %3"_s.arg(ApplicationTitle, fromAnsi(Trim(model->CompName)),
                                               fromAnsi(Trim(model->Date1)))
                        : ApplicationTitle;
    if (deadline)
        title += u" – Meldeschluss "_s + fromAnsi(DeadlineText(*deadline));
    setWindowTitle(title);
    // Said once the window shows.
    if (deadline && DeadlinePassed(*deadline))
        QTimer::singleShot(0, this, [text = fromAnsi(DeadlinePassedText(*deadline))] {
            ShowWarning(text + u'.');
        });
    ButtonAusdruck->setEnabled(readable);
    ButtonMeldegeld->setEnabled(readable);
    ButtonExport->setEnabled(readable);
    ButtonVerein->setEnabled(access == FileAccess::Editable);
    ButtonMeldung->setEnabled(access == FileAccess::Editable);
    // Nominations go into the companion file, which the program editing the file writes too.
    ButtonKampfrichter->setEnabled(access == FileAccess::Editable);
    if (readOnly)
        showReadOnly();
    if (access == FileAccess::Editable)
        ButtonVerein->setFocus();
    else if (readOnly)
        ButtonAusdruck->setFocus();
    else
        ButtonExit->setFocus();
}

// The deadline of the invitation kept for the open file. One that cannot be read shows none
// here; the fee overview names the trouble.
std::optional<TDeadline> TMainWindow::keptDeadline() const {
    try {
        return KeptMeetFees(exchangeFilePath(), *model).Deadline;
    } catch (const TIoError&) {
        return std::nullopt;
    }
}

// Another program has the file open: it can be looked at and printed, not changed.
void TMainWindow::showReadOnly() {
    setWindowTitle(windowTitle() + u" – nur zum Lesen geöffnet"_s);
    Label1->setText(u"Nur zum Lesen geöffnet: Die Datei ist in einem anderen Meldeprogramm "
                    u"geöffnet. Kontrollausdruck möglich, Änderungen nicht."_s);
}

// Both dialogs may close right after their last question box. Some window managers then
// activate no window at all, and the keyboard would reach nothing until a click: the main
// window asks to be active again.
void TMainWindow::ButtonVereinClick() {
    RunCommand([this] {
        TClubDialog clubData(*model, *store, this);
        clubData.LoadFields();
        activateWindow();
        tellStoreProblem();
    });
}

void TMainWindow::ButtonMeldungClick() {
    RunCommand([this] {
        TEntryDialog entries(*model, *store,
                             KeptMeetFees(exchangeFilePath(), *model).QualifyingTimes,
                             exchangeFilePath(), this);
        entries.exec();
        activateWindow();
        tellStoreProblem();
    });
}

// Each press opens one more printout window with a fresh snapshot; earlier ones keep theirs.
void TMainWindow::ButtonKontrollClick() {
    RunCommand([this] { showPrintout(ControlPrintout(*model, keptDeadline())); });
}

void TMainWindow::ButtonMeldegeldClick() {
    RunCommand([this] {
        showPrintout(
            FeeOverview(*model, KeptMeetFees(exchangeFilePath(), *model),
                        StaffedSections(LoadCompanion(exchangeFilePath(), *model).Companion)));
    });
}

// The kept invitation tells the host's events; the proposed name follows the DSV7 rule, in
// the format of that invitation (Lenex without one). The chosen name's extension decides the
// format; a name without one gets the chosen filter's.
void TMainWindow::ButtonExportClick() {
    RunCommand([this] {
        try {
            exportEntries();
        } catch (const TInteropError& error) {
            ShowError(error.Text(), 0);
        }
        activateWindow();
    });
}

void TMainWindow::exportEntries() {
    const std::optional<std::string> kept = FindKeptInvitation(exchangeFilePath(), *model);
    const TInvitation invitation = kept ? ReadInvitationFile(*kept) : InvitationFromModel(*model);
    // The Vereinsmeldeliste in the version of the host's DSV invitation, else of the year.
    const QString dsv = QString::number(DsvEntriesVersion(invitation));
    const QStringList filters = {u"Lenex, gepackt (*.lxf)"_s, u"Lenex (*.lef)"_s,
                                 u"DSV%1-Vereinsmeldeliste (*.DSV%1 *.dsv%1)"_s.arg(dsv)};
    const QStringList extensions = {u".lxf"_s, u".lef"_s, u".DSV"_s + dsv};
    const QString keptExtension =
        kept ? u'.' + QFileInfo(QFile::decodeName(QByteArray::fromStdString(*kept))).suffix()
             : QString();
    qsizetype proposed = 0;
    for (qsizetype i = 0; i < extensions.size(); ++i) {
        if (keptExtension.compare(extensions[i], Qt::CaseInsensitive) == 0)
            proposed = i;
    }
    QString fileName;
    QString filter = filters[proposed];
    if (!FileDialogSeam::getSaveFileName(this, u"Meldung exportieren"_s,
                                         Global::ProgDir + EntriesFileStem(*model, invitation) +
                                             extensions[proposed],
                                         filters, fileName, filter))
        return;
    if (!HasLenexOrDsvExtension(fileName))
        fileName += extensions.value(filters.indexOf(filter), extensions.first());
    const std::string out = localPath(fileName);
    const auto refuse = [&fileName](const QString& reason) {
        ShowError(u"Die Meldung kann nicht als „%1“ gespeichert werden: %2"_s.arg(
                      QDir::toNativeSeparators(fileName), reason),
                  0);
    };
    try {
        CheckExportTarget(exchangeFilePath(), out);
    } catch (const TInteropError& error) {
        refuse(error.Text());
        return;
    }
    TExportSummary summary;
    QStringList notes;
    const TCompanionLoad companion = LoadCompanion(exchangeFilePath(), *model);
    if (!companion.Problem.isEmpty())
        notes << companion.Problem;
    try {
        summary = ExportEntries(*model, out, kept, &notes, companion.Companion);
    } catch (const TIoError& error) {
        refuse(fromAnsi(error.what()));
        return;
    }
    ShowNotes(notes);
    ShowInfo(u"Die Meldung ist als „%1“ gespeichert: %2."_s.arg(QDir::toNativeSeparators(fileName),
                                                                ExportSummaryText(summary)));
}

void TMainWindow::showPrintout(TPrintout printout) {
    auto* window = new TPrintoutWindow(std::move(printout));
    MdiArea->addSubWindow(window);
    window->showMaximized();
}

void TMainWindow::ButtonExitClick() {
    close();
}

void TMainWindow::ButtonHelpClick() {
    TInstructionsWindow instructions(this);
    instructions.exec();
}

void TMainWindow::ButtonSchwimmerClick() {
    RunCommand([this] {
        TSwimmerWindow swimmers(*store, this);
        swimmers.exec();
        activateWindow();
        // The window itself has said why a change of it failed.
        if (!store->Problem().isEmpty())
            storeProblemTold = store->Problem();
    });
}

void TMainWindow::ButtonKampfrichterClick() {
    RunCommand([this] {
        TOfficialsWindow officials(*store, *model, exchangeFilePath(), this);
        officials.exec();
        activateWindow();
        if (!store->Problem().isEmpty())
            storeProblemTold = store->Problem();
    });
}

// What went wrong with the store while looking things up is said once per run, however often
// it fails.
void TMainWindow::tellStoreProblem() {
    if (!storeProblemTold.isEmpty() || store->Problem().isEmpty())
        return;
    storeProblemTold = store->Problem();
    ShowWarning(store->Problem());
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

// False when the user chose "Abbrechen" or saving failed: the program then stays open with
// everything as it was.
bool TMainWindow::FormCloseQuery() {
    if (readOnly || !Global::DataChanged())
        return true;
    const int answer = AskYesNoCancel(u"Daten jetzt speichern?"_s, 0);
    if (answer != AnswerYes)
        return answer == AnswerNo;
    const bool saved = RunCommand([this] {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restoreCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        model->SaveToFile(exchangeFilePath());
    });
    if (saved)
        rememberCompetition();
    return saved;
}

// Only a saved competition is remembered; the store failing leaves the save as it was, and
// the user learns what was not remembered unless just that problem has been told.
void TMainWindow::rememberCompetition() {
    if (store->RememberCompetition(*model) || store->Problem().isEmpty() ||
        store->Problem() == storeProblemTold)
        return;
    storeProblemTold = store->Problem();
    ShowWarning(u"Die Meldungen sind gespeichert; in die Schwimmerliste wurden sie nicht "
                u"übernommen: "_s +
                store->Cause());
}

void TMainWindow::FormClose() {
    {
        TExitNotice notice(this);
        notice.exec();
    }
    const QList<QMdiSubWindow*> children = MdiArea->subWindowList();
    for (qsizetype i = children.size() - 1; i >= 0; --i)
        children[i]->close();
    model.reset();
    lock.reset();
}
