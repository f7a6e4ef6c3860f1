// The boundary between the core's Windows-1252 bytes and Qt's Unicode strings.
#pragma once

#include <QString>
#include <QValidator>
#include <string>

class QLineEdit;

QString fromAnsi(const std::string& text);
// Characters that Windows-1252 cannot hold never get here: the input fields refuse them.
std::string toAnsi(const QString& text);
bool isAnsiText(const QString& text);

// Refuses input with a character that Windows-1252 cannot hold (typed or pasted).
class AnsiValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Gives the edit an AnsiValidator.
void restrictToAnsi(QLineEdit* edit);
