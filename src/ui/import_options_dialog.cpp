// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import_options_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "import/isobuster_import.h"
#include "ui/dialog_sizing.h"

namespace korvalin {

ImportOptionsDialog::ImportOptionsDialog(QWidget* parent)
    : QDialog(parent), modes_(new QButtonGroup(this)) {
    setWindowTitle(IMPORT_DIALOG_TITLE);
    auto* group = new QGroupBox(IMPORT_DIALOG_GROUP);
    auto* buttons = new QVBoxLayout(group);
    int32_t mode = 0;
    for (const char* text : IMPORT_MODE_TEXTS) {
        auto* button = new QRadioButton(text);
        modes_->addButton(button, mode++);
        buttons->addWidget(button);
    }
    modes_->button(IMPORT_RESPECTIVE_LBA)->setChecked(true);
    // Cancel, Escape and the close button cancel the import.
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ok, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    ReserveTitleWidth(*this, *layout);
    layout->addWidget(group);
    layout->addWidget(ok);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int32_t ImportOptionsDialog::Mode() const { return modes_->checkedId(); }

QRadioButton* ImportOptionsDialog::ModeButton(int32_t mode) const {
    return qobject_cast<QRadioButton*>(modes_->button(mode));
}

}  // namespace korvalin
