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

}  // namespace korvalin
