// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <cstdint>

class QButtonGroup;
class QRadioButton;

namespace korvalin {

// "IsoBuster Tree Listing Import Options": one radio button per ImportMode,
// the first chosen, OK and Cancel.
class ImportOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImportOptionsDialog(QWidget* parent = nullptr);
    // The index of the chosen button, the ImportMode.
    int32_t Mode() const;
    QRadioButton* ModeButton(int32_t mode) const;

private:
    QButtonGroup* modes_;
};

}  // namespace korvalin
