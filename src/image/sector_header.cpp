// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/sector_header.h"

#include <cstring>

namespace korvalin {

const SectorHeaderBytes initialSectorHeader = {
    0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00,  // sync
    0x00, 0x02, 0x00, 0x02,                                                  // 00:02:00, mode 2
    0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x08, 0x00,                          // subheader
};

namespace {
uint8_t CarryDigit(uint8_t bcd) {
    return (bcd & 0x0F) > 9 ? static_cast<uint8_t>((bcd & 0xF0) + 0x10) : bcd;
}
}  // namespace

void AdvanceBcdAddress(uint8_t& minute, uint8_t& second, uint8_t& frame) {
    frame = CarryDigit(static_cast<uint8_t>(frame + 1));
    if (frame > 0x74) {
        frame = 0;
        second = static_cast<uint8_t>(second + 1);
    }
    second = CarryDigit(second);
    if (second > 0x59) {
        second = 0;
        minute = static_cast<uint8_t>(minute + 1);
    }
    minute = CarryDigit(minute);
}

void StampSectorHeader(uint8_t* sector, SectorHeaderTemplate& header) {
    std::memcpy(sector, header.bytes.data(), SECTOR_HEADER_BYTES);
    AdvanceBcdAddress(header.bytes[12], header.bytes[13], header.bytes[14]);
}

std::array<uint8_t, 3> BcdAddressOfLba(int32_t lba) {
    const int64_t frames = int64_t{lba} + 150;
    // Minutes past 99 go on as the stamper counts them: 0xA0, 0xA1, ...
    const auto bcd = [](int64_t v) { return static_cast<uint8_t>((v / 10) * 16 + v % 10); };
    return {bcd(frames / (75 * 60)), bcd((frames / 75) % 60), bcd(frames % 75)};
}

}  // namespace korvalin
