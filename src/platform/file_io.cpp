// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace korvalin {

namespace {

namespace fs = std::filesystem;

std::string SystemReason() {
    return std::strerror(errno);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Permissions for the new file: those of the file it replaces, else the
// usual 0666 less the umask.
mode_t ModeFor(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a chain of symbolic links ends at (the path itself when it is
// not a link, or the last name reached when a link is broken).
std::string ResolveLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        const fs::path name(path);
        if (!fs::is_symlink(fs::symlink_status(name, error))) break;
        fs::path next = fs::read_symlink(name, error);
        if (error) break;
        if (next.is_relative()) next = name.parent_path() / next;
        path = next.string();
    }
    return path;
}

// "folder/.NAME.tmp-": every temporary file of one target starts so.
std::string TemporaryPrefix(const std::string& target) {
    const fs::path name(target);
    fs::path folder = name.parent_path();
    if (folder.empty()) folder = ".";
    return (folder / ("." + name.filename().string() + ".tmp-")).string();
}

// A temporary file whose lock can be taken was left by a save that died
// (a live save holds its lock until it has renamed the file).
bool IsAbandoned(const fs::path& temp) {
    const int fd = ::open(temp.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool abandoned = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return abandoned;
}

void RemoveStaleTemporaries(const std::string& prefix) {
    const fs::path pattern(prefix);
    const std::string start = pattern.filename().string();
    std::error_code error;
    for (fs::directory_iterator it(pattern.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > start.size() && name.compare(0, start.size(), start) == 0 &&
            IsAbandoned(it->path())) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

}  // namespace

int OpenRegularFileForReading(const std::string& path, std::string& reason) {
    // O_NONBLOCK: opening a pipe must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = SystemReason();
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = S_ISDIR(st.st_mode) ? "Is a directory" : "Not a regular file";
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& reason) {
    bytes.clear();
    const int fd = OpenRegularFileForReading(path, reason);
    if (fd < 0) return false;
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            reason = SystemReason();
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fd);
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& reason) {
    const std::string target = ResolveLinks(path);
    const std::string prefix = TemporaryPrefix(target);
    RemoveStaleTemporaries(prefix);
    std::string temp = prefix + "XXXXXX";
    const mode_t mode = ModeFor(target);
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        reason = SystemReason();
        return false;
    }
    // Locked until closed, after the rename: the mark of a save still alive.
    ::flock(fd, LOCK_EX);
    bool ok = WriteAll(fd, bytes.data(), bytes.size()) && ::fchmod(fd, mode) == 0 &&
              ::fsync(fd) == 0 && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        reason = SystemReason();
        ::unlink(temp.c_str());
    }
    ::close(fd);  // the data reached the disk at fsync
    return ok;
}

namespace {

bool SyncOpened(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

}  // namespace

bool SyncFileToDisk(const std::string& path) { return SyncOpened(path, O_RDONLY); }

bool SyncFolderToDisk(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return SyncOpened(folder.empty() ? "." : folder.string(), O_RDONLY | O_DIRECTORY);
}

}  // namespace korvalin
