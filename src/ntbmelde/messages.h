// SPDX-License-Identifier: GPL-3.0-or-later
// The program's only message boxes and the application-wide error report, behind one seam
// that tests replace to answer questions and to record what was shown.
#pragma once

#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

inline constexpr int AnswerYes = 6;
inline constexpr int AnswerNo = 7;
// "Abbrechen", or a question box closed through its title bar.
inline constexpr int AnswerCancel = 2;

// The application's title: caption of the main window and of the application-wide report.
inline const QString ApplicationTitle = QStringLiteral("Meldeprogramm für Natabo");

// Question box "Bestätigung" with "&Ja"/"&Nein" (and "&Hilfe" for a non-zero help context);
// Enter chooses `defaultAnswer`. Returns 6 for yes, 7 for no, another value when closed through
// the title bar.
int AskYesNo(const QString& message, int helpContext, int defaultAnswer = AnswerYes);
// Asks whether typed or changed data may be thrown away; "&Nein" is the default, so that no
// Enter pressed too soon loses work. True for yes.
bool ConfirmDiscard(const QString& question = QStringLiteral("Änderung wirklich verwerfen?"),
                    int helpContext = 0);
// The same box with "Abbrechen" beside "&Ja" and "&Nein", for a question whose "no" throws work
// away: Escape and the title bar's close box choose "Abbrechen". Returns 6, 7 or AnswerCancel.
int AskYesNoCancel(const QString& message, int helpContext);
// Error box "Fehler": the message ending in "!" (unless it ends in a mark already), button "OK"
// (and "&Hilfe").
void ShowError(const QString& message, int helpContext);
// Note box "Warnung": warning icon, the message as it is, button "OK". For what the user must
// know about the data (a file that was cut off or converted) without an error of his.
void ShowWarning(const QString& message);
// What an import or export tells the user (names rewritten, records skipped, data a host may
// miss): one "Warnung" box listing every line, none when there is nothing to tell.
void ShowNotes(const QStringList& notes);
// Note box "Hinweis": information icon, the message as it is, button "OK". For what a command
// did (a file written, with what).
void ShowInfo(const QString& message);
// The application-wide report of an error that escaped a command: caption
// "Meldeprogramm für Natabo", error icon, the text with a full stop added where due.
void ReportApplicationError(const QString& text);

// Runs one command; an exception escaping it is shown by ReportApplicationError and the
// program goes on. Returns false when the command failed that way.
bool RunCommand(const std::function<void()>& command);

// Test seam. While a recorder is installed no box is shown: each box is recorded as
// "<kind>: <text as the box shows it>", i.e. "Frage: <message>", "Fehler: <message>!",
// "Warnung: <message>", "Hinweis: <message>" and "Programmfehler: <text with its full stop>";
// line breaks stay as the caller wrote them. Questions take the next scripted answer (yes when
// none is left), and their default answers are kept in `defaults`. Recorders nest: the newest
// one records until it is destroyed.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;
    void setNextAnswer(int answer);
    QStringList shown;
    QList<int> defaults;

private:
    friend int askQuestion(const QString&, int, bool, int);
    friend void ShowError(const QString&, int);
    friend void ShowWarning(const QString&);
    friend void ShowInfo(const QString&);
    friend void ReportApplicationError(const QString&);
    QList<int> answers;
    MessageRecorder* previous;
};
