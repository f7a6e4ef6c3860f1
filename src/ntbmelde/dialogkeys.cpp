// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogkeys.h"

#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

const QChar CarriageReturn(u'\r');
const QChar Backspace(u'\b');

bool isNumberCharacter(QChar key) {
    return key == Backspace || key == u'-' || (key >= u'0' && key <= u'9');
}

// Makes `control` the active control the way Tab does, so that the leaving field's exit
// check and the new control's enter handler run.
void activate(QWidget* control, Qt::FocusReason reason) {
    if (control)
        control->setFocus(reason);
}

void moveToNeighbour(QWidget* sender, bool forward) {
    activate(neighbourControl(sender, forward),
             forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

// The key-press handlers. They get the character the key types and set it to the null
// character to swallow it.

void SimulateEnter(QWidget* sender, QChar& key) {
    if (key == CarriageReturn) {
        moveToNeighbour(sender, true);
        key = QChar();
    }
}

void SimulateEnterZahlen(QWidget* sender, QChar& key) {
    if (key == CarriageReturn) {
        moveToNeighbour(sender, true);
        key = QChar();
    } else if (!isNumberCharacter(key)) {
        key = QChar();
    }
}

void SimulateEnterLetzte(QWidget* target, QWidget* fallback, Typing typing, QChar& key) {
    if (key == CarriageReturn) {
        const bool useFallback = fallback && !(target && target->isEnabled());
        activate(useFallback ? fallback : target, Qt::TabFocusReason);
        key = QChar();
    } else if (typing == Typing::DigitsOnly && !isNumberCharacter(key)) {
        key = QChar();
    }
}

// The key-down handler: gets the key code and sets it to 0 to swallow the key.
void SimulateUpDown(QWidget* sender, int& key) {
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        moveToNeighbour(sender, key == Qt::Key_Down);
        key = 0;
    }
}

// The character a key press types into a field, or the null character for keys that type
// nothing (cursor keys, Delete, function keys, Alt combinations).
QChar typedCharacter(const QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & Qt::AltModifier)
        return {};
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return CarriageReturn;
    if (key == Qt::Key_Backspace)
        return Backspace;
    if (key == Qt::Key_Delete)
        return {};
    // Ctrl+letter types a control character, which is how the clipboard shortcuts arrive.
    if ((modifiers & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(static_cast<char16_t>(key - Qt::Key_A + 1));
    const QString text = event->text();
    return text.isEmpty() ? QChar() : text.front();
}

enum class KeyPressHandler { Enter, EnterZahlen, EnterLetzte };

class KeyConventions : public QObject {
public:
    KeyConventions(QWidget* control, KeyPressHandler keyPress, UpDown upDown)
        : QObject(control), control(control), keyPress(keyPress), upDown(upDown) {
        control->installEventFilter(this);
    }

    // Only for SimulateEnterLetzte.
    QPointer<QWidget> target;
    QPointer<QWidget> fallback;
    Typing typing = Typing::Free;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != control || event->type() != QEvent::KeyPress)
            return false;
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int code = keyEvent->key();
        // Tab and Escape belong to the dialog: focus traversal and the cancel button.
        if (code == Qt::Key_Tab || code == Qt::Key_Backtab || code == Qt::Key_Escape)
            return false;
        // An Alt+letter that reaches a control is the accelerator of a disabled button: it
        // does nothing, and its letter is never typed.
        const QString text = keyEvent->text();
        if ((keyEvent->modifiers() & Qt::AltModifier) &&
            !(keyEvent->modifiers() & Qt::ControlModifier) && !text.isEmpty() &&
            text.front().isPrint())
            return true;
        if (upDown == UpDown::Move) {
            int keyDown = code;
            SimulateUpDown(control, keyDown);
            if (keyDown == 0)
                return true;
        }
        QChar key = typedCharacter(keyEvent);
        if (key.isNull())
            return false;
        switch (keyPress) {
        case KeyPressHandler::Enter:
            SimulateEnter(control, key);
            break;
        case KeyPressHandler::EnterZahlen:
            SimulateEnterZahlen(control, key);
            break;
        case KeyPressHandler::EnterLetzte:
            SimulateEnterLetzte(target, fallback, typing, key);
            break;
        }
        return key.isNull();
    }

private:
    QWidget* control;
    KeyPressHandler keyPress;
    UpDown upDown;
};

} // namespace

QWidget* neighbourControl(QWidget* from, bool forward) {
    QWidget* const window = from->window();
    for (QWidget* candidate = from;;) {
        candidate = forward ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (!candidate || candidate == from)
            return from;
        if (candidate->window() == window && candidate->isVisibleTo(window) &&
            candidate->isEnabled() && (candidate->focusPolicy() & Qt::TabFocus))
            return candidate;
    }
}

void bindSimulateEnter(QWidget* control, UpDown upDown) {
    new KeyConventions(control, KeyPressHandler::Enter, upDown);
}

void bindSimulateEnterZahlen(QWidget* control, UpDown upDown) {
    new KeyConventions(control, KeyPressHandler::EnterZahlen, upDown);
}

void bindSimulateEnterLetzte(QWidget* control, QWidget* target, QWidget* fallback, Typing typing,
                             UpDown upDown) {
    auto* conventions = new KeyConventions(control, KeyPressHandler::EnterLetzte, upDown);
    conventions->target = target;
    conventions->fallback = fallback;
    conventions->typing = typing;
}
