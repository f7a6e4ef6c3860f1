// SPDX-License-Identifier: GPL-3.0-or-later
// The exit notice, shown once at the end of every run.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TExitNotice : public QDialog {
    Q_OBJECT
public:
    explicit TExitNotice(QWidget* parent = nullptr);

private slots:
    void ButtonOkClick();

private:
    QLabel* Image1;
    QLabel* Memo1;
    QLabel* Label1;
    QPushButton* ButtonOk;
};
