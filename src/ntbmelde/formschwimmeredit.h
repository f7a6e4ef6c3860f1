// SPDX-License-Identifier: GPL-3.0-or-later
// The small dialog that edits one stored swimmer, with the entry dialog's limits and checks.
#pragma once

#include <QDialog>

#include "swimmerstore.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class TFormSchwimmerEdit : public QDialog {
    Q_OBJECT
public:
    explicit TFormSchwimmerEdit(const TSwimmer& swimmer, QWidget* parent = nullptr);

    // The swimmer as the fields hold it; valid after the dialog was accepted.
    const TSwimmer& swimmer() const { return edited; }

private slots:
    void ButtonOkClick();

private:
    QLineEdit* addEdit(const QString& name, const QString& hint);

    TSwimmer edited;
    QLineEdit* EditName;
    QLineEdit* EditJahrgang;
    QComboBox* EditGeschlecht;
    QLineEdit* EditRegNummer;
    QCheckBox* CheckAktiv;
    QPushButton* ButtonOk;
    QPushButton* ButtonEsc;
};
