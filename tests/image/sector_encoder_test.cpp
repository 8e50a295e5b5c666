// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/sector_encoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "image/raw_sector_check.h"
#include "image/sector_header.h"

namespace korvalin {
namespace {

// A straightforward reference, written from ECMA-130 without any shortcut:
// a bit-serial EDC and parity from the log-domain coefficients.
struct Reference {
    uint8_t exp[512];
    uint8_t log[256] = {};
    Reference() {
        unsigned x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[i] = exp[i + 255] = static_cast<uint8_t>(x);
            log[x] = static_cast<uint8_t>(i);
            x <<= 1;
            if (x & 0x100) x ^= 0x11D;
        }
    }
    uint8_t Mul(uint8_t a, uint8_t b) const { return (a && b) ? exp[log[a] + log[b]] : 0; }
    uint8_t Div(uint8_t a, uint8_t b) const { return a ? exp[log[a] + 255 - log[b]] : 0; }
    uint8_t Pow(int e) const { return exp[e % 255]; }
    // log of the factor of d_i in parity symbol s for a code of length n.
    int Coefficient(int s, int i, int n) const {
        const uint8_t add = s == 0 ? 1 : 2;  // 1 or alpha
        return log[Div(static_cast<uint8_t>(Pow(n - 1 - i) ^ add), 3)];
    }
    static uint32_t Edc(const uint8_t* p, size_t n) {
        uint32_t crc = 0;
        for (size_t i = 0; i < n; ++i) {
            crc ^= p[i];
            for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xD8018001u : 0);
        }
        return crc;
    }
    void Encode(uint8_t* s) const {
        std::memset(s + 2072, 0, 280);
        const uint32_t edc = Edc(s + 16, 2056);
        for (int i = 0; i < 4; ++i) s[2072 + i] = static_cast<uint8_t>(edc >> (8 * i));
        uint8_t w[2352];
        std::memcpy(w, s, 2352);
        std::memset(w + 12, 0, 4);
        for (int c = 0; c < 43; ++c) {
            for (int half = 0; half < 2; ++half) {
                uint8_t p0 = 0, p1 = 0;
                for (int r = 0; r < 24; ++r) {
                    const uint8_t d = w[12 + 86 * r + 2 * c + half];
                    p0 ^= Mul(d, exp[Coefficient(0, r, 26)]);
                    p1 ^= Mul(d, exp[Coefficient(1, r, 26)]);
                }
                w[2076 + 2 * c + half] = p0;
                w[2076 + 86 + 2 * c + half] = p1;
            }
        }
        for (int d = 0; d < 26; ++d) {
            for (int half = 0; half < 2; ++half) {
                uint8_t q0 = 0, q1 = 0;
                for (int k = 0; k < 43; ++k) {
                    const uint8_t v = w[12 + (86 * d + 88 * k) % 2236 + half];
                    q0 ^= Mul(v, exp[Coefficient(0, k, 45)]);
                    q1 ^= Mul(v, exp[Coefficient(1, k, 45)]);
                }
                w[2248 + 2 * d + half] = q0;
                w[2248 + 52 + 2 * d + half] = q1;
            }
        }
        std::memcpy(s + 2076, w + 2076, 276);
    }
};

std::vector<uint8_t> StampedSector(SectorHeaderTemplate& header) {
    std::vector<uint8_t> sector(2352, 0);
    StampSectorHeader(sector.data(), header);
    return sector;
}

TEST(SectorEncoder, ReferenceCoefficientsAreThoseOfTheStandard) {
    const Reference ref;
    const int p[] = {231, 229, 171, 210};
    const int q[] = {190, 96, 250, 132};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ref.Coefficient(0, i, 26), p[i]);
        EXPECT_EQ(ref.Coefficient(0, i, 45), q[i]);
    }
}

TEST(SectorEncoder, Form1SectorsMatchTheReferenceOnEveryPath) {
    const Reference ref;
    for (const EncoderPath path : AvailableEncoderPaths()) {
        SectorHeaderTemplate header;
        std::mt19937 random(7);
        std::vector<uint8_t> zeroAtLba0;
        for (int lba = 0; lba < 66; ++lba) {
            auto sector = StampedSector(header);
            // Zero user data up to LBA 16, random data after.
            if (lba > 16) {
                for (int b = 24; b < 2072; ++b) sector[b] = static_cast<uint8_t>(random());
            }
            auto expected = sector;
            EXPECT_EQ(EncodeSectorOn(path, sector.data()), 0);
            ref.Encode(expected.data());
            ASSERT_EQ(sector, expected) << "LBA " << lba << " path " << static_cast<int>(path);
            if (lba == 0) zeroAtLba0 = sector;
            if (lba == 16) {
                // The address does not enter EDC or parity.
                EXPECT_TRUE(std::equal(sector.begin() + 2072, sector.end(), zeroAtLba0.begin() + 2072));
                EXPECT_NE(std::count(sector.begin() + 2072, sector.end(), 0), 280);
            }
        }
    }
}

// Random sectors of every kind, and data full of 0x00 and 0xFF runs (the
// carries of the field arithmetic), give the same bytes on every path; so
// do the EDC of a Form 2 sector and the parity of a damaged copy, as the
// verifier computes them.
TEST(SectorEncoder, FastPathsAgreeWithThePortableOne) {
    const std::vector<EncoderPath> paths = AvailableEncoderPaths();
    if (paths.size() < 2) GTEST_SKIP() << "no SIMD path on this processor";
    std::mt19937 random(11);
    SectorHeaderTemplate header;
    for (int i = 0; i < 3000; ++i) {
        auto sector = StampedSector(header);
        const int kind = i % 4;  // Form 1, Form 2, sparse Form 1, raw garbage
        for (int b = kind == 3 ? 0 : 16; b < 2352; ++b) {
            const uint32_t r = random();
            sector[b] = kind == 2 ? ((r & 7) == 0 ? 0xFF : 0) : static_cast<uint8_t>(r);
        }
        if (kind == 1) sector[18] |= 0x20;
        auto portable = sector;
        ASSERT_EQ(EncodeSectorOn(EncoderPath::Portable, portable.data()), kind == 3 ? -1 : 0);
        auto parity = sector;
        ComputeEccOn(EncoderPath::Portable, parity.data());
        for (size_t p = 1; p < paths.size(); ++p) {
            const char* name = EncoderPathName(paths[p]);
            auto fast = sector;
            EncodeSectorOn(paths[p], fast.data());
            ASSERT_EQ(portable, fast) << "sector " << i << " on " << name;
            ASSERT_EQ(ComputeEdcOn(EncoderPath::Portable, sector.data(), SECTOR_FORM2),
                      ComputeEdcOn(paths[p], sector.data(), SECTOR_FORM2)) << name;
            fast = sector;
            ComputeEccOn(paths[p], fast.data());
            ASSERT_EQ(parity, fast) << "parity of sector " << i << " on " << name;
        }
    }
}

TEST(SectorEncoder, LeavesOtherSectorsAlone) {
    SectorEncoder encoder;
    std::vector<uint8_t> zero(2352, 0);
    EXPECT_EQ(encoder.EncodeSector(zero.data()), -1);
    EXPECT_EQ(zero, std::vector<uint8_t>(2352, 0));

    SectorHeaderTemplate header;
    auto mode1 = StampedSector(header);
    mode1[15] = 1;
    std::fill(mode1.begin() + 2072, mode1.end(), 0xEE);
    EXPECT_EQ(encoder.EncodeSector(mode1.data()), -1);
    EXPECT_EQ(std::count(mode1.begin() + 2072, mode1.end(), 0), 280);

    auto form2 = StampedSector(header);
    form2[18] = form2[22] = 0x20;
    for (int b = 24; b < 2348; ++b) form2[b] = static_cast<uint8_t>(b * 7);
    const auto before = form2;
    EXPECT_EQ(encoder.EncodeSector(form2.data()), 0);
    EXPECT_TRUE(std::equal(form2.begin(), form2.begin() + 2348, before.begin()));
    const uint32_t edc = Reference::Edc(form2.data() + 16, 2332);
    EXPECT_EQ(
        form2[2348] | (form2[2349] << 8) | (form2[2350] << 16) | (uint32_t{form2[2351]} << 24),
        edc);
}

// The stamper and the verifier's expected address agree, past ninety-nine
// minutes too.
TEST(SectorHeader, AddressesCountFramesSecondsAndMinutesInBcd) {
    SectorHeaderTemplate header;
    std::vector<uint8_t> sector(2352);
    for (int lba = 0; lba < 100 * 60 * 75 + 1000; ++lba) {
        StampSectorHeader(sector.data(), header);
        uint8_t expected[3];
        ExpectedSectorAddress(lba, expected);
        ASSERT_EQ(std::memcmp(sector.data() + 12, expected, 3), 0) << "LBA " << lba;
    }
    // 00:02:00 ... 00:03:74, then 00:04:00.
    EXPECT_EQ(BcdAddressOfLba(149), (std::array<uint8_t, 3>{0x00, 0x03, 0x74}));
    EXPECT_EQ(BcdAddressOfLba(150), (std::array<uint8_t, 3>{0x00, 0x04, 0x00}));
    EXPECT_EQ(sector[12], 0xA0);  // minute 100: minutes are not wrapped
}

}  // namespace
}  // namespace korvalin
