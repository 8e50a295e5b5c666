#pragma once
// The values of the "Volume Label Editor" and how confirming them changes
// the project.

#include <string>

#include "model/calendar_time.h"
#include "model/project.h"

namespace korvalin {

struct VolumeLabelValues {
    std::string label;  // at most 32 characters, as typed
    CalendarTime date;  // year, month, day as the user sees them
    CalendarTime time;  // hour, minute, second as the user sees them
};

// The dialog's opening values: the volume date with its time of day, the label.
VolumeLabelValues VolumeLabelValuesOf(const Project& project);

// OK: the volume date and time as shown, `volumeUtcTime` one hour earlier,
// the label's first 32 characters. The caller refreshes the views.
void ApplyVolumeLabel(Project& project, const VolumeLabelValues& values);

}  // namespace korvalin
