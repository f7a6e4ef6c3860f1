// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of hosts' files and other tools' lists that Windows-1252 cannot hold: letters with
// diacritics become the nearest letter Windows-1252 has (ł → l, ő → ö), Cyrillic follows the
// BGN/PCGN romanisation of Russian and Greek the UNGEGN one, through ICU's transliterator. What
// no table renders (Chinese characters, emoji) stays and is refused by the caller.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <string>

class TTextRewrites {
public:
    // The text in Windows-1252 bytes, rewritten where needed. Throws TInteropError naming the
    // character that no table renders and `where` it stands.
    std::string ToAnsi(const QString& text, const QString& where);
    // The text with what Windows-1252 lacks rewritten; characters no table renders are left.
    QString Rewritten(const QString& text);
    // "3 Namen umgeschrieben, z. B. „Łukasz“ → „Lukasz“, …"; empty when nothing was rewritten.
    QString Note() const;
    // Appends Note() to `notes` when there is one and `notes` is given.
    void AddNoteTo(QStringList* notes) const;

private:
    QSet<QString> rewritten; // the original texts, each counted once
    QStringList examples;
};
