// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/import_volume.h"

namespace korvalin {

namespace {

constexpr size_t LABEL_MAX = 32;
constexpr size_t DRIVE_SEARCH_CHARS = 511;

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string UpperLabel(const std::string& text, size_t start) {
    std::string label;
    for (size_t i = start; i < text.size() && label.size() < LABEL_MAX; ++i) {
        const char c = text[i];
        if (c == '\0' || c == '\\' || c == '/') break;
        label += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return label;
}

}  // namespace

std::string VolumeLabelForListing(const std::string& listingPath) {
    if (HasDrive(listingPath)) {
        const size_t colon = listingPath.substr(0, DRIVE_SEARCH_CHARS).find(':');
        return UpperLabel(listingPath, colon + 2);
    }
    const size_t fileStart = listingPath.rfind('/');
    if (fileStart == std::string::npos || fileStart == 0) return "";
    const size_t folderStart = listingPath.rfind('/', fileStart - 1);
    const size_t start = folderStart == std::string::npos ? 0 : folderStart + 1;
    return UpperLabel(listingPath.substr(0, fileStart), start);
}

void SetVolumeDateFromClock(Project& project, const CalendarTime& utcNow) {
    VolumeInfo& v = project.volumeInfo;
    v.year = utcNow.year;
    v.month = utcNow.month;
    v.day = utcNow.day;
    v.hour = utcNow.hour + 1;
    v.minute = utcNow.minute;
    v.second = utcNow.second;
    if (v.hour > 23) {
        v.hour = 0;
        v.day += 1;
    }
    project.volumeUtcTime = utcNow;
}

}  // namespace korvalin
