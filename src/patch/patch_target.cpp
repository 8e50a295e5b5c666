// SPDX-License-Identifier: GPL-3.0-or-later
#include "patch/patch_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "image/sector_header.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr uint8_t SYNC[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr int32_t MODE2_STORED_OFFSET = 16;  // where a 2336-byte sector starts in a raw one

bool WholeRead(int fd, uint8_t* out, size_t count, uint64_t offset) {
    while (count > 0) {
        const ssize_t n = ::pread(fd, out, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        out += n;
        count -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

bool WholeWrite(int fd, const uint8_t* bytes, size_t count, uint64_t offset) {
    while (count > 0) {
        const ssize_t n = ::pwrite(fd, bytes, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        count -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

}  // namespace

PatchTarget::~PatchTarget() {
    if (fd_ >= 0) ::close(fd_);
}

namespace {

// A pipe or device is refused before anything opens it: opening a pipe to read waits for a writer.
bool IsRegularFile(const std::string& file, struct stat& info, std::string& message) {
    if (::stat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        message = FormatMessage("%s is not a regular file: only an image file can be patched in place", file.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool PatchTarget::Open(const std::string& path, std::string& message) {
    struct stat info {};
    if (!IsRegularFile(path, info, message) || !OpenDiscImage(path, image_, message)) return false;
    const std::string& file = image_.dataFile;
    if (!IsRegularFile(file, info, message)) return false;
    // A file without write permission is read-only even to root: its owner said so.
    fd_ = (info.st_mode & 0222) == 0 ? -1 : ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        const bool readOnly = (info.st_mode & 0222) == 0 || errno == EACCES || errno == EROFS || errno == EPERM;
        message = readOnly ? FormatMessage("%s is read-only: it cannot be patched in place", file.c_str())
                           : FormatMessage("cannot open %s for writing: %s", file.c_str(), std::strerror(errno));
        return false;
    }
    if (Format().sectorBytes == 0 || Format().sectorCount == 0) {
        message = FormatMessage("%s holds no whole sectors", file.c_str());
        return false;
    }
    return true;
}

bool PatchTarget::HasEncodedSectors() const {
    const ImageFormat& f = Format();
    return f.subheaderOffset >= 0 && (f.sectorBytes == RAW_SECTOR_BYTES || f.sectorBytes == MODE2_SECTOR_BYTES);
}

uint64_t PatchTarget::OffsetOf(int64_t lba) const {
    return Format().startOffset + static_cast<uint64_t>(lba) * static_cast<uint64_t>(Format().sectorBytes);
}

bool PatchTarget::ReadStored(int64_t lba, int64_t count, std::vector<uint8_t>& out) const {
    if (lba < 0 || count < 0 || lba + count > Format().sectorCount) return false;
    out.resize(static_cast<size_t>(count) * static_cast<size_t>(Format().sectorBytes));
    return WholeRead(fd_, out.data(), out.size(), OffsetOf(lba));
}

bool PatchTarget::WriteStored(int64_t lba, const uint8_t* bytes, std::string& message) {
    if (lba >= 0 && lba < Format().sectorCount &&
        WholeWrite(fd_, bytes, static_cast<size_t>(Format().sectorBytes), OffsetOf(lba))) {
        return true;
    }
    message = FormatMessage("cannot write sector %lld of %s: %s", static_cast<long long>(lba), DataFile().c_str(),
                            std::strerror(errno));
    return false;
}

bool PatchTarget::ReadRaw(int64_t lba, uint8_t* sector) const {
    std::vector<uint8_t> stored;
    if (!ReadStored(lba, 1, stored)) return false;
    StoredToRaw(lba, stored.data(), sector);
    return true;
}

void PatchTarget::StoredToRaw(int64_t lba, const uint8_t* stored, uint8_t* sector) const {
    if (Format().sectorBytes == RAW_SECTOR_BYTES) {
        std::memcpy(sector, stored, RAW_SECTOR_BYTES);
        return;
    }
    std::memcpy(sector, SYNC, sizeof SYNC);
    const auto address = BcdAddressOfLba(static_cast<int32_t>(lba));
    std::memcpy(sector + 12, address.data(), 3);
    sector[15] = 2;
    std::memcpy(sector + MODE2_STORED_OFFSET, stored, MODE2_SECTOR_BYTES);
}

bool PatchTarget::WriteRaw(int64_t lba, const uint8_t* sector, std::string& message) {
    const int32_t skip = Format().sectorBytes == RAW_SECTOR_BYTES ? 0 : MODE2_STORED_OFFSET;
    return WriteStored(lba, sector + skip, message);
}

bool PatchTarget::Sync(std::string& message) {
    if (::fsync(fd_) == 0) return true;
    message = FormatMessage("cannot flush %s to disk: %s", DataFile().c_str(), std::strerror(errno));
    return false;
}

bool PatchTarget::ReadTree(IsoTree& tree, std::string& message) {
    ImageReader reader(*image_.source, Format());
    if (ReadIsoTree(reader, image_.fileSystemOnly, tree, message)) return true;
    message = FormatMessage("%s: %s", image_.path.c_str(), message.c_str());
    return false;
}

}  // namespace korvalin
