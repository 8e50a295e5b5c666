// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/image_source.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace korvalin {

bool FileImageSource::Open(const std::string& path, std::string& reason) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        reason = error.message();
        return false;
    }
    if (std::filesystem::is_directory(status)) {
        reason = "it is a folder";
        return false;
    }
    errno = 0;
    file_.open(path, std::ios::binary);
    if (!file_) {
        reason = errno ? std::strerror(errno) : "cannot be opened";
        return false;
    }
    file_.seekg(0, std::ios::end);
    const std::streamoff end = file_.tellg();
    file_.seekg(0);
    if (end < 0 || !file_) {
        reason = "its size cannot be read";
        return false;
    }
    size_ = static_cast<uint64_t>(end);
    return true;
}

bool FileImageSource::Read(uint64_t offset, uint8_t* out, size_t count) {
    if (!file_.is_open() || offset > size_ || count > size_ - offset) return false;
    file_.clear();
    if (static_cast<uint64_t>(file_.tellg()) != offset) file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
    return file_.gcount() == static_cast<std::streamsize>(count);
}

bool MemoryImageSource::Read(uint64_t offset, uint8_t* out, size_t count) {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
    std::memcpy(out, bytes_.data() + offset, count);
    return true;
}

}  // namespace korvalin
