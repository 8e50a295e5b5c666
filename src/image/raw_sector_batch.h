#pragma once
// EDC and parity for many raw sectors at once.

#include <cstddef>
#include <cstdint>

namespace korvalin {

// Runs SectorEncoder::EncodeSector on each of `count` consecutive 2352-byte
// sectors. Sectors are independent of each other, so a long run is shared
// out over the processor's cores; the bytes are those of encoding them one
// by one.
void EncodeRawSectors(uint8_t* sectors, size_t count);

}  // namespace korvalin
