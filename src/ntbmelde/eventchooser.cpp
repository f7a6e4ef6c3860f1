// SPDX-License-Identifier: GPL-3.0-or-later
#include "eventchooser.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ansi.h"
#include "appearance.h"
#include "dialogkeys.h"
#include "meldeaustausch.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QSize ButtonSize(110, 25);
constexpr QSize DesignedSize(440, 73);

bool suitsSex(const TEventRecord& event, int sex) {
    return event.Sex == 2 || event.Sex == sex || sex == 2;
}

bool admitsBirthYear(const TEventRecord& event, int birthYear) {
    return event.EarliestBirthYear <= birthYear && birthYear <= event.LatestBirthYear;
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

TEventChooser::TEventChooser(const TMeldeAustausch& model, QWidget* parent)
    : QDialog(parent), model(model) {
    setWindowTitle(u"Wettkampf auswählen"_s);
    useFixedDialogFrame(this);
    setFont(QFont(u"Arial"_s));

    // Created in tab order: the button bar first, then the list.
    ButtonOk = new QPushButton(u"O&K"_s, this);
    ButtonOk->setObjectName(u"ButtonOk"_s);
    ButtonOk->setToolTip(u"Auswahl annehmen und Funktion ausführen"_s);
    ButtonOk->setMinimumSize(ButtonSize);
    ButtonEsc = new QPushButton(u"A&bbrechen"_s, this);
    ButtonEsc->setObjectName(u"ButtonEsc"_s);
    ButtonEsc->setToolTip(u"Auswahl abbrechen"_s);
    ButtonEsc->setMinimumSize(ButtonSize);

    ChooseList = new QComboBox(this);
    ChooseList->setObjectName(u"ChooseList"_s);
    // As wide as its longest entry: the dialog grows with it (see ChooseEvent).
    ChooseList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    bindSimulateEnter(ChooseList, UpDown::Keep);

    // The list at the top, the buttons at the right of the strip under it.
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 8, 2, 8);
    bar->setSpacing(8);
    bar->addStretch();
    bar->addWidget(ButtonOk);
    bar->addWidget(ButtonEsc);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 6, 6, 0);
    layout->setSpacing(4);
    layout->addWidget(ChooseList);
    layout->addLayout(bar);
    fitDialogSize(this, DesignedSize);

    connect(ButtonOk, &QPushButton::clicked, this, &TEventChooser::ButtonOkClick);
    connect(ButtonEsc, &QPushButton::clicked, this, &QDialog::reject);
}

QString TEventChooser::ItemText(const TEventRecord& event) {
    return u"Wettkampf "_s + fromAnsi(TMeldeAustausch::WkNrToText(event.WkNr)) + u", "_s +
           fromAnsi(event.Name) + u", "_s + sexText(event.Sex) + u", "_s +
           QString::number(event.EarliestBirthYear) + u'-' + QString::number(event.LatestBirthYear);
}

int TEventChooser::ChooseEvent(int birthYear, int sex) {
    ChooseList->clear();
    for (int position = 1; position <= model.EventCount(); ++position) {
        const TEventRecord& event = model.Event(position);
        if (suitsSex(event, sex) && admitsBirthYear(event, birthYear))
            ChooseList->addItem(ItemText(event), position);
    }
    Chosen = false;
    fitDialogSize(this, DesignedSize);
    ChooseList->setCurrentIndex(ChooseList->count() > 0 ? 0 : -1);
    ChooseList->setFocus();
    exec();
    // "O&K" on an empty list has nothing to confirm and closes like "A&bbrechen".
    if (!Chosen || ChooseList->currentIndex() < 0)
        return 0;
    return ChooseList->currentData().toInt();
}

void TEventChooser::ButtonOkClick() {
    Chosen = true;
    accept();
}
