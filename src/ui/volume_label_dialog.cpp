#include "ui/volume_label_dialog.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QTimeEdit>
#include <QValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "model/project.h"
#include "ui/text_codec.h"

namespace korvalin {

namespace {

constexpr int LABEL_MAX_CHARS = VOLUME_LABEL_FIELD - 1;

// Turns a-z into A-Z as they are typed; everything else is kept.
class UpperCaseLetters : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar& c : input) {
            if (c >= 'a' && c <= 'z') c = QChar(c.unicode() - 'a' + 'A');
        }
        return Acceptable;
    }
};

// Day numbers past a month's end run into the next month, day 0 is the last
// day of the month before, so the picker shows a real date near the stored one.
QDate PickerDate(const CalendarTime& date) {
    const int month = std::clamp(date.month, 1, 12);
    const QDate first(date.year, month, 1);
    const QDate shown = first.isValid() ? first.addDays(date.day - 1) : QDate();
    return shown.isValid() ? shown : QDate(2001, 1, 1);
}

QTime PickerTime(const CalendarTime& time) {
    return QTime(std::clamp(time.hour, 0, 23), std::clamp(time.minute, 0, 59),
                 std::clamp(time.second, 0, 59));
}

}  // namespace

VolumeLabelDialog::VolumeLabelDialog(const VolumeLabelValues& values, QWidget* parent)
    : QDialog(parent),
      opened_(values),
      name_(new QLineEdit),
      date_(new QDateEdit),
      time_(new QTimeEdit) {
    setWindowTitle("Volume Label Editor");
    name_->setMaxLength(LABEL_MAX_CHARS);
    name_->setValidator(new UpperCaseLetters(name_));
    name_->setText(DiscText(values.label).left(LABEL_MAX_CHARS));
    date_->setDisplayFormat("dd/MM/yyyy");
    date_->setCalendarPopup(true);
    date_->setDate(PickerDate(values.date));
    time_->setDisplayFormat("HH:mm:ss");
    time_->setTime(PickerTime(values.time));

    auto* form = new QFormLayout;
    form->addRow("Name:", name_);
    form->addRow("Date:", date_);
    form->addRow("Time:", time_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

VolumeLabelValues VolumeLabelDialog::Values() const {
    VolumeLabelValues values = opened_;
    values.label = DiscBytes(name_->text());
    if (date_->date() != PickerDate(opened_.date)) {
        const QDate d = date_->date();
        values.date = CalendarTime{d.year(), d.month(), d.day(), 0, 0, 0};
    }
    if (time_->time() != PickerTime(opened_.time)) {
        const QTime t = time_->time();
        values.time = CalendarTime{0, 0, 0, t.hour(), t.minute(), t.second()};
    }
    return values;
}

}  // namespace korvalin
