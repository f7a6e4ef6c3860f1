// SPDX-License-Identifier: GPL-3.0-or-later
// The small dialog for one official: what the store keeps of him (name, number, group, sex,
// active) and the sections of this competition he is nominated for, with the wished position.
#pragma once

#include <QDialog>
#include <QList>

#include "companionfile.h"
#include "swimmerstore.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class TOfficialDialog : public QDialog {
    Q_OBJECT
public:
    // `sections` are the competition's (1 … n), `nominated` his nomination if he has one.
    TOfficialDialog(const TOfficial& official, int sections, const TNominatedOfficial* nominated,
                    QWidget* parent = nullptr);

    // As the fields hold them; valid after the dialog was accepted.
    const TOfficial& official() const { return edited; }
    std::vector<int> sections() const;
    std::string position() const;

    // Escape, "Ab&brechen" and the close box: typed data go only after a question.
    void reject() override;

private slots:
    void ButtonOkClick();

private:
    QStringList fieldTexts() const;

    TOfficial edited;
    QStringList shownTexts; // the fields as the dialog opened
    QLineEdit* EditName;
    QLineEdit* EditNummer;
    QComboBox* EditGruppe;
    QComboBox* EditGeschlecht;
    QCheckBox* CheckAktiv;
    QList<QCheckBox*> CheckAbschnitt; // index = section - 1
    QComboBox* EditEinsatz;
    QPushButton* ButtonOk;
    QPushButton* ButtonEsc;
};
