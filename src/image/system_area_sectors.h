// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the compile writes in sectors 0-15, from the project's stored system
// area and its two settings.
//
// Raw image, sector i:
//   - stored with sync and "keep system-area data" on: the stored sector
//     (header, subheader, data), encoded like every raw sector;
//   - otherwise the stored sector with its user data cleared (a stored
//     sector without sync comes out without sync, all zero for a new project);
//   - with "stamp empty system area" on, a sector that would come out
//     without sync is an empty sector: sync, the address of LBA i, mode 2,
//     a zero subheader and zero data (EDC and parity of that are zero).
// 2048-byte image (.iso, .ims): the stored sector's user data (bytes 24-2071)
// when it has sync and keeping is on, otherwise zeros.

#include <cstdint>

#include "model/project.h"

namespace korvalin {

// Fills `sector` (2352 bytes) with system-area sector `index` (0-15) as the
// compile writes it; a 2048-byte image takes its first 2048 bytes.
void PrepareSystemAreaSector(const Project& project, int32_t index, bool rawSectors,
                             uint8_t* sector);

// The twelve sync bytes of a raw CD-ROM sector stand at its start.
bool HasSyncPattern(const uint8_t* sector);

// An empty Mode 2 sector at `lba`: sync, address, mode 2, everything else zero.
void MakeEmptyRawSector(int32_t lba, uint8_t* sector);

}  // namespace korvalin
