// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/image_reader.h"

#include <algorithm>
#include <cstring>

#include "image/sector_header.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr int64_t READ_BLOCK_SECTORS = 512;  // about 1.2 MB per read
constexpr int32_t RAW_MODE_BYTE = 15;
constexpr int32_t MODE1_DATA_OFFSET = 16;
constexpr int32_t RAW_SUBHEADER_OFFSET = 16;
constexpr uint8_t SYNC[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

bool BytesAt(ImageSource& source, uint64_t offset, const void* expected, size_t count) {
    uint8_t found[16];
    return source.Read(offset, found, count) && std::memcmp(found, expected, count) == 0;
}

// A raw image whose sector 16 says Mode 1 keeps its user data at byte 16.
bool RawMode1(ImageSource& source) {
    uint8_t mode = 0;
    return source.Read(16ull * RAW_SECTOR_BYTES + RAW_MODE_BYTE, &mode, 1) && mode == 1;
}

ImageFormat Assume(ImageSource& source, int32_t sectorBytes, const std::string& why) {
    const bool mode1 = sectorBytes == RAW_SECTOR_BYTES && RawMode1(source);
    const std::string description = sectorBytes == RAW_SECTOR_BYTES
                                        ? FormatMessage("raw 2352-byte sectors (%s)", why.c_str())
                                        : FormatMessage("2048-byte sectors (%s)", why.c_str());
    return TrackFormat(source.Size(), sectorBytes, mode1, 0, -1, description);
}

}  // namespace

ImageFormat TrackFormat(uint64_t sourceSize, int32_t sectorBytes, bool mode1, uint64_t startOffset,
                        int64_t sectorLimit, const std::string& description) {
    ImageFormat format;
    format.sectorBytes = sectorBytes;
    format.startOffset = startOffset;
    if (sectorBytes == RAW_SECTOR_BYTES) {
        format.dataOffset = mode1 ? MODE1_DATA_OFFSET : USER_DATA_OFFSET;
        format.subheaderOffset = mode1 ? -1 : RAW_SUBHEADER_OFFSET;
    } else if (sectorBytes == MODE2_SECTOR_BYTES) {
        format.dataOffset = 8;
        format.subheaderOffset = 0;
    }
    const uint64_t bytes = sourceSize > startOffset ? sourceSize - startOffset : 0;
    format.sectorCount = static_cast<int64_t>(bytes / static_cast<uint64_t>(sectorBytes));
    format.trailingBytes = static_cast<int64_t>(bytes % static_cast<uint64_t>(sectorBytes));
    if (sectorLimit >= 0 && format.sectorCount >= sectorLimit) {
        format.sectorCount = sectorLimit;
        format.trailingBytes = 0;
    }
    format.description = description;
    return format;
}

ImageFormat DetectImageFormat(ImageSource& source) {
    const uint64_t raw16 = 16ull * RAW_SECTOR_BYTES;
    const uint64_t plain16 = 16ull * PLAIN_SECTOR_BYTES;
    if (BytesAt(source, 0, SYNC, sizeof SYNC)) {
        return Assume(source, RAW_SECTOR_BYTES, "sync pattern at sector 0");
    }
    if (BytesAt(source, raw16, SYNC, sizeof SYNC)) {
        return Assume(source, RAW_SECTOR_BYTES, "sync pattern at sector 16");
    }
    if (BytesAt(source, plain16 + 1, "CD001", 5)) {
        return Assume(source, PLAIN_SECTOR_BYTES, "volume descriptor at sector 16");
    }
    if (BytesAt(source, raw16 + USER_DATA_OFFSET + 1, "CD001", 5)) {
        return Assume(source, RAW_SECTOR_BYTES, "volume descriptor at sector 16, no sync pattern");
    }
    const uint64_t size = source.Size();
    if (size % PLAIN_SECTOR_BYTES != 0 && size % RAW_SECTOR_BYTES == 0) {
        return Assume(source, RAW_SECTOR_BYTES, "assumed from the file size");
    }
    return Assume(source, PLAIN_SECTOR_BYTES, "assumed from the file size");
}

template <typename Copy>
bool ImageReader::ReadBlocks(int64_t lba, int64_t count, Copy copy) {
    if (lba < 0 || count < 0 || count > format_.sectorCount - lba) return false;
    const auto sectorBytes = static_cast<uint64_t>(format_.sectorBytes);
    for (int64_t done = 0; done < count;) {
        const int64_t n = std::min(READ_BLOCK_SECTORS, count - done);
        block_.resize(static_cast<size_t>(n) * sectorBytes);
        const uint64_t offset = format_.startOffset + static_cast<uint64_t>(lba + done) * sectorBytes;
        if (!source_.Read(offset, block_.data(), block_.size())) return false;
        for (int64_t i = 0; i < n; ++i) copy(done + i, block_.data() + static_cast<size_t>(i) * sectorBytes);
        done += n;
    }
    return true;
}

bool ImageReader::ReadUserData(int64_t lba, uint8_t* out) {
    if (lba < 0 || lba >= format_.sectorCount) return false;
    const uint64_t offset = format_.startOffset +
                            static_cast<uint64_t>(lba) * static_cast<uint64_t>(format_.sectorBytes) +
                            static_cast<uint64_t>(format_.dataOffset);
    return source_.Read(offset, out, USER_DATA_BYTES);
}

bool ImageReader::ReadUserData(int64_t lba, int64_t count, std::vector<uint8_t>& out) {
    if (lba < 0 || count < 0 || count > format_.sectorCount - lba) return false;
    out.resize(static_cast<size_t>(count) * USER_DATA_BYTES);
    const auto dataOffset = static_cast<size_t>(format_.dataOffset);
    return ReadBlocks(lba, count, [&](int64_t i, const uint8_t* sector) {
        std::memcpy(out.data() + static_cast<size_t>(i) * USER_DATA_BYTES, sector + dataOffset, USER_DATA_BYTES);
    });
}

bool ImageReader::ReadXaSectors(int64_t lba, int64_t count, std::vector<uint8_t>& out) {
    if (!HasSubheaders() || lba < 0 || count < 0 || count > format_.sectorCount - lba) return false;
    out.resize(static_cast<size_t>(count) * XA_SECTOR_BYTES);
    const auto subheader = static_cast<size_t>(format_.subheaderOffset);
    return ReadBlocks(lba, count, [&](int64_t i, const uint8_t* sector) {
        std::memcpy(out.data() + static_cast<size_t>(i) * XA_SECTOR_BYTES, sector + subheader, XA_SECTOR_BYTES);
    });
}

bool ImageReader::ReadSubheader(int64_t lba, uint8_t out[8]) {
    if (!HasSubheaders() || lba < 0 || lba >= format_.sectorCount) return false;
    const uint64_t offset = format_.startOffset +
                            static_cast<uint64_t>(lba) * static_cast<uint64_t>(format_.sectorBytes) +
                            static_cast<uint64_t>(format_.subheaderOffset);
    return source_.Read(offset, out, 8);
}

}  // namespace korvalin
