// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/sector_encoder.h"

#include <cstring>

#include "image/sector_encoder_paths.h"
#include "image/sector_header.h"

namespace korvalin {

namespace {

constexpr uint8_t SYNC[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

constexpr size_t FORM1_EDC_BYTES = 2056;  // subheader and user data
constexpr size_t FORM2_EDC_BYTES = 2332;

EncoderPath ChoosePath() { return AvailableEncoderPaths().back(); }

}  // namespace

bool SimdEncoderAvailable() { return encoder_paths::SimdSupported(); }

std::vector<EncoderPath> AvailableEncoderPaths() {
    std::vector<EncoderPath> paths{EncoderPath::Portable};
    if (encoder_paths::SimdSupported()) paths.push_back(EncoderPath::Simd);
    if (encoder_paths::WideSupported()) paths.push_back(EncoderPath::Wide);
    return paths;
}

const char* EncoderPathName(EncoderPath path) {
    switch (path) {
        case EncoderPath::Simd: return "SSSE3 + PCLMULQDQ";
        case EncoderPath::Wide: return "AVX-512 + GFNI + VPCLMULQDQ";
        default: return "portable";
    }
}

EncoderPath ActiveEncoderPath() {
    static const EncoderPath path = ChoosePath();
    return path;
}

uint32_t ComputeEdcOn(EncoderPath path, const uint8_t* sector, int32_t mode) {
    const size_t length = mode == SECTOR_FORM2 ? FORM2_EDC_BYTES : FORM1_EDC_BYTES;
    if (path == EncoderPath::Wide) return encoder_paths::WideEdc(sector + 16, length);
    if (path == EncoderPath::Simd) return encoder_paths::SimdEdc(sector + 16, length);
    return encoder_paths::PortableEdc(0, sector + 16, length);
}

void ComputeEccOn(EncoderPath path, uint8_t* sector) {
    // The Mode 2 rule: the header takes part as four zero bytes.
    uint8_t header[4];
    std::memcpy(header, sector + 12, 4);
    std::memset(sector + 12, 0, 4);
    if (path == EncoderPath::Wide) {
        encoder_paths::WideParity(sector + 12);
    } else if (path == EncoderPath::Simd) {
        encoder_paths::SimdParity(sector + 12);
    } else {
        encoder_paths::PortableParity(sector + 12);
    }
    std::memcpy(sector + 12, header, 4);
}

SectorEncoder::SectorEncoder() { ActiveEncoderPath(); }

int32_t SectorEncoder::DetectMode(const uint8_t* sector) {
    if (std::memcmp(sector, SYNC, sizeof SYNC) != 0) return SECTOR_INVALID;
    if (sector[15] == 1) return SECTOR_MODE1;
    if (sector[15] == 2) return (sector[18] & 0x20) ? SECTOR_FORM2 : SECTOR_FORM1;
    return SECTOR_INVALID;
}

uint32_t SectorEncoder::ComputeEdc(const uint8_t* sector, int32_t mode) {
    return ComputeEdcOn(ActiveEncoderPath(), sector, mode);
}

void SectorEncoder::ComputeEcc(uint8_t* sector) { ComputeEccOn(ActiveEncoderPath(), sector); }

int32_t SectorEncoder::EncodeSector(uint8_t* sector) { return EncodeSectorOn(ActiveEncoderPath(), sector); }

int32_t EncodeSectorOn(EncoderPath path, uint8_t* sector) {
    const int32_t mode = SectorEncoder::DetectMode(sector);
    if (mode != SECTOR_FORM1 && mode != SECTOR_FORM2) {
        std::memset(sector + FORM1_EDC_OFFSET, 0, RAW_SECTOR_BYTES - FORM1_EDC_OFFSET);
        return -1;
    }
    const int32_t edcOffset = mode == SECTOR_FORM1 ? FORM1_EDC_OFFSET : FORM2_EDC_OFFSET;
    if (mode == SECTOR_FORM1) std::memset(sector + FORM1_EDC_OFFSET, 0, RAW_SECTOR_BYTES - FORM1_EDC_OFFSET);
    const uint32_t edc = ComputeEdcOn(path, sector, mode);
    for (int i = 0; i < 4; ++i) sector[edcOffset + i] = static_cast<uint8_t>(edc >> (8 * i));
    if (mode == SECTOR_FORM1) ComputeEccOn(path, sector);
    return 0;
}

}  // namespace korvalin
