// SPDX-License-Identifier: GPL-3.0-or-later
#include "exitnotice.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "appearance.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int ClientWidth = 604;
constexpr int ClientHeight = 274;
constexpr int PictureHeight = 73;
constexpr int NoticeHeight = 125;
constexpr int StripHeight = 41;
} // namespace

TExitNotice::TExitNotice(QWidget* parent) : QDialog(parent) {
    setObjectName(u"ExitNotice"_s);
    setWindowTitle(u"Melde-Programm wird beendet"_s);
    useFixedDialogFrame(this);
    setFont(pixelFont(u"Arial"_s, QFont::SansSerif, 11));

    Image1 = new QLabel;
    Image1->setObjectName(u"Image1"_s);
    Image1->setFixedHeight(PictureHeight);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(exitNoticePicture());

    Memo1 = new QLabel(u"Vielen Dank, dass Sie Ihre Meldungen mit diesem Programm erfasst haben.\n"
                       u"Bitte schicken Sie die Datei \"EXCHANGE.NT2\" und den Kontrollausdruck\n"
                       u"rechtzeitig vor dem Meldeschluss an den Ausrichter."_s);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setFixedHeight(NoticeHeight);
    Memo1->setAlignment(Qt::AlignCenter);
    Memo1->setFont(pixelFont(u"Arial"_s, QFont::SansSerif, 13));

    Label1 = new QLabel(u"Viel Erfolg beim Wettkampf!"_s);
    Label1->setObjectName(u"Label1"_s);
    makeBlueHeadline(Label1, 24);

    ButtonOk = new QPushButton(u"OK"_s);
    ButtonOk->setObjectName(u"ButtonOk"_s);
    ButtonOk->setMinimumSize(150, 25);
    ButtonOk->setDefault(true);
    connect(ButtonOk, &QPushButton::clicked, this, &TExitNotice::ButtonOkClick);

    auto* strip = new QWidget;
    strip->setFixedHeight(StripHeight);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->addWidget(ButtonOk, 0, Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Image1);
    layout->addWidget(Memo1);
    layout->addWidget(Label1, 1);
    layout->addWidget(strip);
    fitDialogSize(this, QSize(ClientWidth, ClientHeight));

    ButtonOk->setFocus();
}

void TExitNotice::ButtonOkClick() {
    accept();
}
