// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dates as the disc carries them.

#include <string>

#include "model/calendar_time.h"
#include "model/project.h"

namespace korvalin {

// "YYYYMMDDHHMMSS00" from the volume date, with second, minute and hour
// carried on (the day is not carried further). Used by the volume
// descriptor and the IML file.
std::string volumeDateString(const VolumeInfo& info);

// The time a directory record shows for an entry's stored DOS words: one
// hour after the stored UTC time, carried up to the day but never into the
// month (day 31 may become 32).
CalendarTime RecordTimeOfEntry(uint16_t dosDate, uint16_t dosTime);

}  // namespace korvalin
