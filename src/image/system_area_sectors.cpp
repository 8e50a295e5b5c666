// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/system_area_sectors.h"

#include <cstring>

#include "image/sector_header.h"

namespace korvalin {

bool HasSyncPattern(const uint8_t* sector) {
    return std::memcmp(sector, initialSectorHeader.data(), 12) == 0;
}

void MakeEmptyRawSector(int32_t lba, uint8_t* sector) {
    std::memset(sector, 0, RAW_SECTOR_BYTES);
    std::memcpy(sector, initialSectorHeader.data(), 12);
    const auto address = BcdAddressOfLba(lba);
    std::memcpy(sector + 12, address.data(), address.size());
    sector[15] = 2;
}

void PrepareSystemAreaSector(const Project& project, int32_t index, bool rawSectors,
                             uint8_t* sector) {
    const uint8_t* stored = project.systemArea.data() + index * RAW_SECTOR_SIZE;
    const bool keep = project.settings.keepSystemArea && HasSyncPattern(stored);
    if (!rawSectors) {
        std::memset(sector, 0, RAW_SECTOR_BYTES);
        if (keep) std::memcpy(sector, stored + USER_DATA_OFFSET, USER_DATA_BYTES);
        return;
    }
    std::memcpy(sector, stored, RAW_SECTOR_BYTES);
    if (!keep) std::memset(sector + USER_DATA_OFFSET, 0, USER_DATA_BYTES);
    if (project.settings.stampSystemArea && !HasSyncPattern(sector)) {
        MakeEmptyRawSector(index, sector);
    }
}

}  // namespace korvalin
