// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checks of one raw 2352-byte sector: sync, BCD address, mode byte,
// subheader copies, EDC and (Form 1) P/Q parity.

#include <cstdint>

#include "image/verify_problems.h"
#include "model/project.h"

namespace korvalin {

// What the sector pass saw that is allowed but worth a note.
struct RawSectorTally {
    int64_t form2WithoutEdc = 0;  // Form 2 EDC field zero, which CD-XA allows
    int64_t mode1Sectors = 0;
    int64_t blankSystemAreaSectors = 0;  // of sectors 0-15: all zero, without sync
};

// The BCD minute:second:frame a sector at `lba` carries (LBA 0 is 00:02:00);
// minutes past 99 go on as the stamper counts them (0xA0, 0xA1, ...).
void ExpectedSectorAddress(int64_t lba, uint8_t out[3]);

void CheckRawSector(const uint8_t* sector, int64_t lba, RawSectorTally& tally, ProblemList& problems);

}  // namespace korvalin
