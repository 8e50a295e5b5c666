#include "ui/volume_label_apply.h"

namespace korvalin {

VolumeLabelValues VolumeLabelValuesOf(const Project& project) {
    const VolumeInfo& v = project.volumeInfo;
    VolumeLabelValues values;
    values.label = std::string(v.Label());
    values.date = CalendarTime{v.year, v.month, v.day, 0, 0, 0};
    values.time = CalendarTime{0, 0, 0, v.hour, v.minute, v.second};
    return values;
}

void ApplyVolumeLabel(Project& project, const VolumeLabelValues& values) {
    VolumeInfo& v = project.volumeInfo;
    v.year = values.date.year;
    v.month = values.date.month;
    v.day = values.date.day;
    v.hour = values.time.hour;
    v.minute = values.time.minute;
    v.second = values.time.second;
    project.volumeUtcTime = SubtractDisplayHour(VolumeDateOf(v));
    v.SetLabel(values.label);
}

}  // namespace korvalin
