// SPDX-License-Identifier: GPL-3.0-or-later
#include "clubdialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

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

// The captions stand about 12 pixels from the boxes' left edge (the box's own frame takes a few
// of them), the fields 130.
constexpr int CaptionLeft = 12;
constexpr int FieldLeft = 130;
constexpr QMargins BoxMargins(CaptionLeft - 3, 0, 3, 6);
constexpr int RowDistance = 3;
constexpr QSize ButtonSize(110, 25);
constexpr QSize DesignedSize(569, 360);
constexpr int HelpContextDiscard = 11002;

QPushButton* addButton(QWidget* dialog, const QString& name, const QString& caption,
                       const QString& hint) {
    auto* button = new QPushButton(caption, dialog);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setMinimumSize(ButtonSize);
    return button;
}

// A box's rows: captions in the first column, fields at their own widths after them.
QGridLayout* fieldRows(QGroupBox* box, int top) {
    auto* rows = new QGridLayout(box);
    rows->setContentsMargins(BoxMargins + QMargins(0, top, 0, 0));
    rows->setHorizontalSpacing(6);
    rows->setVerticalSpacing(RowDistance);
    rows->setColumnMinimumWidth(0, FieldLeft - CaptionLeft - rows->horizontalSpacing());
    return rows;
}

} // namespace

TClubDialog::TClubDialog(TMeldeAustausch& model, TSwimmerStore& store, QWidget* parent)
    : QDialog(parent), model(model), store(store) {
    setWindowTitle(u"Vereinsdaten"_s);
    useFixedDialogFrame(this);
    QFont font(u"MS Sans Serif"_s);
    font.setPixelSize(11);
    setFont(font);

    // The controls are created in their tab order: the button strip first, then the club
    // group, then the contact group.
    ButtonOk =
        addButton(this, u"ButtonOk"_s, u"O&K"_s, u"Änderungen übernehmen und Dialog schließen"_s);
    ButtonEsc = addButton(this, u"ButtonEsc"_s, u"A&bbrechen"_s,
                          u"Änderungen verwerfen und Dialog schließen"_s);
    LabelHerkunft = new QLabel(this);
    LabelHerkunft->setObjectName(u"LabelHerkunft"_s);

    auto addEdit = [this](QGroupBox* group, const QString& name, int maxLength, const QString& hint,
                          std::string TMeldeAustausch::*modelField, int width) {
        auto* edit = new QLineEdit(group);
        edit->setObjectName(name);
        edit->setToolTip(hint);
        edit->setFixedWidth(width);
        restrictTyping(edit, maxLength);
        fields.append({edit, modelField});
        return edit;
    };

    auto* club = new QGroupBox(this);
    QGridLayout* clubRows = fieldRows(club, 14);
    clubRows->addWidget(new QLabel(u"Vereinsname"_s, club), 0, 0);
    EditName = addEdit(club, u"EditName"_s, 30, u"Name des meldenden Vereins"_s,
                       &TMeldeAustausch::ClubName, 300);
    clubRows->addWidget(EditName, 0, 1, 1, 3, Qt::AlignLeft);
    clubRows->addWidget(new QLabel(u"Landesverband"_s, club), 1, 0);
    ChooseVerband = new QComboBox(club);
    ChooseVerband->setObjectName(u"ChooseVerband"_s);
    ChooseVerband->setToolTip(u"Landesverband auswählen"_s);
    ChooseVerband->setFixedWidth(248);
    clubRows->addWidget(ChooseVerband, 1, 1);
    clubRows->addWidget(new QLabel(u"Länderkürzel"_s, club), 1, 2, Qt::AlignRight);
    clubRows->addWidget(addEdit(club, u"EditFina"_s, 3,
                                u"Länderkürzel laut Fina (z.B. GER für Deutschland)"_s,
                                &TMeldeAustausch::Fina, 53),
                        1, 3, Qt::AlignLeft);
    clubRows->addWidget(new QLabel(u"DSV - VereinsID"_s, club), 2, 0);
    clubRows->addWidget(addEdit(club, u"EditVereinsId"_s, 15, u"VereinsId des meldenden Vereins"_s,
                                &TMeldeAustausch::ClubId, 135),
                        2, 1, Qt::AlignLeft);
    clubRows->setColumnStretch(3, 1);

    auto* contact = new QGroupBox(u"Ansprechpartner"_s, this);
    QGridLayout* contactGrid = fieldRows(contact, 6);
    contactGrid->setColumnStretch(1, 1);
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
    for (const ContactRow& row : contactRows) {
        const int line = contactGrid->rowCount();
        contactGrid->addWidget(new QLabel(row.label, contact), line, 0);
        contactGrid->addWidget(
            addEdit(contact, row.name, row.maxLength, row.hint, row.modelField, row.width), line, 1,
            Qt::AlignLeft);
    }

    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(CaptionLeft, 8, 10, 8);
    strip->setSpacing(8);
    strip->addWidget(LabelHerkunft, 1);
    strip->addWidget(ButtonOk);
    strip->addWidget(ButtonEsc);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 0);
    layout->setSpacing(2);
    layout->addWidget(club);
    layout->addWidget(contact, 1);
    layout->addLayout(strip);

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
    fitDialogSize(this, DesignedSize);

    for (const ClubField& field : std::as_const(fields))
        connect(field.edit, &QLineEdit::textChanged, this, &TClubDialog::SomethingChanged);
    connect(ChooseVerband, &QComboBox::currentIndexChanged, this, &TClubDialog::SomethingChanged);
    connect(ButtonOk, &QPushButton::clicked, this, &TClubDialog::ButtonOkClick);
    connect(ButtonEsc, &QPushButton::clicked, this, &TClubDialog::reject);
}

void TClubDialog::FormCreate() {
    // Eight entries when dropped down; styles that drop down a menu-like popup would
    // otherwise show all of them.
    ChooseVerband->setStyleSheet(u"combobox-popup: 0;"_s);
    ChooseVerband->setMaxVisibleItems(8);
    ChooseVerband->clear();
    // Unsorted: the entry number is the association index the file stores.
    for (const char* name : AssociationNames)
        ChooseVerband->addItem(fromAnsi(name));
}

void TClubDialog::LoadFields() {
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

void TClubDialog::showFields(const TMeldeAustausch& source) {
    for (const ClubField& field : std::as_const(fields))
        field.edit->setText(fromAnsi(source.*field.modelField));
    // An index the table does not have shows no entry.
    const bool known = source.Verband >= 0 && source.Verband < ChooseVerband->count();
    ChooseVerband->setCurrentIndex(known ? source.Verband : -1);
}

// A file that names its club keeps it; otherwise the club of the last saved competition fills
// the fields.
bool TClubDialog::takeLastClubBlock() {
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

void TClubDialog::SomethingChanged() {
    Changed = true;
    ButtonOk->setEnabled(true);
}

void TClubDialog::ButtonOkClick() {
    if (StoreFields())
        accept();
}

bool TClubDialog::StoreFields() {
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

bool TClubDialog::FormCloseQuery() {
    return !Changed || ConfirmDiscard(u"Änderung wirklich verwerfen?"_s, HelpContextDiscard);
}

void TClubDialog::reject() {
    if (FormCloseQuery())
        QDialog::reject();
}
