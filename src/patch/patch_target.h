// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An image opened for patching in place: the data track's file open for
// reading and writing, its format, and whole-sector reads and writes by LBA.
// Every write is one whole stored sector, so a crash leaves each sector
// either as it was or as it was meant to be.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/disc_image.h"
#include "disc/iso_tree.h"

namespace korvalin {

class PatchTarget {
public:
    PatchTarget() = default;
    PatchTarget(const PatchTarget&) = delete;
    PatchTarget& operator=(const PatchTarget&) = delete;
    ~PatchTarget();

    // Opens a .cue, raw .bin (2352 or, through a cue sheet, 2336 bytes a
    // sector) or 2048-byte .iso for writing. False with a message naming the
    // file when it cannot be read, is not a regular file or is read-only.
    bool Open(const std::string& path, std::string& message);

    const DiscImage& Image() const { return image_; }
    const ImageFormat& Format() const { return image_.format; }
    const std::string& DataFile() const { return image_.dataFile; }
    // Raw 2352-byte Mode 2 or 2336-byte sectors: headers, EDC and parity to keep right.
    bool HasEncodedSectors() const;

    // `count` stored sectors from `lba` on, back to back; false past the end or on a read error.
    bool ReadStored(int64_t lba, int64_t count, std::vector<uint8_t>& out) const;
    // One stored sector; `bytes` holds Format().sectorBytes bytes.
    bool WriteStored(int64_t lba, const uint8_t* bytes, std::string& message);
    // A stored sector as a whole 2352-byte sector (a 2336-byte one gets sync
    // and a Mode 2 header with its address), and back.
    bool ReadRaw(int64_t lba, uint8_t* sector) const;
    void StoredToRaw(int64_t lba, const uint8_t* stored, uint8_t* sector) const;
    bool WriteRaw(int64_t lba, const uint8_t* sector, std::string& message);
    // Flushes what was written to the disk.
    bool Sync(std::string& message);

    // Reads the ISO 9660 hierarchy through the reader.
    bool ReadTree(IsoTree& tree, std::string& message);

private:
    uint64_t OffsetOf(int64_t lba) const;

    DiscImage image_;
    int fd_ = -1;
};

}  // namespace korvalin
