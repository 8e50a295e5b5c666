// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Edit Volume Label": the volume label and the volume date and time. A
// dialog opens the state, lets the user change `label` (at most 32
// characters, letters upper-cased as typed, see TypedUpperCase), `date` and
// `time` (SetVolumeEditorDate / SetVolumeEditorTime), and on OK calls
// ApplyVolumeLabelEditor, then RefreshFileList(1). Cancel changes nothing.

#include <string>

#include "model/calendar_time.h"
#include "model/project.h"

namespace korvalin {

constexpr int VOLUME_LABEL_MAX_CHARS = VOLUME_LABEL_FIELD - 1;

struct VolumeLabelEditorState {
    std::string label;
    CalendarTime date;  // date picker: year, month, day
    CalendarTime time;  // time picker: hour, minute, second
    CalendarTime openedDate;
    CalendarTime openedTime;
};

// The pickers show the volume date and time as the user sees them; a stored
// date that does not exist is shown as the nearest real one.
VolumeLabelEditorState OpenVolumeLabelEditor(const Project& project);
// False (and no change) for a value the pickers cannot hold.
bool SetVolumeEditorDate(VolumeLabelEditorState& state, const CalendarTime& date);
bool SetVolumeEditorTime(VolumeLabelEditorState& state, const CalendarTime& time);

// OK: the volume date and time from the pickers (a picker left as it opened
// keeps the stored values exactly), `volumeUtcTime` one hour earlier, the
// label's first 32 characters as typed.
void ApplyVolumeLabelEditor(Project& project, const VolumeLabelEditorState& state);

}  // namespace korvalin
