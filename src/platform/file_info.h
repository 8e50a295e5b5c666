// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What adding from disk and the import need to know about one path.

#include <cstdint>
#include <string>

#include "model/calendar_time.h"

namespace korvalin {

enum class FileKind { Directory, RegularFile, Other };  // Other: sockets, pipes, devices

struct FileInfo {
    FileKind kind = FileKind::Other;
    uint64_t size = 0;
    CalendarTime lastWriteUtc;  // calendar fields in UTC, whole seconds
};

// Follows symbolic links. False when the path does not exist, is a broken
// link or cannot be examined (and for a path holding a NUL byte).
bool QueryFileInfo(const std::string& path, FileInfo& info);

// Whether something (a link included, even a broken one) has this name.
bool PathEntryExists(const std::string& path);

// Which file a path names, links followed: two paths name the same file
// when device and inode agree, whatever their spelling.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
// False when the path does not exist or cannot be examined.
bool QueryFileIdentity(const std::string& path, FileIdentity& identity);

// True when the path exists (links followed) and is not a regular file: a
// folder, a pipe, a device or a socket, which reading or writing would
// misread or wait on for ever.
bool IsNonRegularFile(const std::string& path);

}  // namespace korvalin
