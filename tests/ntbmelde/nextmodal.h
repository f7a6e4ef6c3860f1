// SPDX-License-Identifier: GPL-3.0-or-later
// Reaching a modal window that the code under test opens itself (a message box, the exit
// notice) from inside its modal loop.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

// Calls `user` with the next modal window that appears while this object lives, once it is
// active; should the window still be open afterwards (a failed check), it is closed so that
// the modal call returns.
class NextModal {
public:
    explicit NextModal(std::function<void(QWidget*)> user) : user(std::move(user)) {
        QObject::connect(&poll, &QTimer::timeout, &poll, [this] { look(); });
        poll.start(10);
    }
    bool seen() const { return found; }

private:
    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll.stop();
        found = true;
        // Keys reach shortcuts and mnemonics only in the active window. (A dialog counts as
        // active for qWaitForWindowActive while its parent still has the focus.)
        if (!QTest::qWaitFor([modal] { return QApplication::activeWindow() == modal; }))
            qWarning("the modal window did not become active");
        user(modal);
        if (modal->isVisible())
            modal->close();
    }

    std::function<void(QWidget*)> user;
    QTimer poll;
    bool found = false;
};
