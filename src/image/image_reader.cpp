#include "image/image_reader.h"

#include <cstring>

#include "image/sector_header.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr int32_t PLAIN_SECTOR_BYTES = 2048;
constexpr uint8_t SYNC[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

bool BytesAt(ImageSource& source, uint64_t offset, const void* expected, size_t count) {
    uint8_t found[16];
    return source.Read(offset, found, count) && std::memcmp(found, expected, count) == 0;
}

ImageFormat Assume(ImageSource& source, int32_t sectorBytes, const std::string& why) {
    ImageFormat format;
    format.sectorBytes = sectorBytes;
    format.dataOffset = sectorBytes == RAW_SECTOR_BYTES ? USER_DATA_OFFSET : 0;
    format.sectorCount = static_cast<int64_t>(source.Size() / static_cast<uint64_t>(sectorBytes));
    format.trailingBytes = static_cast<int64_t>(source.Size() % static_cast<uint64_t>(sectorBytes));
    format.description = sectorBytes == RAW_SECTOR_BYTES
                             ? FormatMessage("raw 2352-byte sectors (%s)", why.c_str())
                             : FormatMessage("2048-byte sectors (%s)", why.c_str());
    return format;
}

}  // namespace

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

bool ImageReader::ReadUserData(int64_t lba, uint8_t* out) {
    if (lba < 0 || lba >= format_.sectorCount) return false;
    const uint64_t offset = static_cast<uint64_t>(lba) * static_cast<uint64_t>(format_.sectorBytes) +
                            static_cast<uint64_t>(format_.dataOffset);
    return source_.Read(offset, out, USER_DATA_BYTES);
}

bool ImageReader::ReadUserData(int64_t lba, int64_t count, std::vector<uint8_t>& out) {
    if (lba < 0 || count < 0 || count > format_.sectorCount - lba) return false;
    out.resize(static_cast<size_t>(count) * USER_DATA_BYTES);
    for (int64_t i = 0; i < count; ++i) {
        if (!ReadUserData(lba + i, out.data() + static_cast<size_t>(i) * USER_DATA_BYTES)) return false;
    }
    return true;
}

}  // namespace korvalin
