#include "ui/import_options_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "import/isobuster_import.h"

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
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(ok);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int32_t ImportOptionsDialog::Mode() const { return modes_->checkedId(); }

QRadioButton* ImportOptionsDialog::ModeButton(int32_t mode) const {
    return qobject_cast<QRadioButton*>(modes_->button(mode));
}

}  // namespace korvalin
