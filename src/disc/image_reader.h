// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads sectors of a CD image by LBA: raw 2352-byte sectors (Mode 2 or
// Mode 1), 2336-byte Mode 2 sectors without sync and header, or plain
// 2048-byte sectors, from the start of the file or from a track's start.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/image_source.h"

namespace korvalin {

constexpr int32_t PLAIN_SECTOR_BYTES = 2048;
constexpr int32_t MODE2_SECTOR_BYTES = 2336;  // subheader, then 2328 bytes
constexpr int32_t XA_SECTOR_BYTES = 2336;     // what a Form 2 sector is extracted as

struct ImageFormat {
    int32_t sectorBytes = 0;    // 2352 raw, 2336 Mode 2 without sync and header, 2048 plain
    int32_t dataOffset = 0;     // where the 2048 user bytes start in a sector
    int32_t subheaderOffset = -1;  // where the CD-XA subheader starts; -1: the format has none
    uint64_t startOffset = 0;   // the byte of the file where LBA 0 starts (a cue sheet's INDEX 01)
    int64_t sectorCount = 0;    // whole sectors from startOffset on (up to the next track)
    int64_t trailingBytes = 0;  // bytes of a last, cut-short sector
    std::string description;    // which format was assumed, and why
};

// Judges the format from the sync pattern at sector 0 or 16, the volume
// descriptor at sector 16 of either layout, and at last the file size.
ImageFormat DetectImageFormat(ImageSource& source);

// A format of `sectorBytes` (2352, 2336 or 2048) whose LBA 0 lies at
// `startOffset`; `mode1` for raw Mode 1 sectors (user data at 16).
ImageFormat TrackFormat(uint64_t sourceSize, int32_t sectorBytes, bool mode1, uint64_t startOffset,
                        int64_t sectorLimit, const std::string& description);

class ImageReader {
public:
    ImageReader(ImageSource& source, const ImageFormat& format) : source_(source), format_(format) {}

    const ImageFormat& Format() const { return format_; }
    int64_t SectorCount() const { return format_.sectorCount; }
    bool HasSubheaders() const { return format_.subheaderOffset >= 0; }

    // The 2048 user bytes of sector `lba` into `out`; false when it is not in the file.
    bool ReadUserData(int64_t lba, uint8_t* out);
    // `count` sectors of user data from `lba` on, back to back; false when
    // any of them is not in the file. Reads in large blocks.
    bool ReadUserData(int64_t lba, int64_t count, std::vector<uint8_t>& out);
    // `count` sectors as CD-XA sectors of 2336 bytes (subheader and the 2328
    // bytes after it), back to back; false without subheaders or past the end.
    bool ReadXaSectors(int64_t lba, int64_t count, std::vector<uint8_t>& out);
    // The 8-byte subheader of a sector; false when there is none.
    bool ReadSubheader(int64_t lba, uint8_t out[8]);

private:
    // Whole stored sectors [lba, lba + count) into `block`, and `copy` applied to each.
    template <typename Copy>
    bool ReadBlocks(int64_t lba, int64_t count, Copy copy);

    ImageSource& source_;
    ImageFormat format_;
    std::vector<uint8_t> block_;
};

}  // namespace korvalin
