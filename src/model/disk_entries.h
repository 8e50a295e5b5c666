// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Entries made from files and folders on disk, shared by adding from disk
// and the import, and the look-ups both use to find names already present.

#include <cstdint>
#include <string>

#include "model/project.h"
#include "platform/file_info.h"

namespace korvalin {

// Also the caption of the message box that shows it.
constexpr char OUT_OF_MEMORY_MESSAGE[] = "OUT OF MEMORY (PROC ADDFILE)";
constexpr char MESSAGE_CAPTION[] = "korvalin";

constexpr size_t MAX_DISK_PATH = 511;  // characters of a source path

// A directory or file entry taken from disk: dated with the last-write time,
// `lba` -1, no flags, `parent` the given directory number.
DirEntry NewDiskDirEntry(const std::string& discName, const FileInfo& info, uint32_t parent);
FileEntry NewDiskFileEntry(const std::string& discName, const FileInfo& info, uint32_t parent,
                           const std::string& sourcePath);

// DOS words hold 1980 to 2107; times outside are pinned to the nearest end.
void SetDosTimestamp(EntryRecord& entry, const CalendarTime& utc);

bool HasName(const EntryRecord& entry, const std::string& discName);
// The DirTable index (from 1) of the directory `discName` in directory number
// `parent`, or -1.
int32_t FindSubdirectory(const Project& project, const std::string& discName, uint32_t parent);
// The FileTable index of the file `discName` in directory number `parent`, or -1.
int32_t FindFileIn(const Project& project, const std::string& discName, uint32_t parent);

}  // namespace korvalin
