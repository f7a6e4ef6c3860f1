// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileopening.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProgressDialog>
#include <exception>
#include <thread>

#include "ansi.h"
#include "atomicfile.h"
#include "conversions.h"
#include "exchangelock.h"
#include "interopfiles.h"
#include "meldeaustausch.h"
#include "messages.h"

using namespace Qt::StringLiterals;

QString withDefaultExtension(const QString& fileName, const QString& extension) {
    return QFileInfo(fileName).fileName().contains(u'.') ? fileName : fileName + extension;
}

std::string localPath(const QString& fileName) {
    return QFile::encodeName(fileName).toStdString();
}

QString fileText(const std::string& text, const QString& path, char32_t character) {
    return fromAnsi(text)
        .replace(u"%2"_s, QString::fromUcs4(&character, 1))
        .replace(u"%1"_s, QDir::toNativeSeparators(path));
}

namespace {

// Keeps the progress dialog up until the file is read: neither Escape nor its close box ends
// it, for the main window must not close over a model still being read.
class StaysOpen : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    }
};

// Reads the file in a thread of its own while the event loop runs a modal progress dialog; the
// model gets what was read only afterwards, and an error is thrown again here.
TLoadReport loadShowingProgress(const std::string& fileName, TMeldeAustausch& model,
                                const QString& path, QWidget* parent) {
    QProgressDialog progress(u"Die Datei „%1“ wird gelesen …"_s.arg(QDir::toNativeSeparators(path)),
                             QString(), 0, 0, parent);
    progress.setObjectName(u"LoadProgress"_s);
    progress.setWindowTitle(ApplicationTitle);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    StaysOpen staysOpen;
    progress.installEventFilter(&staysOpen);
    progress.show();

    TMeldeAustausch loaded;
    TLoadReport report;
    std::exception_ptr failure;
    QEventLoop waiting;
    std::thread reader([&] {
        try {
            report = loaded.LoadFromFile(fileName);
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
    });
    waiting.exec();
    reader.join();
    if (failure)
        std::rethrow_exception(failure);
    model = std::move(loaded);
    return report;
}

// A club that takes part in the next competition of a host keeps its own data.
void copyClubData(const TMeldeAustausch& from, TMeldeAustausch& to) {
    to.Verband = from.Verband;
    to.ClubName = from.ClubName;
    to.Fina = from.Fina;
    to.Person = from.Person;
    to.Street = from.Street;
    to.Zip = from.Zip;
    to.ClubPlace = from.ClubPlace;
    to.Fon = from.Fon;
    to.Fax = from.Fax;
    to.EMail = from.EMail;
    to.ClubId = from.ClubId;
}
} // namespace

FileAccess LockExchangeFile(const QString& path, std::unique_ptr<TExchangeLock>& lock) {
    const std::string fileName = QFile::encodeName(path).toStdString();
    // What saves killed since the last run left behind.
    RemoveStaleTemporaryFiles(fileName);
    lock = std::make_unique<TExchangeLock>(fileName);
    if (lock->TryLock() != TExchangeLock::Result::HeldElsewhere)
        return FileAccess::Editable;
    const QString question =
        fileText(lock->HeldElsewhereText(), path) +
        u".\rWer sie gleichzeitig hier bearbeitet, überschreibt beim Speichern die "
        u"Meldungen des anderen Programms oder verliert die eigenen.\r\r"
        u"Soll die Datei nur zum Lesen geöffnet werden (nichts wird gespeichert)? Mit "
        u"„Nein“ wird das Programm beendet."_s;
    lock.reset();
    return AskYesNo(question, 0) == AnswerYes ? FileAccess::ReadOnly : FileAccess::Quit;
}

FileAccess ReadExchangeFile(const QString& path, TMeldeAustausch& model, FileAccess granted,
                            std::unique_ptr<TExchangeLock>& lock, QWidget* progressParent) {
    const std::string fileName = QFile::encodeName(path).toStdString();
    TLoadReport report;
    // A file that cannot be read is reported; the program goes on with what was read.
    RunCommand([&] {
        report = progressParent ? loadShowingProgress(fileName, model, path, progressParent)
                                : model.LoadFromFile(fileName);
    });
    if (!report.Loaded()) {
        lock.reset();
        ShowError(fileText(VerdictText(report), path, report.FailedCharacter), 0);
        return FileAccess::Unusable;
    }
    if (report.FromUtf8)
        ShowWarning(fileText(ConvertedFromUtf8Text(), path));
    if (report.Verdict == TFileVerdict::CutOff)
        ShowWarning(fileText(VerdictText(report), path));
    return granted;
}

bool HasLenexOrDsvExtension(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"lef"_s || suffix == u"lxf"_s || suffix == u"dsv7"_s || suffix == u"dsv8"_s ||
           suffix == u"dsv8z"_s;
}

namespace {
// Names the competition the existing file holds and its entries, so that nobody replaces it
// unawares; "Nein", the default, keeps it.
bool confirmReplacing(const QString& exchangePath, const QString& invitationPath,
                      const TMeldeAustausch& previous, bool readable) {
    const QString holds =
        readable ? u" für „%1“ (%2) mit %3"_s.arg(
                       fromAnsi(Trim(previous.CompName)), fromAnsi(Trim(previous.Date1)),
                       fromAnsi(CountText(previous.NominCount(), "Meldung", "Meldungen")))
                 : QString();
    return AskYesNo(u"Im Ordner „%1“ gibt es schon die Austauschdatei „%2“%3.\r\rSoll sie durch "
                    u"die Ausschreibung „%4“ ersetzt werden? Die Vereinsdaten bleiben erhalten, "
                    u"die Meldungen stehen dann nur noch in einer Sicherungskopie.\r\rMit "
                    u"„Nein“ wird die vorhandene Datei unverändert geöffnet."_s.arg(
                        QDir::toNativeSeparators(QFileInfo(exchangePath).absolutePath()),
                        QFileInfo(exchangePath).fileName(), holds,
                        QFileInfo(invitationPath).fileName()),
                    0, AnswerNo) == AnswerYes;
}

QString nameOf(const std::string& path) {
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName();
}
} // namespace

bool ImportInvitationFile(const QString& invitationPath, const QString& exchangePath) {
    const std::string invitationFile = localPath(invitationPath);
    const std::string exchangeFile = localPath(exchangePath);
    bool written = false;
    QStringList notes;
    RunCommand([&] {
        TMeldeAustausch imported;
        try {
            ImportInvitation(ReadInvitationFile(invitationFile, &notes), imported, &notes);
        } catch (const TInteropError& error) {
            ShowError(u"Die Datei „%1“ kann nicht übernommen werden:\r%2"_s.arg(
                          QDir::toNativeSeparators(invitationPath), error.Text()),
                      0);
            return;
        }
        QString backupText;
        if (QFileInfo::exists(exchangePath)) {
            TMeldeAustausch previous;
            const bool readable = previous.LoadFromFile(exchangeFile).Loaded();
            if (!confirmReplacing(exchangePath, invitationPath, previous, readable))
                return;
            backupText = u"\rDie bisherige Austauschdatei ist als „%1“ gesichert."_s.arg(
                nameOf(KeepBackupCopy(exchangeFile, QDateTime::currentDateTime())));
            copyClubData(previous, imported);
        }
        imported.SaveToFile(exchangeFile);
        KeepInvitation(invitationFile, exchangeFile);
        written = true;
        ShowNotes(notes);
        ShowInfo(u"Die Ausschreibung „%1“ ist in die Austauschdatei „%2“ übernommen: %3. Sie "
                 u"bleibt daneben als „%4“ aufbewahrt.%5"_s.arg(
                     QFileInfo(invitationPath).fileName(), QFileInfo(exchangePath).fileName(),
                     ImportSummaryText(imported),
                     nameOf(KeptInvitationPath(exchangeFile, invitationFile)), backupText));
    });
    return written;
}
