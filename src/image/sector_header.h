// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sync, header and subheader of raw Mode 2 Form 1 sectors, with the BCD
// address counting up one sector per stamped sector.

#include <array>
#include <cstdint>

namespace korvalin {

constexpr int32_t RAW_SECTOR_BYTES = 2352;
constexpr int32_t USER_DATA_BYTES = 2048;
constexpr int32_t USER_DATA_OFFSET = 24;
constexpr int32_t SECTOR_HEADER_BYTES = 24;

using SectorHeaderBytes = std::array<uint8_t, SECTOR_HEADER_BYTES>;

// Sync, address 00:02:00, mode 2, subheader 00 00 08 00 twice (Form 1 data).
extern const SectorHeaderBytes initialSectorHeader;

struct SectorHeaderTemplate {
    SectorHeaderBytes bytes = initialSectorHeader;
};

// Copies the template into sector bytes 0-23, then advances its address.
void StampSectorHeader(uint8_t* sector, SectorHeaderTemplate& header);

// The address after one more sector: frames 00-74, seconds 00-59, minutes
// counted on in BCD without wrapping (0x99 becomes 0xA0).
void AdvanceBcdAddress(uint8_t& minute, uint8_t& second, uint8_t& frame);

// BCD minute:second:frame the stamper gives an LBA (LBA 0 is 00:02:00).
std::array<uint8_t, 3> BcdAddressOfLba(int32_t lba);

}  // namespace korvalin
