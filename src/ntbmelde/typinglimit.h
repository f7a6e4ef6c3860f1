// Input fields whose length limit applies to typing only.
#pragma once

class QLineEdit;

// Refuses characters that Windows-1252 cannot hold (as restrictToAnsi does) and typing or
// pasting that would make the text longer than `maxLength`. A longer text that the program
// puts into the field (a host's file may carry one) is shown and kept whole; the user may
// shorten it but not lengthen it. Use instead of QLineEdit::setMaxLength, which cuts such a
// text when it is set.
void restrictTyping(QLineEdit* edit, int maxLength);
