// SPDX-License-Identifier: GPL-3.0-or-later
#include "instructionswindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
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

// A heading of the guide, underlined with plus signs.
QStringList heading(const QString& title) {
    return {QString(), title, QString(title.size(), u'+')};
}

// The guide, one entry per line: the four steps of every competition, then what else the
// program does.
QStringList instructionLines() {
    const QString steps = u"++++++++++"_s;
    return QStringList{
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
               u"Schicken Sie die Datei \"EXCHANGE.NT2\" und den Kontrollausdruck an den "
               u"Ausrichter."_s,
           } +
           heading(u"SCHWIMMERLISTE"_s) +
           QStringList{
               u"Nach jedem Speichern merkt sich das Programm die Schwimmer des Vereins mit "
               u"Jahrgang,"_s,
               u"Geschlecht, Registriernummer und Meldezeiten für die nächsten Wettkämpfe."_s,
               u"\"Schwimmer\" zeigt diese Liste: sortieren, filtern, bearbeiten, neu aufnehmen, "
               u"löschen"_s,
               u"und aktiv oder inaktiv schalten (inaktive Schwimmer werden nicht angeboten)."_s,
               u"\"Importieren\" übernimmt frühere Austauschdateien, CSV-Dateien und "
               u"Ergebnislisten"_s,
               u"(Lenex oder DSV7) des eigenen Vereins, mit \"Ergebnislisten: alle Vereine\" die "
               u"aller"_s,
               u"Vereine; \"Exportieren\" speichert die Liste als CSV-Datei. Unter der Liste "
               u"stehen "
               u"die"_s,
               u"Bestzeiten des gewählten Schwimmers aus den Ergebnislisten."_s,
           } +
           heading(u"NAMEN ERGÄNZEN"_s) +
           QStringList{
               u"Beim Tippen eines Namens unter \"Meldungen\" erscheinen passende Schwimmer der "
               u"Liste."_s,
               u"Pfeil nach unten wählt einen aus, Enter übernimmt Name, Jahrgang, Geschlecht und"_s,
               u"Registriernummer. Wer die Liste nicht beachtet, tippt einfach weiter."_s,
           } +
           heading(u"STAFFELN"_s) +
           QStringList{
               u"Der Name einer Staffel ist frei, ein Komma ist nicht nötig. Bei einem "
               u"Staffelwettkampf"_s,
               u"erscheint je Schwimmer ein Feld in Startreihenfolge, das Schwimmer der Liste "
               u"anbietet."_s,
               u"Sind alle Zeiten bekannt, schlägt das Programm ihre Summe als Meldezeit vor. "
               u"Masters-"_s,
               u"Staffeln erhalten ihre Altersklasse aus der Summe der Alter; der Export nennt die "
               u"Schwimmer."_s,
           } +
           heading(u"MELDEZEITEN UND HINWEISE"_s) +
           QStringList{
               u"Bei leerer Meldezeit schlägt das Programm die schnellste Zeit des Schwimmers auf "
               u"dieser"_s,
               u"Strecke und Bahnlänge aus den letzten 12 Monaten vor; die Zeile unter den Feldern "
               u"nennt,"_s,
               u"woher sie stammt (Bestzeit oder Meldezeit, Datum, Wettkampf). Tippen ersetzt "
               u"sie."_s,
               u"\"Meldezeiten vorschlagen\" im Menü der Meldeliste (rechte Maustaste oder "
               u"Umschalt+F10)"_s,
               u"trägt solche Zeiten in alle Meldungen ohne Meldezeit ein; \"Abbrechen\" nimmt sie "
               u"zurück."_s,
               u"Unter den Feldern stehen auch Hinweise zur eben übernommenen Meldung, etwa zu "
               u"einer"_s,
               u"doppelten Meldung oder einer unpassenden Meldezeit; gemeldet wird trotzdem."_s,
           } +
           heading(u"MELDEGELD"_s) +
           QStringList{
               u"\"Meldegeld\" zeigt, was der Verein dem Ausrichter an Meldegeld schuldet: je "
               u"Schwimmer,"_s,
               u"Staffel und Abschnitt und insgesamt, dazu Hinweise zu auffälligen Meldungen."_s,
               u"Pauschalen der Ausschreibung je Verein, Schwimmer und Abschnitt sind eingerechnet,"_s,
               u"nach dem Meldeschluss auch das Nachmeldegeld. Den Meldeschluss nennen die "
               u"Titelleiste,"_s,
               u"der Kontrollausdruck und die Übersicht; ist er vorbei, sagt es das Programm beim "
               u"Start."_s,
               u"Die Übersicht wird wie der Kontrollausdruck gespeichert (RTF, Text, PDF) und "
               u"gedruckt."_s,
           } +
           heading(u"KAMPFRICHTER UND TRAINER"_s) +
           QStringList{
               u"\"Kampfrichter\" führt die Kampfrichter des Vereins (Name, Nummer, Gruppe WKR, "
               u"AUS,"_s,
               u"SCH oder SPR) und seine Trainer. Mit Enter auf einem Kampfrichter melden Sie "
               u"ihn für"_s,
               u"Abschnitte dieses Wettkampfs, auf Wunsch mit Einsatz (etwa ZN Zeitnehmer); "
               u"darunter"_s,
               u"wählen Sie den Trainer des Wettkampfs. Das Programm merkt sich beides in der "
               u"Datei"_s,
               u"\"EXCHANGE.ZUSATZ.json\" neben der Austauschdatei, und der Export schreibt es "
               u"mit."_s,
               u"Abschnitte mit Meldungen, aber ohne Kampfrichter nennt die Meldegeld-Übersicht."_s,
           } +
           heading(u"AUSSCHREIBUNG UND MELDUNG ALS LENEX ODER DSV7"_s) +
           QStringList{
               u"Öffnen Sie eine Ausschreibung des Ausrichters (.lef, .lxf oder .dsv7) mit dem "
               u"Programm,"_s,
               u"so entsteht daraus die Datei \"EXCHANGE.NT2\" im selben Ordner."_s,
               u"\"Meldung exportieren\" speichert die Meldungen als Lenex- oder DSV7-Datei für "
               u"den"_s,
               u"Ausrichter. Was das Format nicht aufnehmen kann, wird aufgelistet, und nichts "
               u"wird"_s,
               u"geschrieben."_s,
           } +
           heading(u"BEFEHLSZEILE"_s) +
           QStringList{
               u"Das Programm \"ntbmelde-cli\" erledigt dieselben Arbeiten ohne Fenster, für "
               u"Ausrichter"_s,
               u"und Skripte: Meldungen prüfen (check), Kontrollausdruck (report) und Meldegeld "
               u"(fees)"_s,
               u"ausgeben, die Austauschdatei neu speichern (resave), Ausschreibungen einlesen "
               u"(import),"_s,
               u"Meldungen exportieren (export), die Schwimmerliste pflegen (swimmers) und "
               u"Kampfrichter"_s,
               u"melden (officials)."_s,
               u"Ohne Angaben aufgerufen, zeigt \"ntbmelde-cli\" alle Befehle."_s,
           };
}
} // namespace

TInstructionsWindow::TInstructionsWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(u"InstructionsWindow"_s);
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
    connect(BitBtn1, &QPushButton::clicked, this, &TInstructionsWindow::BitBtn1Click);

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
    // The guide is longer than the window: the page keys turn it while the button keeps the
    // focus, as the text itself is out of the Tab order.
    const std::pair<Qt::Key, QAbstractSlider::SliderAction> pageKeys[] = {
        {Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd},
        {Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub}};
    for (const auto& [key, action] : pageKeys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this,
                [this, action] { Memo1->verticalScrollBar()->triggerAction(action); });
    }

    BitBtn1->setFocus();
}

void TInstructionsWindow::BitBtn1Click() {
    close();
}
