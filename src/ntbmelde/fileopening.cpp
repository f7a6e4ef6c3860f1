#include "fileopening.h"

#include <QDir>
#include <QFile>

#include "ansi.h"
#include "atomicfile.h"
#include "exchangelock.h"
#include "meldeaustausch.h"
#include "messages.h"

using namespace Qt::StringLiterals;

namespace {
// A text of the core about the file: "%1" is its name, "%2" the character it names.
QString fileText(const std::string& text, const QString& path, char32_t character = 0) {
    return fromAnsi(text)
        .replace(u"%2"_s, QString::fromUcs4(&character, 1))
        .replace(u"%1"_s, QDir::toNativeSeparators(path));
}
} // namespace

FileAccess OpenExchangeFile(const QString& path, TMeldeAustausch& model,
                            std::unique_ptr<TExchangeLock>& lock) {
    const std::string fileName = QFile::encodeName(path).toStdString();
    // What saves killed since the last run left behind.
    RemoveStaleTemporaryFiles(fileName);
    auto held = std::make_unique<TExchangeLock>(fileName);
    bool readOnly = false;
    if (held->TryLock() == TExchangeLock::Result::HeldElsewhere) {
        const QString question =
            fileText(held->HeldElsewhereText(), path) +
            u".\rWer sie gleichzeitig hier bearbeitet, überschreibt beim Speichern die "
            u"Meldungen des anderen Programms oder verliert die eigenen.\r\r"
            u"Soll die Datei nur zum Lesen geöffnet werden (nichts wird gespeichert)? Mit "
            u"„Nein“ wird das Programm beendet."_s;
        if (AskYesNo(question, 0) != AnswerYes)
            return FileAccess::Quit;
        readOnly = true;
        held.reset();
    }
    TLoadReport report;
    // A file that cannot be read is reported; the program goes on with what was read.
    RunCommand([&] { report = model.LoadFromFile(fileName); });
    if (!report.Loaded()) {
        ShowError(fileText(VerdictText(report), path, report.FailedCharacter), 0);
        return FileAccess::Unusable;
    }
    if (report.FromUtf8)
        ShowWarning(fileText(ConvertedFromUtf8Text(), path));
    if (report.Verdict == TFileVerdict::CutOff)
        ShowWarning(fileText(VerdictText(report), path));
    lock = std::move(held);
    return readOnly ? FileAccess::ReadOnly : FileAccess::Editable;
}
