// SPDX-License-Identifier: GPL-3.0-or-later
#include "officialdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "ansi.h"
#include "appearance.h"
#include "conversions.h"
#include "dialogkeys.h"
#include "messages.h"
#include "officialnomination.h"
#include "typinglimit.h"

using namespace Qt::StringLiterals;

namespace {
const QStringList Sexes = {QString(), u"M"_s, u"W"_s, u"D"_s};
const QString Anywhere = u"(beliebig)"_s;

// A position as the list shows it: the code the files carry, and what it means.
QString positionCaption(const QString& code) {
    static const QHash<QString, QString> words = {{u"SCH"_s, u"Schiedsrichter"_s},
                                                  {u"ASCH"_s, u"Assistent des Schiedsrichters"_s},
                                                  {u"STA"_s, u"Starter"_s},
                                                  {u"STO"_s, u"Startordner"_s},
                                                  {u"ZRO"_s, u"Zielrichterobmann"_s},
                                                  {u"ZR"_s, u"Zielrichter"_s},
                                                  {u"ZNO"_s, u"Zeitnehmerobmann"_s},
                                                  {u"ZN"_s, u"Zeitnehmer"_s},
                                                  {u"RZN"_s, u"Reservezeitnehmer"_s},
                                                  {u"SR"_s, u"Schwimmrichter"_s},
                                                  {u"WRO"_s, u"Wenderichterobmann"_s},
                                                  {u"WR"_s, u"Wenderichter"_s},
                                                  {u"AUS"_s, u"Auswerter"_s},
                                                  {u"SP"_s, u"Sprecher"_s},
                                                  {u"PKF"_s, u"Protokollführer"_s},
                                                  {u"SIB"_s, u"Sicherheitsbeauftragter"_s},
                                                  {u"SAUF"_s, u"Streckenaufsicht"_s},
                                                  {u"VER"_s, u"Verpflegungsstelle"_s}};
    const QString meaning = words.value(code);
    return meaning.isEmpty() ? code : code + u" – "_s + meaning;
}
} // namespace

TOfficialDialog::TOfficialDialog(const TOfficial& official, int sections,
                                 const TNominatedOfficial* nominated, QWidget* parent)
    : QDialog(parent), edited(official) {
    setObjectName(u"OfficialDialog"_s);
    setWindowTitle(official.Id == 0 && !nominated ? u"Neuer Kampfrichter"_s : u"Kampfrichter"_s);
    useFixedDialogFrame(this);
    setFont(pixelFont(u"Arial"_s, QFont::SansSerif, 11));

    auto* form = new QFormLayout;
    EditName = new QLineEdit(fromAnsi(official.Name));
    EditName->setObjectName(u"EditName"_s);
    EditName->setToolTip(u"Name im Format NACHNAME, VORNAME"_s);
    restrictTyping(EditName, 30);
    form->addRow(u"&Name"_s, EditName);
    EditNummer = new QLineEdit(fromAnsi(official.Number));
    EditNummer->setObjectName(u"EditNummer"_s);
    EditNummer->setToolTip(u"Kampfrichter-Nummer des Verbands, wenn vorhanden"_s);
    restrictTyping(EditNummer, 15);
    form->addRow(u"Kampfrichter-N&r."_s, EditNummer);
    EditGruppe = new QComboBox;
    EditGruppe->setObjectName(u"EditGruppe"_s);
    for (const char* group : OfficialGroups)
        EditGruppe->addItem(QString::fromLatin1(group));
    EditGruppe->setToolTip(u"WKR Wettkampfrichter, AUS Auswerter, SCH Schiedsrichter, "
                           u"SPR Sprecher"_s);
    EditGruppe->setCurrentText(fromAnsi(official.Group));
    form->addRow(u"&Gruppe"_s, EditGruppe);
    EditGeschlecht = new QComboBox;
    EditGeschlecht->setObjectName(u"EditGeschlecht"_s);
    EditGeschlecht->addItems({u"(keine Angabe)"_s, u"Männlich"_s, u"Weiblich"_s, u"Divers"_s});
    EditGeschlecht->setCurrentIndex(std::max(0, int(Sexes.indexOf(fromAnsi(official.Sex)))));
    form->addRow(u"Ge&schlecht"_s, EditGeschlecht);
    CheckAktiv = new QCheckBox(u"&Aktiv"_s);
    CheckAktiv->setObjectName(u"CheckAktiv"_s);
    CheckAktiv->setChecked(official.Active);
    form->addRow(QString(), CheckAktiv);

    // This competition: the sections he is offered for.
    auto* competition = new QGroupBox(u"Für diesen Wettkampf gemeldet"_s);
    // Four to a row, so that a competition of twelve sections fits a small screen.
    constexpr int PerRow = 4;
    auto* checks = new QGridLayout;
    for (int section = 1; section <= sections; ++section) {
        auto* check = new QCheckBox(section <= 9 ? u"Abschnitt &%1"_s.arg(section)
                                                 : u"Abschnitt %1"_s.arg(section));
        check->setObjectName(u"CheckAbschnitt%1"_s.arg(section));
        CheckAbschnitt << check;
        checks->addWidget(check, (section - 1) / PerRow, (section - 1) % PerRow);
    }
    EditEinsatz = new QComboBox;
    EditEinsatz->setObjectName(u"EditEinsatz"_s);
    EditEinsatz->addItem(Anywhere);
    for (const char* position : OfficialPositions) {
        const QString code = QString::fromLatin1(position);
        EditEinsatz->addItem(positionCaption(code), code);
    }
    EditEinsatz->setToolTip(u"Gewünschter Einsatz; der Code steht so in der Meldedatei"_s);
    if (nominated) {
        for (const TOfficialSection& section : nominated->Sections) {
            if (section.Section >= 1 && section.Section <= sections)
                CheckAbschnitt[section.Section - 1]->setChecked(true);
            if (!section.Position.empty())
                EditEinsatz->setCurrentIndex(
                    std::max(0, EditEinsatz->findData(fromAnsi(section.Position))));
        }
    }
    auto* wish = new QFormLayout;
    wish->addRow(u"&Einsatzwunsch"_s, EditEinsatz);
    auto* competitionLayout = new QVBoxLayout(competition);
    competitionLayout->addLayout(checks);
    competitionLayout->addLayout(wish);

    auto* buttons = new QDialogButtonBox;
    ButtonOk = buttons->addButton(u"O&K"_s, QDialogButtonBox::AcceptRole);
    ButtonOk->setObjectName(u"ButtonOk"_s);
    ButtonEsc = buttons->addButton(u"Ab&brechen"_s, QDialogButtonBox::RejectRole);
    ButtonEsc->setObjectName(u"ButtonEsc"_s);
    connect(ButtonOk, &QPushButton::clicked, this, &TOfficialDialog::ButtonOkClick);
    connect(ButtonEsc, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(competition);
    layout->addWidget(buttons);

    // Enter moves on from field to field, and from the last to "O&K".
    bindSimulateEnter(EditName, UpDown::Move);
    bindSimulateEnter(EditNummer, UpDown::Move);
    bindSimulateEnter(EditGruppe, UpDown::Keep);
    bindSimulateEnter(EditGeschlecht, UpDown::Keep);
    bindSimulateEnter(CheckAktiv, UpDown::Move);
    for (QCheckBox* check : CheckAbschnitt)
        bindSimulateEnter(check, UpDown::Move);
    bindSimulateEnterLetzte(EditEinsatz, ButtonOk, nullptr, Typing::Free, UpDown::Keep);

    shownTexts = fieldTexts();
    fitDialogSize(this, sizeHint().expandedTo(QSize(380, 0)));
    EditName->setFocus();
}

std::vector<int> TOfficialDialog::sections() const {
    std::vector<int> checked;
    for (int i = 0; i < CheckAbschnitt.size(); ++i) {
        if (CheckAbschnitt[i]->isChecked())
            checked.push_back(i + 1);
    }
    return checked;
}

std::string TOfficialDialog::position() const {
    return toAnsi(EditEinsatz->currentData().toString());
}

QStringList TOfficialDialog::fieldTexts() const {
    QStringList texts = {EditName->text(),           EditNummer->text(),
                         EditGruppe->currentText(),  EditGeschlecht->currentText(),
                         EditEinsatz->currentText(), CheckAktiv->isChecked() ? u"1"_s : u"0"_s};
    for (const QCheckBox* check : CheckAbschnitt)
        texts << (check->isChecked() ? u"1"_s : u"0"_s);
    return texts;
}

void TOfficialDialog::reject() {
    if (fieldTexts() == shownTexts || ConfirmDiscard())
        QDialog::reject();
}

void TOfficialDialog::ButtonOkClick() {
    // Kept as the entry dialog keeps names: "Martina Kraus" becomes "Kraus, Martina".
    edited.Name = ConvertName(Trim(toAnsi(EditName->text())), 0);
    edited.Number = toAnsi(EditNummer->text());
    edited.Group = toAnsi(EditGruppe->currentText());
    edited.Sex = toAnsi(Sexes[EditGeschlecht->currentIndex()]);
    edited.Active = CheckAktiv->isChecked();
    accept();
}
