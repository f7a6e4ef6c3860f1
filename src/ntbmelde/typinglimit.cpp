// SPDX-License-Identifier: GPL-3.0-or-later
#include "typinglimit.h"

#include <QLineEdit>

#include "ansi.h"

namespace {
bool isNumberCharacter(QChar character) {
    return character == u'-' || (character >= u'0' && character <= u'9');
}
} // namespace

TypingLimit::TypingLimit(QLineEdit* edit, int maxLength, FieldCharacters characters)
    : QValidator(edit), edit(edit), maxLength(maxLength), characters(characters),
      textBefore(edit->text()) {
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { textBefore = text; });
}

QValidator::State TypingLimit::validate(QString& input, int& pos) const {
    // setText() clears the modified flag before the new text is validated: a text set by the
    // program is taken as it is, and so is the text the field already holds.
    if (!edit->isModified() || input == textBefore)
        return Acceptable;
    QString kept;
    kept.reserve(input.size());
    QString refused;
    int keptPos = 0;
    for (qsizetype i = 0; i < input.size();) {
        const QChar first = input.at(i);
        const bool pair =
            first.isHighSurrogate() && i + 1 < input.size() && input.at(i + 1).isLowSurrogate();
        const qsizetype width = pair ? 2 : 1;
        const bool holdable = !pair && isAnsiCharacter(first);
        if (holdable && (characters == FieldCharacters::Text || isNumberCharacter(first))) {
            kept.append(first);
            if (i < pos)
                ++keptPos;
        } else if (!holdable && refused.isEmpty()) {
            refused = input.mid(i, width);
        }
        i += width;
    }
    if (!refused.isEmpty())
        emit characterRefused(refused);
    // A change of which nothing is left is none, and a text longer than the limit (and than
    // before) is refused whole.
    if (kept == textBefore || (kept.size() > maxLength && kept.size() > textBefore.size()))
        return Invalid;
    input = kept;
    pos = keptPos;
    return Acceptable;
}

TypingLimit* restrictTyping(QLineEdit* edit, int maxLength, FieldCharacters characters) {
    auto* limit = new TypingLimit(edit, maxLength, characters);
    edit->setValidator(limit);
    return limit;
}
