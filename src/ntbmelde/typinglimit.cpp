#include "typinglimit.h"

#include <QLineEdit>

#include "ansi.h"

namespace {

class TypingLimitValidator : public AnsiValidator {
public:
    TypingLimitValidator(QLineEdit* edit, int maxLength)
        : AnsiValidator(edit), edit(edit), maxLength(maxLength), lengthBefore(edit->text().size()) {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { lengthBefore = text.size(); });
    }

    State validate(QString& input, int& pos) const override {
        if (AnsiValidator::validate(input, pos) == Invalid)
            return Invalid;
        // setText() clears the modified flag before the new text is validated: a text set by
        // the program is taken as it is.
        if (!edit->isModified())
            return Acceptable;
        return input.size() <= maxLength || input.size() <= lengthBefore ? Acceptable : Invalid;
    }

private:
    QLineEdit* edit;
    int maxLength;
    qsizetype lengthBefore;
};

} // namespace

void restrictTyping(QLineEdit* edit, int maxLength) {
    edit->setValidator(new TypingLimitValidator(edit, maxLength));
}
