// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/volume_label_dialog.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "ui/dialog_sizing.h"
#include "ui/picker_widgets.h"
#include "ui/text_codec.h"
#include "ui/typed_input.h"

namespace korvalin {

VolumeLabelDialog::VolumeLabelDialog(const VolumeLabelEditorState& state, QWidget* parent)
    : QDialog(parent),
      opened_(state),
      name_(new QLineEdit),
      date_(NewDatePicker(state.date)),
      time_(NewTimePicker(state.time)) {
    setWindowTitle("Volume Label Editor");
    name_->setMaxLength(VOLUME_LABEL_MAX_CHARS);
    name_->setText(DiscText(state.label).left(VOLUME_LABEL_MAX_CHARS));
    name_->setValidator(new UpperCaseLetters(name_));
    ShowCharsInField(*name_, VOLUME_LABEL_MAX_CHARS);

    auto* form = new QFormLayout;
    form->addRow("Name:", name_);
    form->addRow("Date:", date_);
    form->addRow("Time:", time_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    ReserveTitleWidth(*this, *layout);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

VolumeLabelEditorState VolumeLabelDialog::State() const {
    VolumeLabelEditorState state = opened_;
    state.label = DiscBytes(name_->text());
    SetVolumeEditorDate(state, CalendarDateOf(date_->date()));
    SetVolumeEditorTime(state, CalendarTimeOf(time_->time()));
    return state;
}

}  // namespace korvalin
