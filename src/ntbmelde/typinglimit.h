// SPDX-License-Identifier: GPL-3.0-or-later
// Input fields that take only what the exchange file can hold, typed or pasted.
#pragma once

#include <QValidator>

class QLineEdit;

// What a field takes besides its length limit.
enum class FieldCharacters {
    Text,   // every character that Windows-1252 holds
    Number, // digits and "-" only, as the number fields let them through when typed
};

// The validator of such a field. Characters it cannot take are dropped and the rest of the
// typed or pasted text stays; a character that Windows-1252 cannot hold is also reported by
// characterRefused, so that the dialog can say why it did not appear. Typing or pasting that
// would make the text longer than the limit is refused whole. A text that the program puts
// into the field (a host's file may carry a longer one) is shown and kept as it is; the user
// may shorten it but not lengthen it. Use instead of QLineEdit::setMaxLength, which cuts such a
// text when it is set.
class TypingLimit : public QValidator {
    Q_OBJECT
public:
    TypingLimit(QLineEdit* edit, int maxLength, FieldCharacters characters);
    State validate(QString& input, int& pos) const override;

signals:
    // `character` is the text of one character (two UTF-16 units outside the BMP).
    void characterRefused(const QString& character) const;

private:
    QLineEdit* edit;
    int maxLength;
    FieldCharacters characters;
    QString textBefore;
};

TypingLimit* restrictTyping(QLineEdit* edit, int maxLength,
                            FieldCharacters characters = FieldCharacters::Text);
