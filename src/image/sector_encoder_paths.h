// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two implementations behind SectorEncoder: a portable one (tables and
// the compiler's generic vectors) and one for x86 processors with SSSE3,
// SSE4.1 and carry-less multiplication. They give the same bytes; the
// encoder takes the second when the processor has it.

#include <cstddef>
#include <cstdint>

namespace korvalin::encoder_paths {

// EDC of `length` bytes continuing from `crc`, a byte (and eight bytes) at a time.
uint32_t PortableEdc(uint32_t crc, const uint8_t* data, size_t length);
// P and Q parity of the 2236 bytes at `base` (sector offset 12, header
// zeroed): P to base + 2064, Q to base + 2236.
void PortableParity(uint8_t* base);

// True when this processor can run the two below.
bool SimdSupported();
// EDC (from zero) of `length` >= 64 bytes by carry-less multiplication.
uint32_t SimdEdc(const uint8_t* data, size_t length);
// PortableParity's bytes with SSSE3; may scribble on sector bytes 2248-2257
// before Q lands there, never past the sector's end.
void SimdParity(uint8_t* base);

}  // namespace korvalin::encoder_paths
