// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/disk_entries.h"

#include <cstring>

namespace korvalin {

void SetDosTimestamp(EntryRecord& entry, const CalendarTime& utc) {
    CalendarTime t = utc;
    if (t.year < 1980) t = CalendarTime{1980, 1, 1, 0, 0, 0};
    if (t.year > 2107) t = CalendarTime{2107, 12, 31, 23, 59, 58};
    entry.dosDate = PackDosDate(t);
    entry.dosTime = PackDosTime(t);
}

DirEntry NewDiskDirEntry(const std::string& discName, const FileInfo& info, uint32_t parent) {
    DirEntry dir;
    dir.SetName(discName);
    SetDosTimestamp(dir, info.lastWriteUtc);
    dir.lba = -1;
    dir.flags = 0;
    dir.parent = parent;
    dir.size = 0;
    dir.recordLength = DirRecordLength(dir.nameLength);
    return dir;
}

FileEntry NewDiskFileEntry(const std::string& discName, const FileInfo& info, uint32_t parent,
                           const std::string& sourcePath) {
    FileEntry file;
    file.SetName(discName);
    SetDosTimestamp(file, info.lastWriteUtc);
    file.lba = -1;
    file.flags = 0;
    file.parent = parent;
    file.size = static_cast<uint32_t>(info.size);  // the low 32 bits
    file.recordLength = FileRecordLength(file.nameLength);
    file.sourcePath = sourcePath;
    return file;
}

bool HasName(const EntryRecord& entry, const std::string& discName) {
    return entry.nameLength == discName.size() && discName.size() <= NAME_FIELD_SIZE &&
           std::memcmp(entry.name.data(), discName.data(), discName.size()) == 0;
}

int32_t FindSubdirectory(const Project& project, const std::string& discName, uint32_t parent) {
    for (int32_t d = 1; d < project.dirCount(); ++d) {
        const DirEntry& dir = project.dirTable[d];
        if (dir.parent == parent && HasName(dir, discName)) return d;
    }
    return -1;
}

int32_t FindFileIn(const Project& project, const std::string& discName, uint32_t parent) {
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        const FileEntry& file = project.fileTable[f];
        if (file.parent == parent && HasName(file, discName)) return f;
    }
    return -1;
}

}  // namespace korvalin
