// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/typed_input.h"

namespace korvalin {

QValidator::State UpperCaseLetters::validate(QString& input, int&) const {
    for (QChar& c : input) {
        if (c >= 'a' && c <= 'z') c = QChar(c.unicode() - 'a' + 'A');
    }
    return Acceptable;
}

// A leading minus sign (an unplaced entry opens with LBA "-1") is kept as an
// intermediate state, so that the rest of the field can still be typed over;
// the editor's own check refuses a negative LBA on OK.
QValidator::State DigitsOnly::validate(QString& input, int&) const {
    const bool negative = input.startsWith('-');
    const QStringView digits = QStringView(input).mid(negative ? 1 : 0);
    if (digits.size() > maxChars_) return Invalid;
    for (const QChar c : digits) {
        if (c < '0' || c > '9') return Invalid;
    }
    return negative ? Intermediate : Acceptable;
}

}  // namespace korvalin
