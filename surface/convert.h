#pragma once
// Text to number, as typed into an edit. A text that does not convert raises ConvertError
// with the message the user is shown.

#include <QString>
#include <optional>
#include <stdexcept>

namespace surface {

class ConvertError : public std::runtime_error {
  public:
    explicit ConvertError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

// Whole number with an optional sign; raises "'%s' is not a valid integer value".
int strToInt(const QString& text);
// Decimal number with an optional sign, point and exponent, blanks around it allowed;
// raises "'%s' is not a valid floating point value". NaN and infinities do not convert.
double strToFloat(const QString& text);
// The same without raising: false when the text does not convert.
bool tryStrToFloat(const QString& text, double& out);

// One digit character to its value; raises the integer conversion error for anything else.
int digitValue(QChar c);

// The text of one character. Symbols write their characters one by one: a Latin-1
// character's text is shared, not allocated.
QString charText(QChar c);
// The text of a digit 0 to 9.
QString digitText(int digit);

// For digit fields that pasted text can reach past the key filters: the notice naming the
// first character of `text` that is not a digit 0 to 9 and its 1-based position, shown
// under the field's caption `name`; empty when there is none.
std::optional<QString> nonDigitNotice(const QString& text, const QString& name);

}  // namespace surface
