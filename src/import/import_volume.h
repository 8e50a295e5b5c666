// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The volume label and date an import gives the project.

#include <string>

#include "model/project.h"

namespace korvalin {

// With a drive ("C:\GAMEDISC\LIST.TXT"): the text from just past the drive's
// separator up to the next '\' or '/', so GAMEDISC (or LIST.TXT for a
// listing in the root of a drive). Otherwise the name of the folder holding
// the listing. Upper-cased a-z, at most 32 characters.
std::string VolumeLabelForListing(const std::string& listingPath);

// The volume date is the import's time: `utcNow` with one hour added, an
// hour past 23 becoming 0 of the next day number (month and year kept).
void SetVolumeDateFromClock(Project& project, const CalendarTime& utcNow);

}  // namespace korvalin
