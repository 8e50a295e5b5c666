// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editors' date and time pickers and their values. The date picker
// offers the years a DOS date word holds.

#include <QDate>
#include <QTime>

#include "model/calendar_time.h"

class QDateEdit;
class QTimeEdit;

namespace korvalin {

QDateEdit* NewDatePicker(const CalendarTime& date);
QTimeEdit* NewTimePicker(const CalendarTime& time);
CalendarTime CalendarDateOf(const QDate& date);
CalendarTime CalendarTimeOf(const QTime& time);

}  // namespace korvalin
