#include "image/sector_encoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

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
    EXPECT_EQ(ref.Coefficient(0, 0, 26), 231);
    EXPECT_EQ(ref.Coefficient(0, 1, 26), 229);
    EXPECT_EQ(ref.Coefficient(0, 2, 26), 171);
    EXPECT_EQ(ref.Coefficient(0, 3, 26), 210);
    EXPECT_EQ(ref.Coefficient(0, 0, 45), 190);
    EXPECT_EQ(ref.Coefficient(0, 1, 45), 96);
    EXPECT_EQ(ref.Coefficient(0, 2, 45), 250);
    EXPECT_EQ(ref.Coefficient(0, 3, 45), 132);
}

TEST(SectorEncoder, ZeroForm1SectorsAtLba0And16MatchTheReference) {
    const Reference ref;
    SectorHeaderTemplate header;
    SectorEncoder encoder;
    std::vector<uint8_t> first, sixteenth;
    for (int lba = 0; lba <= 16; ++lba) {
        auto sector = StampedSector(header);
        auto expected = sector;
        EXPECT_EQ(encoder.EncodeSector(sector.data()), 0);
        ref.Encode(expected.data());
        ASSERT_EQ(sector, expected) << "LBA " << lba;
        if (lba == 0) first = sector;
        if (lba == 16) sixteenth = sector;
    }
    EXPECT_EQ(first[12], 0x00);
    EXPECT_EQ(first[13], 0x02);
    EXPECT_EQ(first[14], 0x00);
    EXPECT_EQ(sixteenth[14], 0x16);
    // The address does not enter EDC or parity.
    EXPECT_TRUE(std::equal(first.begin() + 2072, first.end(), sixteenth.begin() + 2072));
    EXPECT_NE(std::count(first.begin() + 2072, first.end(), 0), 280);
}

TEST(SectorEncoder, RandomForm1SectorsMatchTheReference) {
    const Reference ref;
    SectorHeaderTemplate header;
    SectorEncoder encoder;
    std::mt19937 random(7);
    for (int i = 0; i < 50; ++i) {
        auto sector = StampedSector(header);
        for (int b = 24; b < 2072; ++b) sector[b] = static_cast<uint8_t>(random());
        auto expected = sector;
        encoder.EncodeSector(sector.data());
        ref.Encode(expected.data());
        ASSERT_EQ(sector, expected) << i;
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
    EXPECT_EQ(SectorEncoder::DetectMode(mode1.data()), SECTOR_MODE1);

    auto form2 = StampedSector(header);
    form2[18] = form2[22] = 0x20;
    for (int b = 24; b < 2348; ++b) form2[b] = static_cast<uint8_t>(b * 7);
    auto before = form2;
    EXPECT_EQ(encoder.EncodeSector(form2.data()), 0);
    EXPECT_TRUE(std::equal(form2.begin(), form2.begin() + 2348, before.begin()));
    const uint32_t edc = Reference::Edc(form2.data() + 16, 2332);
    EXPECT_EQ(form2[2348] | (form2[2349] << 8) | (form2[2350] << 16) | (uint32_t{form2[2351]} << 24), edc);
}

TEST(SectorHeader, AddressesCountFramesSecondsAndMinutesInBcd) {
    SectorHeaderTemplate header;
    std::vector<uint8_t> sector(2352);
    for (int lba = 0; lba < 150; ++lba) {
        StampSectorHeader(sector.data(), header);
        const auto expected = BcdAddressOfLba(lba);
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), sector.begin() + 12)) << lba;
    }
    EXPECT_EQ(sector[12], 0x00);
    EXPECT_EQ(sector[13], 0x03);
    EXPECT_EQ(sector[14], 0x74);
    StampSectorHeader(sector.data(), header);
    EXPECT_EQ(sector[13], 0x04);
    EXPECT_EQ(sector[14], 0x00);
    EXPECT_EQ(BcdAddressOfLba(16)[2], 0x16);
    EXPECT_EQ(BcdAddressOfLba(75)[1], 0x03);

    uint8_t m = 0x99, s = 0x59, f = 0x74;
    AdvanceBcdAddress(m, s, f);
    EXPECT_EQ(m, 0xA0);  // minutes are not wrapped
    EXPECT_EQ(s, 0x00);
    EXPECT_EQ(f, 0x00);
}

}  // namespace
}  // namespace korvalin
