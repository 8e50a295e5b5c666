#pragma once

#include <QDialog>

#include "ui/volume_label_apply.h"

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
    VolumeLabelDialog(const VolumeLabelValues& values, QWidget* parent = nullptr);

    // The values at OK. A picker the user left alone hands back the stored
    // value even when that is not a real date (a day carried past the end of
    // its month by the display hour, or day 0), which the picker shows as the
    // nearest real date.
    VolumeLabelValues Values() const;

    QLineEdit* NameField() const { return name_; }
    QDateEdit* DatePicker() const { return date_; }
    QTimeEdit* TimePicker() const { return time_; }

private:
    VolumeLabelValues opened_;
    QLineEdit* name_;
    QDateEdit* date_;
    QTimeEdit* time_;
};

}  // namespace korvalin
