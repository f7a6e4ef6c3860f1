// SPDX-License-Identifier: GPL-3.0-or-later
#include "formchoosewettkampf.h"

#include <QComboBox>
#include <QPushButton>

#include "ansi.h"
#include "appearance.h"
#include "dialogkeys.h"
#include "meldeaustausch.h"

using namespace Qt::StringLiterals;

namespace {

bool suitsSex(const TEventRecord& event, int sex) {
    return event.Sex == 2 || event.Sex == sex || sex == 2;
}

bool admitsBirthYear(const TEventRecord& event, int birthYear) {
    return event.AgeMax <= birthYear && birthYear <= event.AgeMin;
}

QString sexText(int sex) {
    switch (sex) {
    case 0:
        return u"Männlich"_s;
    case 1:
        return u"Weiblich"_s;
    default:
        return u"Mixed"_s;
    }
}

} // namespace

TFormChooseWettkampf::TFormChooseWettkampf(const TMeldeAustausch& model, QWidget* parent)
    : QDialog(parent), model(model) {
    setWindowTitle(u"Wettkampf auswählen"_s);
    useFixedDialogFrame(this);
    setFixedSize(440, 73);
    setFont(QFont(u"Arial"_s));

    // Created in tab order: the button bar first, then the list.
    auto* bar = new QWidget(this);
    bar->setGeometry(0, 32, 440, 41);
    ButtonOk = new QPushButton(u"O&K"_s, bar);
    ButtonOk->setObjectName(u"ButtonOk"_s);
    ButtonOk->setToolTip(u"Auswahl annehmen und Funktion ausführen"_s);
    ButtonOk->setGeometry(204, 8, 110, 25);
    ButtonEsc = new QPushButton(u"A&bbrechen"_s, bar);
    ButtonEsc->setObjectName(u"ButtonEsc"_s);
    ButtonEsc->setToolTip(u"Auswahl abbrechen"_s);
    ButtonEsc->setGeometry(322, 8, 110, 25);

    ChooseList = new QComboBox(this);
    ChooseList->setObjectName(u"ChooseList"_s);
    ChooseList->setGeometry(5, 6, 429, 22);
    bindSimulateEnter(ChooseList, UpDown::Keep);

    connect(ButtonOk, &QPushButton::clicked, this, &TFormChooseWettkampf::ButtonOkClick);
    connect(ButtonEsc, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFormChooseWettkampf::ItemText(const TEventRecord& event) {
    return u"Wettkampf "_s + fromAnsi(TMeldeAustausch::WkNrToText(event.WkNr)) + u", "_s +
           fromAnsi(event.Name) + u", "_s + sexText(event.Sex) + u", "_s +
           QString::number(event.AgeMax) + u'-' + QString::number(event.AgeMin);
}

int TFormChooseWettkampf::ChooseEvent(int birthYear, int sex) {
    ChooseList->clear();
    for (int position = 1; position <= model.EventCount(); ++position) {
        const TEventRecord& event = model.Event(position);
        if (suitsSex(event, sex) && admitsBirthYear(event, birthYear))
            ChooseList->addItem(ItemText(event), position);
    }
    Chosen = false;
    ChooseList->setCurrentIndex(ChooseList->count() > 0 ? 0 : -1);
    ChooseList->setFocus();
    exec();
    // "O&K" on an empty list has nothing to confirm and closes like "A&bbrechen".
    if (!Chosen || ChooseList->currentIndex() < 0)
        return 0;
    return ChooseList->currentData().toInt();
}

void TFormChooseWettkampf::ButtonOkClick() {
    Chosen = true;
    accept();
}
