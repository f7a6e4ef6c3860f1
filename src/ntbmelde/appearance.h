// The program's own pictures and the fonts its windows are laid out for.
#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>

QIcon programIcon();
QPixmap exitNoticePicture();
// The club data button's picture where the desktop has none.
QIcon clubPicture();

// A font of `family` (or the closest one with the same style) `pixelSize` pixels high.
QFont pixelFont(const QString& family, QFont::StyleHint hint, int pixelSize);
