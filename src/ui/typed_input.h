// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rules for what the user may type into the editors' fields. A QLineEdit
// applies its validator's rejection to typed input only, and only while the
// text is acceptable: an opening text set from the record (an LBA of -1, a
// size of ten digits) is shown whole and can then be edited freely until it
// is acceptable again.

#include <QValidator>

namespace korvalin {

// Letters a-z become A-Z as they are typed; everything else is kept.
class UpperCaseLetters : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

// Decimal digits only, at most `maxChars` of them, after an optional minus sign.
class DigitsOnly : public QValidator {
public:
    DigitsOnly(int maxChars, QObject* parent) : QValidator(parent), maxChars_(maxChars) {}
    State validate(QString& input, int& position) const override;

private:
    int maxChars_;
};

}  // namespace korvalin
