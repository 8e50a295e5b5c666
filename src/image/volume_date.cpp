// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/volume_date.h"

#include "model/message_format.h"

namespace korvalin {

namespace {
// Carries second into minute, minute into hour and hour into day.
void CarryUpToDay(CalendarTime& t) {
    if (t.second > 59) {
        t.second = 0;
        ++t.minute;
    }
    if (t.minute > 59) {
        t.minute = 0;
        ++t.hour;
    }
    if (t.hour > 23) {
        t.hour = 0;
        ++t.day;
    }
}

unsigned U(int32_t v) { return static_cast<unsigned>(v); }
}  // namespace

std::string volumeDateString(const VolumeInfo& info) {
    CalendarTime t = VolumeDateOf(info);
    CarryUpToDay(t);
    std::string text = FormatMessage("%4.4u%2.2u%2.2u%2.2u%2.2u%2.2u00", U(t.year), U(t.month),
                                     U(t.day), U(t.hour), U(t.minute), U(t.second));
    // Out-of-range fields print wider; the fields that take it hold 16 digits.
    text.resize(16, '0');
    return text;
}

CalendarTime RecordTimeOfEntry(uint16_t dosDate, uint16_t dosTime) {
    CalendarTime t;
    t.day = dosDate & 31;
    t.month = (dosDate >> 5) & 15;
    t.year = ((dosDate >> 9) & 127) + 1980;
    t.second = (dosTime & 31) * 2;
    t.minute = (dosTime >> 5) & 63;
    t.hour = ((dosTime >> 11) & 31) + 1;
    CarryUpToDay(t);
    return t;
}

}  // namespace korvalin
