// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/sector_output.h"

namespace korvalin {

namespace {
constexpr uint32_t MAX_RECORD_BYTES_PER_SECTOR = 2047;
}  // namespace

bool EmitSector(CompileState& state, SectorBuffer& sector) {
    if (state.rawSectors == 1) StampSectorHeader(sector.data(), state.sectorHeader);
    if (!state.image.AppendSector(sector.data())) return false;
    ++state.writeLba;
    sector.fill(0);
    return true;
}

uint8_t* RecordPacker::Place(uint32_t length) {
    uint32_t offset = used_;
    used_ += length;
    if (used_ > MAX_RECORD_BYTES_PER_SECTOR) {
        if (!EmitSector(state_, sector_)) return nullptr;
        offset = 0;
        used_ = length;
    }
    return sector_.data() + UserDataOffset(state_) + offset;
}

bool RecordPacker::Finish() { return EmitSector(state_, sector_); }

}  // namespace korvalin
