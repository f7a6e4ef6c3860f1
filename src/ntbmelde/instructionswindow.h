// SPDX-License-Identifier: GPL-3.0-or-later
// The instructions window: the program's short user guide.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTextEdit;

class TInstructionsWindow : public QDialog {
    Q_OBJECT
public:
    explicit TInstructionsWindow(QWidget* parent = nullptr);

private slots:
    void BitBtn1Click();

private:
    QTextEdit* Memo1;
    QPushButton* BitBtn1;
    QLabel* Label1;
    QLabel* Label2;
};
