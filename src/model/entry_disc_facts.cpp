// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/entry_disc_facts.h"

#include <cstdio>

#include "model/message_format.h"

namespace korvalin {

namespace {

// The record time the writer derives from DOS words: one hour on, carried
// up to the day only.
CalendarTime DerivedShownTime(uint16_t dosDate, uint16_t dosTime) {
    CalendarTime t{((dosDate >> 9) & 127) + 1980, (dosDate >> 5) & 15, dosDate & 31,
                   ((dosTime >> 11) & 31) + 1,    (dosTime >> 5) & 63, (dosTime & 31) * 2};
    if (t.hour > 23) {
        t.hour = 0;
        ++t.day;
    }
    return t;
}

bool InRange(const CalendarTime& t, int8_t quarterHours) {
    return t.year >= 1980 && t.year <= 2107 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
           t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59 &&
           quarterHours >= -48 && quarterHours <= 52;
}

}  // namespace

bool RecordTimeToDos(CalendarTime t, uint16_t& dosDate, uint16_t& dosTime) {
    if (t.hour == 0) {
        t.hour = 23;
        t.day = t.day == 0 ? 31 : t.day - 1;
    } else {
        t.hour -= 1;
    }
    const bool held = t.year >= 1980 && t.year <= 2107;
    if (t.year < 1980) t = CalendarTime{1980, 1, 1, 0, 0, 0};
    if (t.year > 2107) t = CalendarTime{2107, 12, 31, 23, 59, 58};
    dosDate = PackDosDate(t);
    dosTime = PackDosTime(t);
    return held;
}

RecordDateBytes RecordDateOf(const CalendarTime& shown, int8_t quarterHours) {
    return {static_cast<uint8_t>(shown.year - 1900), static_cast<uint8_t>(shown.month),
            static_cast<uint8_t>(shown.day),         static_cast<uint8_t>(shown.hour),
            static_cast<uint8_t>(shown.minute),      static_cast<uint8_t>(shown.second),
            static_cast<uint8_t>(quarterHours)};
}

CalendarTime ShownTimeOf(const RecordDateBytes& date) {
    return {1900 + date[0], date[1], date[2], date[3], date[4], date[5]};
}

const RecordDateBytes* KeptDate(const EntryDiscFacts& facts, uint16_t dosDate, uint16_t dosTime) {
    if (!facts.date || facts.dosDate != dosDate || facts.dosTime != dosTime) return nullptr;
    return &*facts.date;
}

bool SetExactDate(EntryDiscFacts& facts, uint16_t& dosDate, uint16_t& dosTime, const CalendarTime& shown,
                  int8_t quarterHours) {
    if (!InRange(shown, quarterHours)) return false;
    uint16_t newDate = 0;
    uint16_t newTime = 0;
    if (!RecordTimeToDos(shown, newDate, newTime)) return false;
    dosDate = newDate;
    dosTime = newTime;
    const RecordDateBytes exact = RecordDateOf(shown, quarterHours);
    if (exact == RecordDateOf(DerivedShownTime(newDate, newTime), DERIVED_GMT_OFFSET)) {
        facts.date.reset();
        facts.dosDate = 0;
        facts.dosTime = 0;
    } else {
        facts.date = exact;
        facts.dosDate = newDate;
        facts.dosTime = newTime;
    }
    return true;
}

bool ParseExactDate(const std::string& text, CalendarTime& shown, int8_t& quarterHours) {
    CalendarTime t;
    char separator = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &t.year, &t.month, &t.day, &separator, &t.hour,
                    &t.minute, &t.second, &consumed) != 7 ||
        (separator != ' ' && separator != 'T') || consumed != 19) {
        return false;
    }
    int offset = DERIVED_GMT_OFFSET;
    const std::string rest = text.substr(19);
    if (!rest.empty()) {
        int hours = 0;
        int minutes = 0;
        int restConsumed = 0;
        if (rest.size() != 6 || (rest[0] != '+' && rest[0] != '-') ||
            std::sscanf(rest.c_str() + 1, "%2d:%2d%n", &hours, &minutes, &restConsumed) != 2 || restConsumed != 5 ||
            minutes % 15 != 0 || minutes > 45) {
            return false;
        }
        offset = (rest[0] == '-' ? -1 : 1) * (hours * 4 + minutes / 15);
    }
    if (!InRange(t, 0) || offset < -48 || offset > 52) return false;
    shown = t;
    quarterHours = static_cast<int8_t>(offset);
    return true;
}

std::string ExactDateText(const RecordDateBytes& date) {
    const int offset = static_cast<int8_t>(date[6]) * 15;
    const int magnitude = offset < 0 ? -offset : offset;
    return FormatMessage("%4.4d-%2.2d-%2.2dT%2.2d:%2.2d:%2.2d%c%2.2d:%2.2d", 1900 + date[0], date[1], date[2],
                         date[3], date[4], date[5], offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
}

}  // namespace korvalin
