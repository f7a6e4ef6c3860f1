// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmereditdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ansi.h"
#include "appearance.h"
#include "dialogkeys.h"
#include "entrycheck.h"
#include "messages.h"
#include "swimmertexts.h"
#include "typinglimit.h"

using namespace Qt::StringLiterals;

TSwimmerEditDialog::TSwimmerEditDialog(const TSwimmer& swimmer, QWidget* parent)
    : QDialog(parent), edited(swimmer) {
    setObjectName(u"SwimmerEditDialog"_s);
    setWindowTitle(swimmer.Id == 0 ? u"Neuer Schwimmer"_s : u"Schwimmer bearbeiten"_s);
    useFixedDialogFrame(this);
    setFont(pixelFont(u"Arial"_s, QFont::SansSerif, 11));

    auto* form = new QFormLayout;
    EditName = addEdit(u"EditName"_s, u"Name im Format NACHNAME, VORNAME"_s);
    form->addRow(u"&Name"_s, EditName);
    restrictTyping(EditName, 25);
    EditJahrgang = addEdit(u"EditJahrgang"_s, u"Jahrgang zwei- oder vierstellig"_s);
    form->addRow(u"&Jahrgang"_s, EditJahrgang);
    restrictTyping(EditJahrgang, 4, FieldCharacters::Number);
    EditGeschlecht = new QComboBox;
    EditGeschlecht->setObjectName(u"EditGeschlecht"_s);
    EditGeschlecht->addItems({u"Männlich"_s, u"Weiblich"_s, u"Mixed"_s});
    form->addRow(u"&Geschlecht"_s, EditGeschlecht);
    EditRegNummer = addEdit(u"EditRegNummer"_s, u"Registriernummer, wenn vorhanden"_s);
    form->addRow(u"&Reg.-Nummer"_s, EditRegNummer);
    restrictTyping(EditRegNummer, 15);
    CheckAktiv = new QCheckBox(u"&Aktiv (in der Meldung angeboten)"_s);
    CheckAktiv->setObjectName(u"CheckAktiv"_s);
    form->addRow(QString(), CheckAktiv);

    auto* buttons = new QDialogButtonBox;
    ButtonOk = buttons->addButton(u"O&K"_s, QDialogButtonBox::AcceptRole);
    ButtonOk->setObjectName(u"ButtonOk"_s);
    ButtonEsc = buttons->addButton(u"Ab&brechen"_s, QDialogButtonBox::RejectRole);
    ButtonEsc->setObjectName(u"ButtonEsc"_s);
    connect(ButtonOk, &QPushButton::clicked, this, &TSwimmerEditDialog::ButtonOkClick);
    connect(ButtonEsc, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // Enter moves on from field to field as in the entry dialog, and from the last to "O&K".
    bindSimulateEnter(EditName, UpDown::Move);
    bindSimulateEnterZahlen(EditJahrgang, UpDown::Move);
    bindSimulateEnter(EditGeschlecht, UpDown::Keep);
    bindSimulateEnter(EditRegNummer, UpDown::Move);
    bindSimulateEnterLetzte(CheckAktiv, ButtonOk, nullptr, Typing::Free, UpDown::Move);

    EditName->setText(fromAnsi(swimmer.Name));
    EditJahrgang->setText(swimmer.BirthYear != 0 ? QString::number(swimmer.BirthYear) : QString());
    EditGeschlecht->setCurrentIndex(swimmer.Sex <= 2 ? swimmer.Sex : 0);
    EditRegNummer->setText(fromAnsi(swimmer.RegNr));
    CheckAktiv->setChecked(swimmer.Active);
    shownTexts = fieldTexts();
    fitDialogSize(this, sizeHint().expandedTo(QSize(360, 0)));
    EditName->setFocus();
}

QStringList TSwimmerEditDialog::fieldTexts() const {
    return {EditName->text(), EditJahrgang->text(), EditGeschlecht->currentText(),
            EditRegNummer->text(), CheckAktiv->isChecked() ? u"1"_s : u"0"_s};
}

void TSwimmerEditDialog::reject() {
    if (fieldTexts() == shownTexts || ConfirmDiscard())
        QDialog::reject();
}

QLineEdit* TSwimmerEditDialog::addEdit(const QString& name, const QString& hint) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setToolTip(hint);
    return edit;
}

void TSwimmerEditDialog::ButtonOkClick() {
    EditJahrgang->setText(fromAnsi(ExpandYear(toAnsi(EditJahrgang->text()))));
    TEntryInput input;
    input.Name = Trim(toAnsi(EditName->text()));
    input.Jahrgang = toAnsi(EditJahrgang->text());
    input.Sex = EditGeschlecht->currentIndex();
    input.RegNr = toAnsi(EditRegNummer->text());
    if (const auto refusal = CheckSwimmerInput(input)) {
        ShowError(fromAnsi(refusal->Message), 0);
        QLineEdit* field = FieldOf(refusal->Fault) == EntryField::Name ? EditName : EditJahrgang;
        field->setFocus();
        field->selectAll();
        return;
    }
    if (!IsSplittableName(input.Name)) {
        ShowError(unsplittableNameMessage(), 0);
        EditName->setFocus();
        EditName->selectAll();
        return;
    }
    const TNominRecord nomin = NominFromInput(input);
    // Kept as the entry dialog keeps names: "Hans Meier" becomes "Meier, Hans".
    edited.Name = ConvertName(nomin.Name, 0);
    edited.BirthYear = nomin.BirthYear;
    edited.Sex = nomin.Sex;
    edited.RegNr = nomin.RegNr;
    edited.Active = CheckAktiv->isChecked();
    accept();
}
