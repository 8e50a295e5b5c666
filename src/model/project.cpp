// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/project.h"

#include <algorithm>
#include <cstring>

namespace korvalin {

std::string_view VolumeInfo::Label() const {
    const char* end = std::find(label.begin(), label.end(), '\0');
    return std::string_view(label.data(), static_cast<size_t>(end - label.begin()));
}

void VolumeInfo::SetLabel(std::string_view text) {
    label.fill('\0');
    const size_t n = std::min(text.size(), static_cast<size_t>(VOLUME_LABEL_FIELD - 1));
    std::memcpy(label.data(), text.data(), n);
}

Project::Project() { volumeInfo.SetLabel("KORVALIN"); }

bool IsValidEntryId(const Project& project, int32_t id) {
    if (id < 0) return false;
    if (IsDirId(id)) return id < project.dirCount();
    return id >= FILE_ID_BASE && id - FILE_ID_BASE < project.fileCount();
}

EntryRecord& EntryById(Project& project, int32_t id) {
    return IsDirId(id) ? project.dirTable[static_cast<size_t>(id)]
                       : project.fileTable[static_cast<size_t>(id - FILE_ID_BASE)];
}

const EntryRecord& EntryById(const Project& project, int32_t id) {
    return EntryById(const_cast<Project&>(project), id);
}

CalendarTime VolumeDateOf(const VolumeInfo& info) {
    return CalendarTime{info.year, info.month, info.day, info.hour, info.minute, info.second};
}

static DirEntry MakeRoot() {
    DirEntry root;
    root.nameLength = 1;  // the name is the single byte 0x00
    root.lba = -1;
    root.flags = 0;
    root.parent = 1;
    root.size = 0;
    root.recordLength = ROOT_RECORD_LENGTH;
    return root;
}

void StartNewProject(Project& project, const CalendarTime& utcNow) {
    project.dirTable.clear();
    project.fileTable.clear();
    DirEntry root = MakeRoot();
    // Nothing else ever dates the root; the volume date is what users expect to see.
    root.dosDate = PackDosDate(utcNow);
    root.dosTime = PackDosTime(utcNow);
    project.dirTable.push_back(root);
    project.volumeInfo.SetLabel("NEW");
    project.volumeUtcTime = utcNow;
    const CalendarTime shown = AddDisplayHour(utcNow);
    project.volumeInfo.day = shown.day;
    project.volumeInfo.month = shown.month;
    project.volumeInfo.year = shown.year;
    project.volumeInfo.hour = shown.hour;
    project.volumeInfo.minute = shown.minute;
    project.volumeInfo.second = shown.second;
    project.currentDir = 0;
    project.editedEntryId = 0;
    project.layoutState = LayoutState{};
    project.extentTable.clear();
    project.settings = ProjectSettings{};
    project.volumeTexts = VolumeTexts{};
    project.audioTracks.clear();
    project.keptSectors = KeptSectorsRef{};
    project.fileLeftovers = ProjectFileLeftovers{};
}

void FinishLoadedProject(Project& project) {
    project.volumeUtcTime = SubtractDisplayHour(VolumeDateOf(project.volumeInfo));
    project.currentDir = 0;
    project.editedEntryId = 0;
}

}  // namespace korvalin
