// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/raw_sector_check.h"

#include <algorithm>
#include <cstring>

#include "disc/disc_field_reader.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr uint8_t SYNC[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr int32_t MODE1_EDC_OFFSET = 2064;
constexpr int32_t MODE1_ZERO_OFFSET = 2068;

bool AllZero(const uint8_t* bytes, size_t count) {
    return std::all_of(bytes, bytes + count, [](uint8_t b) { return b == 0; });
}

void CheckEdc(const uint8_t* sector, int64_t lba, int32_t mode, ProblemList& problems) {
    const int32_t offset = mode == SECTOR_FORM2 ? FORM2_EDC_OFFSET : FORM1_EDC_OFFSET;
    const uint32_t stored = GetLE32(sector + offset);
    const uint32_t computed = SectorEncoder::ComputeEdc(sector, mode);
    if (stored != computed) {
        problems.Add(lba, FormatMessage("%s EDC %08X does not match the data (computed %08X)",
                                        mode == SECTOR_FORM2 ? "Form 2" : "Form 1", stored, computed));
    }
}

void CheckParity(const uint8_t* sector, int64_t lba, ProblemList& problems) {
    uint8_t work[RAW_SECTOR_BYTES];
    std::memcpy(work, sector, RAW_SECTOR_BYTES);
    SectorEncoder::ComputeEcc(work);
    if (std::memcmp(work + FORM1_P_OFFSET, sector + FORM1_P_OFFSET, FORM1_Q_OFFSET - FORM1_P_OFFSET) != 0) {
        problems.Add(lba, "P parity does not match the data");
    }
    if (std::memcmp(work + FORM1_Q_OFFSET, sector + FORM1_Q_OFFSET, RAW_SECTOR_BYTES - FORM1_Q_OFFSET) != 0) {
        problems.Add(lba, "Q parity does not match the data");
    }
}

// The Mode 1 EDC covers sync, header and data (bytes 0-2063). The EDC is a
// CRC without inversion, so data followed by their own EDC leave a zero
// remainder, and zeros appended after that keep it zero: running the Form 2
// EDC over bytes 0-2067 padded with zeros tests the stored value.
void CheckMode1(const uint8_t* sector, int64_t lba, ProblemList& problems) {
    uint8_t work[RAW_SECTOR_BYTES] = {};
    std::memcpy(work + 16, sector, MODE1_ZERO_OFFSET);
    if (SectorEncoder::ComputeEdc(work, SECTOR_FORM2) != 0) {
        problems.Add(lba, FormatMessage("Mode 1 EDC %08X does not match the data",
                                        GetLE32(sector + MODE1_EDC_OFFSET)));
    }
    if (!AllZero(sector + MODE1_ZERO_OFFSET, FORM1_EDC_OFFSET + 4 - MODE1_ZERO_OFFSET)) {
        problems.Add(lba, "Mode 1 bytes 2068-2075 are not zero");
    }
}

void CheckMode2(const uint8_t* sector, int64_t lba, RawSectorTally& tally, ProblemList& problems) {
    const uint8_t* sub = sector + 16;
    if (std::memcmp(sub, sub + 4, 4) != 0) {
        problems.Add(lba, FormatMessage("subheader copies differ: %02X %02X %02X %02X / %02X %02X %02X %02X",
                                        sub[0], sub[1], sub[2], sub[3], sub[4], sub[5], sub[6], sub[7]));
    }
    const int32_t mode = SectorEncoder::DetectMode(sector);
    if (mode == SECTOR_FORM2) {
        if (GetLE32(sector + FORM2_EDC_OFFSET) == 0) {
            ++tally.form2WithoutEdc;
            return;
        }
        CheckEdc(sector, lba, mode, problems);
        return;
    }
    CheckEdc(sector, lba, mode, problems);
    CheckParity(sector, lba, problems);
}

}  // namespace

void ExpectedSectorAddress(int64_t lba, uint8_t out[3]) {
    const auto bcd = BcdAddressOfLba(static_cast<int32_t>(lba));
    std::copy(bcd.begin(), bcd.end(), out);
}

void CheckRawSector(const uint8_t* sector, int64_t lba, RawSectorTally& tally, ProblemList& problems) {
    if (std::memcmp(sector, SYNC, sizeof SYNC) != 0) {
        const bool zero = AllZero(sector, RAW_SECTOR_BYTES);
        if (zero && lba < SYSTEM_AREA_SECTORS) {  // a new project's system area has no headers at all
            ++tally.blankSystemAreaSectors;
            return;
        }
        problems.Add(lba, zero ? "no sync pattern (the sector is all zero)" : "no sync pattern");
        return;
    }
    uint8_t expected[3];
    ExpectedSectorAddress(lba, expected);
    if (std::memcmp(sector + 12, expected, 3) != 0) {
        problems.Add(lba, FormatMessage("address %02X:%02X:%02X, expected %02X:%02X:%02X", sector[12],
                                        sector[13], sector[14], expected[0], expected[1], expected[2]));
    }
    switch (sector[15]) {
        case 2:
            CheckMode2(sector, lba, tally, problems);
            break;
        case 1:
            ++tally.mode1Sectors;
            CheckMode1(sector, lba, problems);
            break;
        default:
            problems.Add(lba, FormatMessage("mode byte %u (a data sector is mode 1 or 2)", sector[15]));
            break;
    }
}

}  // namespace korvalin

