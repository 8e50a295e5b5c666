// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-file reads and crash-safe whole-file writes.

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

// Opens a file for reading without ever waiting: a pipe, a device or a
// folder is refused ("Not a regular file", "Is a directory") instead of
// being read. Returns the descriptor, or -1 and a reason.
int OpenRegularFileForReading(const std::string& path, std::string& reason);

// Reads the whole file. On failure returns false and a reason
// (the system's text, e.g. "No such file or directory").
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& reason);

// Writes to a temporary file in the same folder, flushes it and renames it
// over `path`, so that a failure never leaves a damaged file behind. When
// `path` is a symbolic link, the file it points to is replaced and the link
// stays. The temporary file is named ".NAME.tmp-XXXXXX" after the target;
// ones that a killed save left behind are removed first.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& reason);

// Waits until the file's data is on the disk; false when it cannot get there.
bool SyncFileToDisk(const std::string& path);
// The same for the folder holding `path`, so that a new file's name lasts too.
bool SyncFolderToDisk(const std::string& path);

}  // namespace korvalin
