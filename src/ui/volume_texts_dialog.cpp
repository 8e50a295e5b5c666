// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/volume_texts_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/dialog_sizing.h"

namespace korvalin {

namespace {

constexpr const char* FIELD_LABELS[] = {
    "System identifier:",    "Volume set:",          "Publisher:",
    "Data preparer:",        "Application:",         "Copyright file:",
    "Abstract file:",        "Bibliographic file:",
};
constexpr char HINT[] = "Empty fields write the usual text.";

}  // namespace

VolumeTextsDialog::VolumeTextsDialog(const Project& project, QWidget* parent)
    : QDialog(parent), shown_(project.volumeTexts) {
    setWindowTitle("Descriptor Texts");
    auto* form = new QFormLayout;
    for (size_t i = 0; i < VOLUME_FIELD_COUNT; ++i) {
        const VolumeFieldPlace& place = VOLUME_FIELD_PLACES[i];
        if (place.isDate) continue;
        auto* field = new QLineEdit(QString::fromLatin1(VolumeTextOf(shown_, i).c_str()));
        field->setMaxLength(static_cast<int>(place.length));
        ShowCharsInField(*field, static_cast<int>(std::min<uint32_t>(place.length, 40)));
        form->addRow(FIELD_LABELS[i], field);
        fields_[i] = field;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(HINT));
    layout->addWidget(buttons);
    ReserveTitleWidth(*this, *layout);
}

void VolumeTextsDialog::ApplyTo(Project& project) const {
    for (size_t i = 0; i < VOLUME_FIELD_COUNT; ++i) {
        if (fields_[i] == nullptr) continue;
        const std::string text = fields_[i]->text().toLatin1().toStdString();
        if (text != VolumeTextOf(shown_, i)) SetVolumeText(project.volumeTexts, i, text);
    }
}

}  // namespace korvalin
