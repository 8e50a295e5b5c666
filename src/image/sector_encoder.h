// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// EDC and Reed-Solomon P/Q parity (ECMA-130) of raw Mode 2 sectors.

#include <cstdint>
#include <vector>

namespace korvalin {

constexpr int32_t SECTOR_INVALID = -1;
constexpr int32_t SECTOR_MODE1 = 1;
constexpr int32_t SECTOR_FORM1 = 2;
constexpr int32_t SECTOR_FORM2 = 3;

constexpr int32_t FORM1_EDC_OFFSET = 2072;
constexpr int32_t FORM1_P_OFFSET = 2076;
constexpr int32_t FORM1_Q_OFFSET = 2248;
constexpr int32_t FORM2_EDC_OFFSET = 2348;

// Three implementations give the same bytes: a portable one; one with
// carry-less multiplication (EDC) and SSSE3 (parity); and a wide one with
// AVX-512, GFNI and VPCLMULQDQ. Every encoder, and so the compile and the
// verifier, takes the widest the processor has.
enum class EncoderPath { Portable, Simd, Wide };
bool SimdEncoderAvailable();
// The paths this processor runs, the portable one first.
std::vector<EncoderPath> AvailableEncoderPaths();
EncoderPath ActiveEncoderPath();
const char* EncoderPathName(EncoderPath path);

// The encoder's steps on a path of the caller's choosing, one of
// AvailableEncoderPaths().
uint32_t ComputeEdcOn(EncoderPath path, const uint8_t* sector, int32_t mode);
void ComputeEccOn(EncoderPath path, uint8_t* sector);
int32_t EncodeSectorOn(EncoderPath path, uint8_t* sector);

// The tables are constant and shared by every encoder; constructing one is free.
class SectorEncoder {
public:
    SectorEncoder();

    // Fills in EDC (and P/Q parity for Form 1) of a 2352-byte sector whose
    // sync, header, subheader and user data are in place. 0 for a Mode 2
    // sector; -1 otherwise, with bytes 2072-2351 cleared.
    int32_t EncodeSector(uint8_t* sector);

    // Mode judged from sync, mode byte and submode.
    static int32_t DetectMode(const uint8_t* sector);
    // EDC over subheader and user data of a Form 1 or Form 2 sector.
    static uint32_t ComputeEdc(const uint8_t* sector, int32_t mode);
    // P and Q parity of a Form 1 sector whose EDC is in place, written to
    // offsets 2076-2351; the address bytes do not enter it.
    static void ComputeEcc(uint8_t* sector);
};

}  // namespace korvalin
