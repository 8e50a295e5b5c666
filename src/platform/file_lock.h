// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An exclusive advisory lock (flock) on a project file, held for a whole
// load-edit-save so that two programs editing one project never lose an
// update.

#include <chrono>
#include <string>

namespace korvalin {

enum class LockResult {
    Locked,     // held until the lock is destroyed
    Busy,       // another program held it for the whole patience
    NotLocked,  // nothing to lock: missing, not a regular file, unreadable
};

class FileLock {
  public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Polls for up to `patience`. A save replaces the file by renaming a new
    // one over it, so a lock won on a file that the path no longer names is
    // dropped and the new file is locked instead.
    LockResult Acquire(const std::string& path, std::chrono::milliseconds patience);
    void Release();

  private:
    int fd_ = -1;
};

}  // namespace korvalin
