// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_info.h"

#include <sys/stat.h>

#include <ctime>

namespace korvalin {

bool QueryFileInfo(const std::string& path, FileInfo& info) {
    if (path.find('\0') != std::string::npos) return false;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    info.kind = S_ISDIR(st.st_mode)   ? FileKind::Directory
                : S_ISREG(st.st_mode) ? FileKind::RegularFile
                                      : FileKind::Other;
    info.size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    std::tm fields{};
    const std::time_t seconds = st.st_mtim.tv_sec;
    if (::gmtime_r(&seconds, &fields) == nullptr) return false;
    info.lastWriteUtc = CalendarTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                                     fields.tm_hour,        fields.tm_min,     fields.tm_sec};
    return true;
}

bool PathEntryExists(const std::string& path) {
    if (path.find('\0') != std::string::npos) return false;
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool QueryFileIdentity(const std::string& path, FileIdentity& identity) {
    if (path.find('\0') != std::string::npos) return false;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    identity = FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return true;
}

bool IsNonRegularFile(const std::string& path) {
    if (path.find('\0') != std::string::npos) return false;
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace korvalin
