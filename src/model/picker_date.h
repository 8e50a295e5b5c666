// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the editors' date and time pickers can hold. Entry dates are packed
// into DOS words, whose year runs from 1980 to 1980 + 127, so the pickers
// offer exactly that range. Stored values that are not real dates (a day
// carried past a month's end by the display hour, a day 0) are shown as
// the nearest real date.

#include <string>

#include "model/calendar_time.h"

namespace korvalin {

constexpr int32_t PICKER_FIRST_YEAR = 1980;
constexpr int32_t PICKER_LAST_YEAR = 1980 + 127;

int32_t DaysInMonth(int32_t month, int32_t year);

// A real calendar date (year, month, day) between 1 January 1980 and
// 31 December 2107. Hour, minute and second are not looked at.
bool IsPickerDate(const CalendarTime& date);
// Hour 0-23, minute 0-59, second 0-59. The date fields are not looked at.
bool IsPickerTime(const CalendarTime& time);

// The date a picker shows for `date`: a day past the month's end carries
// into the next month, a day 0 is the last day of the month before, a month
// outside 1-12 is clamped, and the result is kept inside the picker's
// years. Only year, month and day are set.
CalendarTime PickerDateOf(const CalendarTime& date);
// The time a picker shows: each field clamped into its range. Only hour,
// minute and second are set.
CalendarTime PickerTimeOf(const CalendarTime& time);

// Parses "DD/MM/YYYY" and "HH:MM:SS" as the command line takes them; false
// when the text has another form or names no picker value.
bool ParsePickerDate(const std::string& text, CalendarTime& date);
bool ParsePickerTime(const std::string& text, CalendarTime& time);

}  // namespace korvalin
