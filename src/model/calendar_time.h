// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Calendar fields and the DOS date and time words that entries store.

#include <cstdint>

namespace korvalin {

// Plain calendar fields; values may run past their usual range where the
// +1 hour display carries into the day without touching month or year.
struct CalendarTime {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    bool operator==(const CalendarTime&) const = default;
};

uint16_t PackDosDate(const CalendarTime& t);
uint16_t PackDosTime(const CalendarTime& t);
// Stored UTC words to the fields as stored (no hour added).
CalendarTime UnpackDos(uint16_t dosDate, uint16_t dosTime);

// Entry times are shown one hour after UTC. The carries are those of the
// list view: second, minute, hour, and finally the day, never month or year.
CalendarTime AddDisplayHour(CalendarTime t);
// The reverse for the volume date: hour 0 becomes 23 of the day before
// (the day number goes down, month and year are left alone).
CalendarTime SubtractDisplayHour(CalendarTime t);

}  // namespace korvalin
