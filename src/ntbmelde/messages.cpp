// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QWhatsThis>

#include "ansi.h"

using namespace Qt::StringLiterals;

namespace {
MessageRecorder* recorder = nullptr;
// The title bar's icon and buttons beside the caption.
constexpr int TitleBarControlsWidth = 120;

// An hourglass that a caller left on must not hide that the program waits for an answer.
void resetMousePointer() {
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

// Callers break lines with a carriage return, which a Qt label would not show as a break.
QString displayText(const QString& message) {
    QString text = message;
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    return text;
}

// No help file belongs to the program: the help button explains where the guide is.
QString helpText(int helpContext) {
    return u"Hilfe Nr. %1\n\nZu dieser Meldung gibt es keine eigene Hilfeseite. Die "
           u"Bedienungsanleitung öffnen Sie im Hauptfenster mit der Schaltfläche \"Hilfe\"."_s.arg(
               helpContext);
}

// Adds "&Hilfe" when a help context is given. Its click shows the help beside the button and,
// unlike the other buttons, leaves the box open.
void addHelpButton(QMessageBox& box, int helpContext) {
    if (helpContext == 0)
        return;
    QPushButton* help = box.addButton(u"&Hilfe"_s, QMessageBox::HelpRole);
    help->setObjectName(u"ButtonHilfe"_s);
    QObject::disconnect(help, &QAbstractButton::clicked, nullptr, nullptr);
    QObject::connect(help, &QAbstractButton::clicked, help, [help, helpContext] {
        QWhatsThis::showText(help->mapToGlobal(help->rect().bottomLeft()), helpText(helpContext),
                             help);
    });
}

// A box sizes itself to its text and buttons; the window manager would then cut a longer
// caption, such as the application title over a short error text.
void fitCaption(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont captionFont = box.font();
    captionFont.setBold(true);
    const int width =
        QFontMetrics(captionFont).horizontalAdvance(box.windowTitle()) + TitleBarControlsWidth;
    grid->addItem(new QSpacerItem(width, 0), grid->rowCount(), 0, 1, grid->columnCount());
}

// Shows the box modally in the middle of the screen. Returns the button that closed it, or
// nullptr when it was closed through its title bar.
QAbstractButton* runBox(QMessageBox& box) {
    fitCaption(box);
    QAbstractButton* clicked = nullptr;
    QObject::connect(&box, &QMessageBox::buttonClicked, &box,
                     [&clicked](QAbstractButton* button) { clicked = button; });
    box.exec();
    // Lets the area under the box repaint before the caller goes on.
    QCoreApplication::processEvents();
    return clicked;
}
// A box whose "OK" both Enter and Escape press.
void runOkBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
              int helpContext) {
    QMessageBox box(icon, caption, displayText(text));
    QPushButton* ok = box.addButton(u"OK"_s, QMessageBox::AcceptRole);
    ok->setObjectName(u"ButtonOk"_s);
    addHelpButton(box, helpContext);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    runBox(box);
}
} // namespace

// The question box of AskYesNo and AskYesNoCancel.
int askQuestion(const QString& message, int helpContext, bool withCancel, int defaultAnswer) {
    resetMousePointer();
    if (recorder) {
        recorder->shown.append(u"Frage: "_s + message);
        recorder->defaults.append(defaultAnswer);
        return recorder->answers.isEmpty() ? AnswerYes : recorder->answers.takeFirst();
    }
    QMessageBox box(QMessageBox::Question, u"Bestätigung"_s, displayText(message));
    QPushButton* yes = box.addButton(u"&Ja"_s, QMessageBox::YesRole);
    QPushButton* no = box.addButton(u"&Nein"_s, QMessageBox::NoRole);
    yes->setObjectName(u"ButtonJa"_s);
    no->setObjectName(u"ButtonNein"_s);
    QPushButton* cancel = nullptr;
    if (withCancel) {
        cancel = box.addButton(u"Abbrechen"_s, QMessageBox::RejectRole);
        cancel->setObjectName(u"ButtonAbbrechen"_s);
    }
    addHelpButton(box, helpContext);
    box.setDefaultButton(defaultAnswer == AnswerNo ? no : yes);
    box.setEscapeButton(cancel ? cancel : no);
    QAbstractButton* answer = runBox(box);
    if (answer == yes)
        return AnswerYes;
    return answer == no ? AnswerNo : AnswerCancel;
}

int AskYesNo(const QString& message, int helpContext, int defaultAnswer) {
    return askQuestion(message, helpContext, false, defaultAnswer);
}

bool ConfirmDiscard(const QString& question, int helpContext) {
    return AskYesNo(question, helpContext, AnswerNo) == AnswerYes;
}

int AskYesNoCancel(const QString& message, int helpContext) {
    return askQuestion(message, helpContext, true, AnswerYes);
}

void ShowError(const QString& message, int helpContext) {
    resetMousePointer();
    // A message that ends in a mark of its own gets no second one.
    const QString text = message.endsWith(u'.') || message.endsWith(u'!') ||
                                 message.endsWith(u'?') || message.endsWith(u':')
                             ? message
                             : message + u'!';
    if (recorder) {
        recorder->shown.append(u"Fehler: "_s + text);
        return;
    }
    runOkBox(QMessageBox::Critical, u"Fehler"_s, text, helpContext);
}

void ShowWarning(const QString& message) {
    resetMousePointer();
    if (recorder) {
        recorder->shown.append(u"Warnung: "_s + message);
        return;
    }
    runOkBox(QMessageBox::Warning, u"Warnung"_s, message, 0);
}

void ShowNotes(const QStringList& notes) {
    if (!notes.isEmpty())
        ShowWarning(notes.join(u'\r'));
}

void ShowInfo(const QString& message) {
    resetMousePointer();
    if (recorder) {
        recorder->shown.append(u"Hinweis: "_s + message);
        return;
    }
    runOkBox(QMessageBox::Information, u"Hinweis"_s, message, 0);
}

void ReportApplicationError(const QString& text) {
    resetMousePointer();
    QString shownText = text;
    if (!shownText.isEmpty() && shownText.back() > u'.')
        shownText += u'.';
    if (recorder) {
        recorder->shown.append(u"Programmfehler: "_s + shownText);
        return;
    }
    runOkBox(QMessageBox::Critical, ApplicationTitle, shownText, 0);
}

bool RunCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        // Every text of the core, the file errors included, is Windows-1252.
        ReportApplicationError(fromAnsi(error.what()));
    } catch (...) {
        ReportApplicationError(u"Unbekannter Fehler"_s);
    }
    return false;
}

MessageRecorder::MessageRecorder() : previous(recorder) {
    recorder = this;
}

MessageRecorder::~MessageRecorder() {
    recorder = previous;
}

void MessageRecorder::setNextAnswer(int answer) {
    answers.append(answer);
}
