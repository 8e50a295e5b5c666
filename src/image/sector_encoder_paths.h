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

// True when this processor has AVX-512 (BW), GFNI and VPCLMULQDQ besides
// what the SSSE3 code needs, and the system saves the wide registers.
bool WideSupported();
// SimdEdc's result, 256 bytes a step; `length` >= 256.
uint32_t WideEdc(const uint8_t* data, size_t length);
// PortableParity's bytes, writing nothing but the parity.
void WideParity(uint8_t* base);

// The EDC generator x^32 + x^31 + x^16 + x^15 + x^4 + x^3 + x + 1.
constexpr uint64_t EDC_POLYNOMIAL = 0x18001801Bull;

constexpr uint64_t XPowerModP(unsigned n) {
    uint64_t r = 1;
    for (unsigned i = 0; i < n; ++i) {
        r <<= 1;
        if (r & (uint64_t{1} << 32)) r ^= EDC_POLYNOMIAL;
    }
    return r;
}

// The EDC reads each byte least significant bit first, so a 16-byte block
// is the polynomial whose x^127 coefficient is bit 0 of byte 0. A carry-less
// product of two such 64-bit halves comes out one place short of that
// layout; taking the constant as x * (x^(n-1) mod P), laid out with the
// coefficient of x^d at bit 64 - d, puts the product right.
constexpr uint64_t FoldConstant(unsigned n) {
    const uint64_t k = XPowerModP(n - 1) << 1;
    uint64_t laid = 0;
    for (unsigned d = 1; d <= 32; ++d) {
        if ((k >> d) & 1) laid |= uint64_t{1} << (64 - d);
    }
    return laid;
}

}  // namespace korvalin::encoder_paths
