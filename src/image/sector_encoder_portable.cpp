// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/sector_encoder_paths.h"

#include <array>
#include <cstring>

namespace korvalin::encoder_paths {

namespace {

struct Tables {
    // CRC-32 for (x^16 + x^15 + x^2 + 1)(x^16 + x^2 + x + 1), reflected,
    // sliced eight bytes at a time.
    std::array<std::array<uint32_t, 256>, 8> edc{};
    // GF(2^8), x^8 + x^4 + x^3 + x^2 + 1: multiplication by alpha, and
    // division by (alpha + 1) after a multiplication by alpha.
    std::array<uint8_t, 256> timesAlpha{};
    std::array<uint8_t, 256> finish{};

    Tables() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t crc = i;
            for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xD8018001u : 0);
            edc[0][i] = crc;
        }
        for (uint32_t i = 0; i < 256; ++i) {
            for (int k = 1; k < 8; ++k) edc[k][i] = (edc[k - 1][i] >> 8) ^ edc[0][edc[k - 1][i] & 0xFF];
        }
        for (uint32_t x = 0; x < 256; ++x) {
            const uint32_t doubled = (x << 1) ^ ((x & 0x80) ? 0x11D : 0);
            timesAlpha[x] = static_cast<uint8_t>(doubled);
            finish[x ^ doubled] = static_cast<uint8_t>(x);  // y = x(alpha + 1)  ->  x
        }
    }
};

const Tables& SharedTables() {
    static const Tables tables;
    return tables;
}

// Sixteen GF(2^8) elements side by side in one vector register.
typedef uint64_t Lanes __attribute__((vector_size(16)));

// Multiplies every element by alpha at once.
inline Lanes TimesAlpha16(Lanes x) {
    const Lanes high = (x >> 7) & 0x0101010101010101ull;
    return ((x & 0x7F7F7F7F7F7F7F7Full) << 1) ^ (high * 0x1D);
}

// Each parity symbol pair protects one codeword d0..d(k-1), with
// S0 = sum di and S1 = sum di alpha^(k+1-i):
// p0 = (S1 + S0) / (alpha + 1) and p1 = p0 + S0.
// S1 is built by Horner's rule, sixteen codewords per vector, all
// codewords advancing together one data position at a time.
template <int WORDS>
struct Codewords {
    Lanes horner[WORDS] = {};
    Lanes sum[WORDS] = {};

    void Add(const Lanes (&data)[WORDS]) {
        for (int w = 0; w < WORDS; ++w) {
            sum[w] ^= data[w];
            horner[w] = TimesAlpha16(horner[w] ^ data[w]);
        }
    }
    void Finish(int majors, uint8_t* out) const {
        const Tables& t = SharedTables();
        uint8_t h[WORDS * 16];
        uint8_t s[WORDS * 16];
        std::memcpy(h, horner, sizeof h);
        std::memcpy(s, sum, sizeof s);
        for (int major = 0; major < majors; ++major) {
            const uint8_t p0 = t.finish[t.timesAlpha[h[major]] ^ s[major]];
            out[major] = p0;
            out[major + majors] = static_cast<uint8_t>(p0 ^ s[major]);
        }
    }
};

// P: 86 byte columns of 24 rows; row r is the 86 bytes at 86r.
void ComputeP(const uint8_t* buffer, uint8_t* out) {
    Codewords<6> codewords;
    Lanes row[6];
    for (int r = 0; r < 24; ++r) {
        row[5] = Lanes{};
        std::memcpy(row, buffer + 86 * r, 86);
        codewords.Add(row);
    }
    codewords.Finish(86, out);
}

// Q: 26 diagonals of 43 two-byte words; word k of diagonal d starts at
// (86d + 88k) mod 2236, which is word k of row (d + k) mod 26 of the 26 rows
// of 86 bytes. Step k of all diagonals thus reads word column k from row k on,
// wrapping round to row 0.
void ComputeQ(const uint8_t* buffer, uint8_t* out) {
    Codewords<4> codewords;
    Lanes run[4];
    for (int k = 0; k < 43; ++k) {
        uint16_t words[32] = {};
        const uint8_t* column = buffer + 2 * k;
        const int first = k % 26;
        const uint8_t* p = column + 86 * first;
        int d = 0;
        for (; d < 26 - first; ++d, p += 86) std::memcpy(&words[d], p, 2);
        for (p = column; d < 26; ++d, p += 86) std::memcpy(&words[d], p, 2);
        std::memcpy(run, words, sizeof run);
        codewords.Add(run);
    }
    codewords.Finish(52, out);
}

}  // namespace

uint32_t PortableEdc(uint32_t crc, const uint8_t* p, size_t length) {
    const auto& table = SharedTables().edc;
    for (; length >= 8; length -= 8, p += 8) {
        const uint32_t low = crc ^ (uint32_t{p[0]} | (uint32_t{p[1]} << 8) |
                                    (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24));
        crc = table[7][low & 0xFF] ^ table[6][(low >> 8) & 0xFF] ^ table[5][(low >> 16) & 0xFF] ^
              table[4][low >> 24] ^ table[3][p[4]] ^ table[2][p[5]] ^ table[1][p[6]] ^
              table[0][p[7]];
    }
    for (; length > 0; --length, ++p) crc = table[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return crc;
}

void PortableParity(uint8_t* base) {
    ComputeP(base, base + 2064);
    ComputeQ(base, base + 2236);
}

}  // namespace korvalin::encoder_paths
