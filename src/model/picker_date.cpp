// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/picker_date.h"

#include <algorithm>

namespace korvalin {

int32_t DaysInMonth(int32_t month, int32_t year) {
    static constexpr int32_t DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : DAYS[month - 1];
}

bool IsPickerDate(const CalendarTime& date) {
    return date.year >= PICKER_FIRST_YEAR && date.year <= PICKER_LAST_YEAR && date.month >= 1 &&
           date.month <= 12 && date.day >= 1 && date.day <= DaysInMonth(date.month, date.year);
}

bool IsPickerTime(const CalendarTime& time) {
    return time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59 &&
           time.second >= 0 && time.second <= 59;
}

CalendarTime PickerDateOf(const CalendarTime& date) {
    CalendarTime shown;
    shown.year = date.year;
    shown.month = std::clamp(date.month, 1, 12);
    shown.day = date.day;
    if (shown.day < 1) {
        shown.month -= 1;
        if (shown.month == 0) {
            shown.month = 12;
            shown.year -= 1;
        }
        shown.day = DaysInMonth(shown.month, shown.year);
    }
    // A stored day is at most 31 and the display hour adds at most one, so
    // this carries by one month at most; the loop only guards odd input.
    while (shown.day > DaysInMonth(shown.month, shown.year)) {
        shown.day -= DaysInMonth(shown.month, shown.year);
        shown.month += 1;
        if (shown.month == 13) {
            shown.month = 1;
            shown.year += 1;
        }
    }
    if (shown.year < PICKER_FIRST_YEAR) return CalendarTime{PICKER_FIRST_YEAR, 1, 1, 0, 0, 0};
    if (shown.year > PICKER_LAST_YEAR) return CalendarTime{PICKER_LAST_YEAR, 12, 31, 0, 0, 0};
    return shown;
}

CalendarTime PickerTimeOf(const CalendarTime& time) {
    CalendarTime shown;
    shown.hour = std::clamp(time.hour, 0, 23);
    shown.minute = std::clamp(time.minute, 0, 59);
    shown.second = std::clamp(time.second, 0, 59);
    return shown;
}

namespace {

// Exactly `widths` digit groups separated by `separator`, nothing else.
bool ParseGroups(const std::string& text, char separator, const int (&widths)[3],
                 int32_t (&values)[3]) {
    size_t pos = 0;
    for (int g = 0; g < 3; ++g) {
        if (g > 0) {
            if (pos >= text.size() || text[pos] != separator) return false;
            ++pos;
        }
        int32_t value = 0;
        int digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < widths[g]) {
            value = value * 10 + (text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0) return false;
        values[g] = value;
    }
    return pos == text.size();
}

}  // namespace

bool ParsePickerDate(const std::string& text, CalendarTime& date) {
    int32_t v[3] = {};
    if (!ParseGroups(text, '/', {2, 2, 4}, v)) return false;
    const CalendarTime parsed{v[2], v[1], v[0], 0, 0, 0};
    if (!IsPickerDate(parsed)) return false;
    date = parsed;
    return true;
}

bool ParsePickerTime(const std::string& text, CalendarTime& time) {
    int32_t v[3] = {};
    if (!ParseGroups(text, ':', {2, 2, 2}, v)) return false;
    const CalendarTime parsed{0, 0, 0, v[0], v[1], v[2]};
    if (!IsPickerTime(parsed)) return false;
    time = parsed;
    return true;
}

}  // namespace korvalin
