// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a dumped disc recorded for an entry beyond what the project's tables
// derive: the directory record's exact date, CD-XA field and flags, and a
// directory's extent size. Only what differs from the derived values is
// kept, so an entry Korvalin wrote carries none; a new entry has none.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "model/calendar_time.h"

namespace korvalin {

// The 7-byte directory record date: years since 1900, month, day, hour,
// minute, second, then the GMT offset in signed 15-minute steps.
using RecordDateBytes = std::array<uint8_t, 7>;
// The 14-byte CD-XA system-use field: owner group and user id, attributes
// (big-endian), "XA", file number, five reserved bytes.
using XaFieldBytes = std::array<uint8_t, 14>;

// What this program records in every date it writes: +9 hours.
constexpr int8_t DERIVED_GMT_OFFSET = 36;

struct EntryDiscFacts {
    // The record's date, written while the entry's DOS date and time are
    // still the ones it stands for (dosDate/dosTime); an edit of the date
    // replaces it.
    std::optional<RecordDateBytes> date;
    uint16_t dosDate = 0;
    uint16_t dosTime = 0;
    std::optional<XaFieldBytes> xaField;
    std::optional<uint8_t> fileFlags;
    // Directories: the extent size when larger than the packing gives, and
    // the dates of their "." and ".." records (written as zero otherwise).
    uint32_t extentSize = 0;
    std::optional<RecordDateBytes> selfDate;
    std::optional<RecordDateBytes> parentDate;

    bool Empty() const { return *this == EntryDiscFacts{}; }
    bool operator==(const EntryDiscFacts&) const = default;
};

// The DOS words a record time stands for: the time shown minus the display
// hour (hour 0 goes back to hour 23 of the day before, day 0 to 31, the
// month untouched, as the writer carries only into the day). False when the
// year is outside 1980-2107 and was held at the nearest end.
bool RecordTimeToDos(CalendarTime shown, uint16_t& dosDate, uint16_t& dosTime);

// The date bytes of `shown` with a GMT offset of `quarterHours`.
RecordDateBytes RecordDateOf(const CalendarTime& shown, int8_t quarterHours);
CalendarTime ShownTimeOf(const RecordDateBytes& date);

// The kept date when it still goes with these DOS words, else nullptr.
const RecordDateBytes* KeptDate(const EntryDiscFacts& facts, uint16_t dosDate, uint16_t dosTime);

// Sets an entry's date to the second: the DOS words follow it, and the
// exact bytes are kept unless they are what the DOS words give anyway.
// False when the date cannot be recorded (year outside 1980-2107 or a
// field out of range).
bool SetExactDate(EntryDiscFacts& facts, uint16_t& dosDate, uint16_t& dosTime, const CalendarTime& shown,
                  int8_t quarterHours);

// "YYYY-MM-DD HH:MM:SS" (or with a 'T'), optionally followed by the GMT
// offset "+HH:MM" / "-HH:MM" in quarter hours; without one, the offset this
// program records. False when the text is not such a date.
bool ParseExactDate(const std::string& text, CalendarTime& shown, int8_t& quarterHours);
// The same form, always with the offset.
std::string ExactDateText(const RecordDateBytes& date);

}  // namespace korvalin
