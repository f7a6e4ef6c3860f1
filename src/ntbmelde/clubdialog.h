// SPDX-License-Identifier: GPL-3.0-or-later
// The club data dialog: the nominating club and its contact person.
#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TMeldeAustausch;
class TSwimmerStore;

class TClubDialog : public QDialog {
    Q_OBJECT
public:
    // Edits the club fields of `model`; a file without a club starts from the club block that
    // `store` kept of the last saved competition.
    TClubDialog(TMeldeAustausch& model, TSwimmerStore& store, QWidget* parent = nullptr);

    // Loads the fields from the model (or from the store, see above), shows the dialog modally
    // and returns when it has closed. Only "O&K" writes into the model.
    void LoadFields();

protected:
    // Every way of closing without "O&K" (A&bbrechen, Escape, close box) asks first when
    // something was changed.
    void reject() override;

private slots:
    void SomethingChanged();
    void ButtonOkClick();

private:
    // A single-line field and the club field of the model behind it.
    struct ClubField {
        QLineEdit* edit;
        std::string TMeldeAustausch::*modelField;
    };

    void FormCreate();
    void showFields(const TMeldeAustausch& source);
    bool takeLastClubBlock();
    bool StoreFields();
    bool FormCloseQuery();

    TMeldeAustausch& model;
    TSwimmerStore& store;
    QPushButton* ButtonOk;
    QPushButton* ButtonEsc;
    QLineEdit* EditName;
    QComboBox* ChooseVerband;
    QLabel* LabelHerkunft;
    QList<ClubField> fields;
    bool Changed = false;
};
