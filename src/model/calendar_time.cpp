// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/calendar_time.h"

namespace korvalin {

uint16_t PackDosDate(const CalendarTime& t) {
    return static_cast<uint16_t>(t.day + 32 * t.month + 512 * (t.year - 1980));
}

uint16_t PackDosTime(const CalendarTime& t) {
    return static_cast<uint16_t>(t.second / 2 + 32 * t.minute + 2048 * t.hour);
}

CalendarTime UnpackDos(uint16_t dosDate, uint16_t dosTime) {
    CalendarTime t;
    t.day = dosDate & 0x1F;
    t.month = (dosDate >> 5) & 0x0F;
    t.year = (dosDate >> 9) + 1980;
    t.second = (dosTime & 0x1F) * 2;
    t.minute = (dosTime >> 5) & 0x3F;
    t.hour = dosTime >> 11;
    return t;
}

CalendarTime AddDisplayHour(CalendarTime t) {
    t.hour += 1;
    if (t.second > 59) {
        t.second = 0;
        t.minute += 1;
    }
    if (t.minute > 59) {
        t.minute = 0;
        t.hour += 1;
    }
    if (t.hour > 23) {
        t.hour = 0;
        t.day += 1;
    }
    return t;
}

CalendarTime SubtractDisplayHour(CalendarTime t) {
    if (t.hour == 0) {
        t.hour = 23;
        t.day -= 1;
    } else {
        t.hour -= 1;
    }
    return t;
}

}  // namespace korvalin
