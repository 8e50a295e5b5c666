#include "ui/typed_input.h"

namespace korvalin {

QValidator::State UpperCaseLetters::validate(QString& input, int&) const {
    for (QChar& c : input) {
        if (c >= 'a' && c <= 'z') c = QChar(c.unicode() - 'a' + 'A');
    }
    return Acceptable;
}

QValidator::State DigitsOnly::validate(QString& input, int&) const {
    if (input.size() > maxChars_) return Invalid;
    for (const QChar c : input) {
        if (c < '0' || c > '9') return Invalid;
    }
    return Acceptable;
}

}  // namespace korvalin
