// SPDX-License-Identifier: GPL-3.0-or-later
#include "formverein.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

#include "ansi.h"
#include "appearance.h"
#include "associations.h"
#include "dialogkeys.h"
#include "global.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "swimmerstore.h"
#include "typinglimit.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int LabelLeft = 12;
constexpr int LabelWidth = 100;
constexpr int FieldLeft = 130;
constexpr int RowHeight = 21;
constexpr int RowDistance = 25;
constexpr int HelpContextDiscard = 11002;

QLabel* addLabel(QWidget* group, const QString& text, int left, int top, int width) {
    auto* label = new QLabel(text, group);
    label->setGeometry(left, top, width, RowHeight);
    return label;
}

QPushButton* addButton(QWidget* strip, const QString& name, const QString& caption,
                       const QString& hint, int left) {
    auto* button = new QPushButton(caption, strip);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setGeometry(left, 8, 110, 25);
    return button;
}

} // namespace

TFormVerein::TFormVerein(TMeldeAustausch& model, TSwimmerStore& store, QWidget* parent)
    : QDialog(parent), model(model), store(store) {
    setWindowTitle(u"Vereinsdaten"_s);
    useFixedDialogFrame(this);
    setFixedSize(569, 360);
    QFont font(u"MS Sans Serif"_s);
    font.setPixelSize(11);
    setFont(font);

    // The controls are created in their tab order: the button strip first, then the club
    // group, then the contact group.
    auto* strip = new QWidget(this);
    strip->setGeometry(0, 319, 569, 41);
    ButtonOk = addButton(strip, u"ButtonOk"_s, u"O&K"_s,
                         u"Änderungen übernehmen und Dialog schließen"_s, 333);
    ButtonEsc = addButton(strip, u"ButtonEsc"_s, u"A&bbrechen"_s,
                          u"Änderungen verwerfen und Dialog schließen"_s, 451);
    LabelHerkunft = new QLabel(strip);
    LabelHerkunft->setObjectName(u"LabelHerkunft"_s);
    LabelHerkunft->setGeometry(LabelLeft, 8, 310, 25);

    auto addEdit = [this](QWidget* group, const QString& name, int maxLength, const QString& hint,
                          std::string TMeldeAustausch::*modelField, int top, int left, int width) {
        auto* edit = new QLineEdit(group);
        edit->setObjectName(name);
        edit->setToolTip(hint);
        edit->setGeometry(left, top, width, RowHeight);
        restrictTyping(edit, maxLength);
        fields.append({edit, modelField});
        return edit;
    };

    auto* club = new QGroupBox(this);
    club->setGeometry(4, 2, 561, 105);
    addLabel(club, u"Vereinsname"_s, LabelLeft, 16, LabelWidth);
    EditName = addEdit(club, u"EditName"_s, 30, u"Name des meldenden Vereins"_s,
                       &TMeldeAustausch::ClubName, 16, FieldLeft, 300);
    addLabel(club, u"Landesverband"_s, LabelLeft, 41, LabelWidth);
    ChooseVerband = new QComboBox(club);
    ChooseVerband->setObjectName(u"ChooseVerband"_s);
    ChooseVerband->setToolTip(u"Landesverband auswählen"_s);
    ChooseVerband->setGeometry(FieldLeft, 41, 248, RowHeight);
    addLabel(club, u"Länderkürzel"_s, 392, 41, 80);
    addEdit(club, u"EditFina"_s, 3, u"Länderkürzel laut Fina (z.B. GER für Deutschland)"_s,
            &TMeldeAustausch::Fina, 41, 476, 53);
    addLabel(club, u"DSV - VereinsID"_s, LabelLeft, 66, LabelWidth);
    addEdit(club, u"EditVereinsId"_s, 15, u"VereinsId des meldenden Vereins"_s,
            &TMeldeAustausch::ClubId, 66, FieldLeft, 135);

    auto* contact = new QGroupBox(u"Ansprechpartner"_s, this);
    contact->setGeometry(4, 109, 561, 210);
    struct ContactRow {
        QString label;
        QString name;
        int maxLength;
        QString hint;
        std::string TMeldeAustausch::*modelField;
        int width;
    };
    const ContactRow contactRows[] = {
        {u"Name"_s, u"EditPerson"_s, 60, u"Ansprechpartner des meldenden Vereins"_s,
         &TMeldeAustausch::Person, 425},
        {u"Strasse"_s, u"EditStrasse"_s, 60, u"Strasse des Ansprechpartners"_s,
         &TMeldeAustausch::Street, 425},
        {u"Postleitzahl"_s, u"Editplz"_s, 10, u"Postleitzahl des Ansprechpartners"_s,
         &TMeldeAustausch::Zip, 125},
        {u"Ort"_s, u"EditOrt"_s, 60, u"Ort des Ansprechpartners"_s, &TMeldeAustausch::ClubPlace,
         425},
        {u"Telefon"_s, u"EditTelefon"_s, 60, u"Telefon des Ansprechpartners"_s,
         &TMeldeAustausch::Fon, 425},
        {u"Telefax"_s, u"EditTelefax"_s, 60, u"Telefax des Ansprechpartners"_s,
         &TMeldeAustausch::Fax, 425},
        {u"eMail"_s, u"EditEMail"_s, 60, u"eMail des Ansprechpartners"_s, &TMeldeAustausch::EMail,
         425},
    };
    int top = 20;
    for (const ContactRow& row : contactRows) {
        addLabel(contact, row.label, LabelLeft, top, LabelWidth);
        addEdit(contact, row.name, row.maxLength, row.hint, row.modelField, top, FieldLeft,
                row.width);
        top += RowDistance;
    }

    // Enter moves on from field to field; in the last one it goes to the button that ends the
    // input. The association list keeps its arrow keys for choosing.
    QLineEdit* const lastField = fields.last().edit;
    for (const ClubField& field : std::as_const(fields)) {
        if (field.edit != lastField)
            bindSimulateEnter(field.edit, UpDown::Move);
    }
    bindSimulateEnter(ChooseVerband, UpDown::Keep);
    bindSimulateEnterLetzte(lastField, ButtonOk, ButtonEsc, Typing::Free, UpDown::Move);

    FormCreate();

    for (const ClubField& field : std::as_const(fields))
        connect(field.edit, &QLineEdit::textChanged, this, &TFormVerein::SomethingChanged);
    connect(ChooseVerband, &QComboBox::currentIndexChanged, this, &TFormVerein::SomethingChanged);
    connect(ButtonOk, &QPushButton::clicked, this, &TFormVerein::ButtonOkClick);
    connect(ButtonEsc, &QPushButton::clicked, this, &TFormVerein::reject);
}

void TFormVerein::FormCreate() {
    // Eight entries when dropped down; styles that drop down a menu-like popup would
    // otherwise show all of them.
    ChooseVerband->setStyleSheet(u"combobox-popup: 0;"_s);
    ChooseVerband->setMaxVisibleItems(8);
    ChooseVerband->clear();
    // Unsorted: the entry number is the association index the file stores.
    for (const char* name : AssociationNames)
        ChooseVerband->addItem(fromAnsi(name));
}

void TFormVerein::LoadFields() {
    showFields(model);
    // Setting the fields fired their change events. Data from the store are a change that
    // "O&K" adopts.
    const bool fromStore = takeLastClubBlock();
    Changed = fromStore;
    ButtonOk->setEnabled(fromStore);
    LabelHerkunft->setText(fromStore ? u"Vereinsdaten der letzten Meldung übernommen."_s
                                     : QString());
    EditName->setFocus();
    exec();
}

void TFormVerein::showFields(const TMeldeAustausch& source) {
    for (const ClubField& field : std::as_const(fields))
        field.edit->setText(fromAnsi(source.*field.modelField));
    // An index the table does not have shows no entry.
    const bool known = source.Verband >= 0 && source.Verband < ChooseVerband->count();
    ChooseVerband->setCurrentIndex(known ? source.Verband : -1);
}

// A file that names its club keeps it; otherwise the club of the last saved competition fills
// the fields.
bool TFormVerein::takeLastClubBlock() {
    if (!Trim(model.ClubName).empty() || !store.Available())
        return false;
    const std::optional<TClubBlock> last = store.LastClubBlock();
    if (!last)
        return false;
    TMeldeAustausch source;
    last->ApplyTo(source);
    showFields(source);
    return true;
}

void TFormVerein::SomethingChanged() {
    Changed = true;
    ButtonOk->setEnabled(true);
}

void TFormVerein::ButtonOkClick() {
    if (StoreFields())
        accept();
}

bool TFormVerein::StoreFields() {
    if (Trim(toAnsi(EditName->text())).empty()) {
        ShowError(u"Fehlende Eingabe: Vereinsname"_s, 0);
        EditName->setFocus();
        return false;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto normalCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    for (const ClubField& field : std::as_const(fields))
        model.*field.modelField = toAnsi(field.edit->text());
    model.Verband = ChooseVerband->currentIndex();
    Changed = false;
    Global::SetDataChanged();
    return true;
}

bool TFormVerein::FormCloseQuery() {
    return !Changed || ConfirmDiscard(u"Änderung wirklich verwerfen?"_s, HelpContextDiscard);
}

void TFormVerein::reject() {
    if (FormCloseQuery())
        QDialog::reject();
}
