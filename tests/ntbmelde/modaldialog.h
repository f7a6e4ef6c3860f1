// SPDX-License-Identifier: GPL-3.0-or-later
// Driving a modal dialog from a test as a person at the keyboard would.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

// Runs `user` inside the modal loop of `dialog` once the dialog is shown and active. Should a
// check inside `user` fail, the dialog is closed anyway, so that the modal call returns.
inline void whenShown(QDialog& dialog, const std::function<void()>& user) {
    QTimer::singleShot(0, &dialog, [&dialog, user] {
        const auto closeLeftOver = qScopeGuard([&dialog] {
            if (dialog.isVisible())
                dialog.done(QDialog::Rejected);
        });
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        user();
    });
}

// Keys go where the user's keys go: to the control that has the focus.
inline QWidget* focused() {
    return QApplication::focusWidget();
}

inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = focused() ? focused() : QApplication::activeWindow();
    if (target)
        QTest::keyClick(target, key, modifiers);
}

// Alt+letter: a button pressed by its accelerator clicks itself after a short animation.
// Waits until it has (and until whatever its click opened has closed again), however long a
// loaded machine takes.
inline void pressAccelerator(Qt::Key letter) {
    const QPointer<QWidget> window = QApplication::activeWindow();
    press(letter, Qt::AltModifier);
    const bool released = QTest::qWaitFor([&window] {
        if (!window)
            return true;
        const QList<QAbstractButton*> buttons = window->findChildren<QAbstractButton*>();
        return std::none_of(buttons.begin(), buttons.end(),
                            [](const QAbstractButton* button) { return button->isDown(); });
    });
    if (!released)
        qWarning("a button pressed by its accelerator did not click");
}

// Types each character as its own key, whatever character it is.
inline void type(const QString& text) {
    for (QChar character : text) {
        if (QWidget* target = focused())
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key(character.toUpper().unicode()),
                                QString(character), Qt::NoModifier);
    }
}
