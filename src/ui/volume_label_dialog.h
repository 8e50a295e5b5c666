// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "model/volume_label_editor.h"

class QDateEdit;
class QLineEdit;
class QTimeEdit;

namespace korvalin {

// "Volume Label Editor": the volume label (at most 32 characters, letters
// upper-cased as they are typed) and the volume date and time as the user
// sees them.
class VolumeLabelDialog : public QDialog {
    Q_OBJECT
public:
    explicit VolumeLabelDialog(const VolumeLabelEditorState& state, QWidget* parent = nullptr);

    // The state with the fields' values, for ApplyVolumeLabelEditor.
    VolumeLabelEditorState State() const;

    QLineEdit* NameField() const { return name_; }
    QDateEdit* DatePicker() const { return date_; }
    QTimeEdit* TimePicker() const { return time_; }

private:
    VolumeLabelEditorState opened_;
    QLineEdit* name_;
    QDateEdit* date_;
    QTimeEdit* time_;
};

}  // namespace korvalin
