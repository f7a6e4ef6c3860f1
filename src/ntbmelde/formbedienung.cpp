// SPDX-License-Identifier: GPL-3.0-or-later
#include "formbedienung.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

#include "appearance.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int ClientWidth = 655;
constexpr int ClientHeight = 403;
constexpr int StripHeight = 41;
const QString SupportAddress = u"support@ntbmelde.example"_s;

// The guide, one entry per line.
QStringList instructionLines() {
    const QString steps = u"++++++++++"_s;
    return {
        u"Bedienungsanleitung"_s,
        QString(25, u'*'),
        u"Führen Sie die Maus auf eine Schaltfläche oder ein Eingabefeld und Sie "_s,
        u"erhalten eine Kurzhilfe."_s,
        QString(),
        u"SCHRITT 1:"_s,
        steps,
        u"Wählen Sie \"Vereinsdaten eingeben\" und machen Sie alle geforderten Angaben."_s,
        QString(),
        u"SCHRITT 2:"_s,
        steps,
        u"Wählen Sie \"Meldungen eingeben\" und melden Sie alle SchwimmerInnen."_s,
        QString(),
        u"SCHRITT 3:"_s,
        steps,
        u"Wählen Sie \"Kontrollausdruck\", kontrollieren Sie die Daten, speichern "_s,
        u"oder drucken Sie den Kontrollausdruck und schicken Sie diesen ebenfalls an den "
        u"Ausrichter."_s,
        QString(),
        u"SCHRITT 4:"_s,
        steps,
        u"Beenden Sie das Programm, dabei werden Sie gefragt, ob die Daten in der "
        u"Austauschdatei"_s,
        u"gespeichert werden sollen. Antworten Sie darauf mit Ja, wenn Sie etwas eingegeben "
        u"oder"_s,
        u"geändert haben. "_s,
        u"Schicken Sie die Datei \"EXCHANGE.NT2\" und den Kontrollausdruck an den Ausrichter."_s,
    };
}
} // namespace

TFormBedienung::TFormBedienung(QWidget* parent) : QDialog(parent) {
    setObjectName(u"FormBedienung"_s);
    setWindowTitle(u"Bedienungsanleitung"_s);
    useFixedDialogFrame(this);
    setFont(pixelFont(u"MS Sans Serif"_s, QFont::SansSerif, 11));

    Memo1 = new QTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setFont(pixelFont(u"Courier New"_s, QFont::TypeWriter, 11));
    Memo1->setLineWrapMode(QTextEdit::WidgetWidth);
    Memo1->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    Memo1->setPlainText(instructionLines().join(u'\n'));

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), u"&Schließen"_s);
    BitBtn1->setObjectName(u"BitBtn1"_s);
    BitBtn1->setToolTip(u"Schließt die Anzeige der Bedienungsanleitung"_s);
    BitBtn1->setMinimumSize(145, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormBedienung::BitBtn1Click);

    Label1 = new QLabel(
        u"Fehlermeldung oder Verbesserungsvorschläge zu dieser Software bitte per eMail an:"_s);
    Label1->setObjectName(u"Label1"_s);
    Label2 = new QLabel(SupportAddress);
    Label2->setObjectName(u"Label2"_s);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette red = Label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label2->setPalette(red);

    auto* labels = new QVBoxLayout;
    labels->setSpacing(0);
    labels->addWidget(Label1);
    labels->addWidget(Label2);

    auto* strip = new QWidget(this);
    strip->setFixedHeight(StripHeight);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(8, 0, 8, 0);
    stripLayout->setSpacing(16);
    stripLayout->addWidget(BitBtn1);
    stripLayout->addLayout(labels, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Memo1, 1);
    layout->addWidget(strip);
    fitDialogSize(this, QSize(ClientWidth, ClientHeight));

    BitBtn1->setFocus();
}

void TFormBedienung::BitBtn1Click() {
    close();
}
