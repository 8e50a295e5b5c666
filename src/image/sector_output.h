// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing assembled sectors, and packing records into them.

#include <array>
#include <cstdint>

#include "image/compile_state.h"

namespace korvalin {

// One sector being assembled: 2352 bytes, user data at UserDataOffset.
using SectorBuffer = std::array<uint8_t, RAW_SECTOR_BYTES>;

// Stamps the sector for a raw image (the image output encodes it), appends
// sectorSize bytes of it to the image, advances writeLba and clears the
// buffer. False once the image has failed.
bool EmitSector(CompileState& state, SectorBuffer& sector);

// Places records one after the other into sectors; a record never crosses a
// sector and a sector holds at most 2047 bytes of records.
class RecordPacker {
public:
    RecordPacker(CompileState& state, SectorBuffer& sector) : state_(state), sector_(sector) {}
    // Where a record of `length` bytes goes; emits the full sector first when
    // it does not fit. nullptr when that emit failed.
    uint8_t* Place(uint32_t length);
    // Emits the last, partly filled sector.
    bool Finish();

private:
    CompileState& state_;
    SectorBuffer& sector_;
    uint32_t used_ = 0;
};

}  // namespace korvalin
