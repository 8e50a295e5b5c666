// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/volume_label_editor.h"

#include "model/picker_date.h"

namespace korvalin {

VolumeLabelEditorState OpenVolumeLabelEditor(const Project& project) {
    VolumeLabelEditorState state;
    state.label = std::string(project.volumeInfo.Label());
    const CalendarTime volume = VolumeDateOf(project.volumeInfo);
    state.date = state.openedDate = PickerDateOf(volume);
    state.time = state.openedTime = PickerTimeOf(volume);
    return state;
}

bool SetVolumeEditorDate(VolumeLabelEditorState& state, const CalendarTime& date) {
    if (!IsPickerDate(date)) return false;
    state.date = CalendarTime{date.year, date.month, date.day, 0, 0, 0};
    return true;
}

bool SetVolumeEditorTime(VolumeLabelEditorState& state, const CalendarTime& time) {
    if (!IsPickerTime(time)) return false;
    state.time = CalendarTime{0, 0, 0, time.hour, time.minute, time.second};
    return true;
}

void ApplyVolumeLabelEditor(Project& project, const VolumeLabelEditorState& state) {
    VolumeInfo& volume = project.volumeInfo;
    if (state.date != state.openedDate) {
        volume.year = state.date.year;
        volume.month = state.date.month;
        volume.day = state.date.day;
    }
    if (state.time != state.openedTime) {
        volume.hour = state.time.hour;
        volume.minute = state.time.minute;
        volume.second = state.time.second;
    }
    project.volumeUtcTime = SubtractDisplayHour(VolumeDateOf(volume));
    volume.SetLabel(state.label);
}

}  // namespace korvalin
