// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The primary volume descriptor at sector 16, as a reader needs it.

#include <cstdint>
#include <string>

#include "disc/directory_record.h"
#include "disc/image_reader.h"

namespace korvalin {

constexpr int64_t PRIMARY_VOLUME_LBA = 16;

// A 17-byte descriptor date: 16 digits, then the GMT offset.
struct VolumeDate {
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, hundredths = 0;
    int32_t gmtOffset = 0;
    bool digits = false;  // all 16 characters were digits
    bool operator==(const VolumeDate&) const = default;
};

struct PrimaryVolume {
    std::string systemIdentifier;  // 32 bytes as recorded
    std::string volumeIdentifier;  // 32 bytes as recorded
    uint32_t volumeSpaceSize = 0;
    uint32_t logicalBlockSize = 0;
    uint32_t pathTableBytes = 0;
    uint32_t pathTableLba[4] = {};  // L, optional L, M, optional M (0 = absent)
    DirectoryRecord root;
    VolumeDate creation;
    VolumeDate modification;
    bool isXa = false;  // "CD-XA001" in the application-use area
    // Text fields other than the volume identifier that carry something but spaces.
    std::string otherTexts;
};

VolumeDate ParseVolumeDate(const uint8_t* bytes);

// False with a reason when sector 16 is missing or is not a primary volume
// descriptor with 2048-byte blocks and a readable root record.
bool ReadPrimaryVolume(ImageReader& reader, PrimaryVolume& volume, std::string& problem);

}  // namespace korvalin
