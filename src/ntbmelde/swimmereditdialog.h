// SPDX-License-Identifier: GPL-3.0-or-later
// The small dialog that edits one stored swimmer, with the entry dialog's limits and checks.
#pragma once

#include <QDialog>

#include "swimmerstore.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class TSwimmerEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit TSwimmerEditDialog(const TSwimmer& swimmer, QWidget* parent = nullptr);

    // The swimmer as the fields hold it; valid after the dialog was accepted.
    const TSwimmer& swimmer() const { return edited; }

    // Escape, "Ab&brechen" and the close box: typed data go only after a question.
    void reject() override;

private slots:
    void ButtonOkClick();

private:
    QLineEdit* addEdit(const QString& name, const QString& hint);
    QStringList fieldTexts() const;

    TSwimmer edited;
    QStringList shownTexts; // the fields as the dialog opened
    QLineEdit* EditName;
    QLineEdit* EditJahrgang;
    QComboBox* EditGeschlecht;
    QLineEdit* EditRegNummer;
    QCheckBox* CheckAktiv;
    QPushButton* ButtonOk;
    QPushButton* ButtonEsc;
};
