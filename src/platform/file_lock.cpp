// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace korvalin {

namespace {

constexpr std::chrono::milliseconds POLL_INTERVAL{25};

// Whether `path` still names the file open as `fd`.
bool PathNamesFile(const std::string& path, int fd) {
    struct stat named {};
    struct stat open {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(fd, &open) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

}  // namespace

FileLock::~FileLock() {
    Release();
}

void FileLock::Release() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor drops the lock
    fd_ = -1;
}

LockResult FileLock::Acquire(const std::string& path, std::chrono::milliseconds patience) {
    Release();
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        // O_NONBLOCK: a pipe under the project's name must not stall us.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return LockResult::NotLocked;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return LockResult::NotLocked;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (PathNamesFile(path, fd)) {
                fd_ = fd;
                return LockResult::Locked;
            }
            ::close(fd);  // replaced while we waited: lock the new file
            continue;
        }
        const bool busy = errno == EWOULDBLOCK || errno == EINTR;
        ::close(fd);
        if (!busy) return LockResult::NotLocked;
        if (std::chrono::steady_clock::now() >= deadline) return LockResult::Busy;
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
}

}  // namespace korvalin
