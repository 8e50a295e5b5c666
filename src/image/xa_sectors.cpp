// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/xa_sectors.h"

#include <algorithm>
#include <cstring>

#include "image/sector_header.h"
#include "model/xa_file.h"

namespace korvalin {

namespace {

constexpr int32_t SYNC_BYTES = 12;
constexpr int32_t MODE_OFFSET = 15;
constexpr int32_t SUBMODE_OFFSET = 18;

}  // namespace

int32_t ReadXaSectors(const InputFile& source, uint64_t offset, uint8_t* first, int32_t count) {
    const size_t got = source.ReadPiecesAt(offset, first + XA_SECTOR_DATA_OFFSET, XA_SOURCE_SECTOR_BYTES,
                                           RAW_SECTOR_BYTES, static_cast<size_t>(count));
    return static_cast<int32_t>(got / XA_SOURCE_SECTOR_BYTES);
}

void StampXaSectorHeaders(uint8_t* first, int32_t count, int32_t lba) {
    for (int32_t i = 0; i < count; ++i) {
        uint8_t* sector = first + static_cast<size_t>(i) * RAW_SECTOR_BYTES;
        std::copy_n(initialSectorHeader.begin(), SYNC_BYTES, sector);
        const auto address = BcdAddressOfLba(lba + i);
        std::copy(address.begin(), address.end(), sector + SYNC_BYTES);
        sector[MODE_OFFSET] = 2;
    }
}

void EncodeXaSector(SectorEncoder& encoder, uint8_t* sector) {
    static constexpr uint8_t NO_EDC[4] = {};
    const bool keepNoEdc = (sector[SUBMODE_OFFSET] & SUBMODE_FORM2) != 0 &&
                           std::memcmp(sector + FORM2_EDC_OFFSET, NO_EDC, sizeof NO_EDC) == 0;
    encoder.EncodeSector(sector);
    if (keepNoEdc) std::memset(sector + FORM2_EDC_OFFSET, 0, sizeof NO_EDC);
}

}  // namespace korvalin
