// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/picker_widgets.h"

#include <QDateEdit>
#include <QTimeEdit>

#include "model/picker_date.h"

namespace korvalin {

QDateEdit* NewDatePicker(const CalendarTime& date) {
    auto* picker = new QDateEdit;
    picker->setDisplayFormat("dd/MM/yyyy");
    picker->setCalendarPopup(true);
    picker->setDateRange(QDate(PICKER_FIRST_YEAR, 1, 1), QDate(PICKER_LAST_YEAR, 12, 31));
    picker->setDate(QDate(date.year, date.month, date.day));
    return picker;
}

QTimeEdit* NewTimePicker(const CalendarTime& time) {
    auto* picker = new QTimeEdit;
    picker->setDisplayFormat("HH:mm:ss");
    picker->setTime(QTime(time.hour, time.minute, time.second));
    return picker;
}

CalendarTime CalendarDateOf(const QDate& date) {
    return CalendarTime{date.year(), date.month(), date.day(), 0, 0, 0};
}

CalendarTime CalendarTimeOf(const QTime& time) {
    return CalendarTime{0, 0, 0, time.hour(), time.minute(), time.second()};
}

}  // namespace korvalin
