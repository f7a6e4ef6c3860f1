// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own pictures, the fonts its windows are laid out for, and the language of the
// toolkit's own dialogs.
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>

class QCoreApplication;
class QLabel;

QIcon programIcon();
QPixmap exitNoticePicture();
// The club data button's picture where the desktop has none.
QIcon clubPicture();

// A font of `family` (or the closest one with the same style) `pixelSize` pixels high.
QFont pixelFont(const QString& family, QFont::StyleHint hint, int pixelSize);

// The frame of the program's dialogs: a title and a close button, no minimise or maximise
// button (the dialogs have a fixed size, see fitDialogSize).
void useFixedDialogFrame(QWidget* dialog);

// Gives a dialog of `useFixedDialogFrame` its one size: `designed`, or more where its layout
// needs more (a wider font, a longer text), and never more than the screen it opens on has room
// for with the dialog's title bar. Lays the dialog out at once, so that its controls have their
// widths before it shows.
void fitDialogSize(QWidget* dialog, QSize designed);

// Centred bold blue Arial `pixelSize` pixels high: the look of the program's banner lines.
void makeBlueHeadline(QLabel* label, int pixelSize);

// The toolkit's own texts (file and print dialogs, edit menus, window menus) in German, like the
// rest of the program, whatever the user's locale. False when the system has no German
// translation of them; they then stay English.
bool installGermanToolkitTexts(QCoreApplication& application);
