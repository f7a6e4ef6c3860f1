// SPDX-License-Identifier: GPL-3.0-or-later
// The event chooser: offers the events that suit a swimmer's birth year and sex.
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class TMeldeAustausch;
struct TEventRecord;

class TEventChooser : public QDialog {
    Q_OBJECT
public:
    // Offers events of `model`.
    explicit TEventChooser(const TMeldeAustausch& model, QWidget* parent = nullptr);

    // Lists the events open to `sex` (0 male, 1 female, 2 any) that admit the birth
    // year, in the model's order, the first one chosen; shows the dialog modally. Returns the
    // 1-based position of the event confirmed with "O&K", or 0 when the user cancelled or the
    // list was empty.
    int ChooseEvent(int birthYear, int sex);

    // "Wettkampf 12a, 100m Brust, Weiblich, 1990-1995"
    static QString ItemText(const TEventRecord& event);

private slots:
    void ButtonOkClick();

private:
    const TMeldeAustausch& model;
    QComboBox* ChooseList;
    QPushButton* ButtonOk;
    QPushButton* ButtonEsc;
    bool Chosen = false;
};
