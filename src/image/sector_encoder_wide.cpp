// SPDX-License-Identifier: GPL-3.0-or-later
// EDC and P/Q parity with AVX-512: carry-less multiplication of four blocks
// per instruction, and the Galois field instructions (GFNI) for the parity.
// GFNI multiplies in the field of x^8 + x^4 + x^3 + x + 1, not the CD's
// x^8 + x^4 + x^3 + x^2 + 1. The two fields are isomorphic, so Q's products
// by a different power of alpha per column are taken in the GFNI field
// through that linear map, and the sums mapped back once per sector.

#include "image/sector_encoder_paths.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <array>
#include <cstring>

#define KORVALIN_WIDE __attribute__((target("avx512f,avx512bw,gfni,vpclmulqdq")))

namespace korvalin::encoder_paths {

namespace {

constexpr unsigned CD_FIELD = 0x11D;
constexpr unsigned GFNI_FIELD = 0x11B;
constexpr uint8_t ALPHA = 2;

uint8_t Multiply(uint8_t a, uint8_t b, unsigned field) {
    unsigned product = 0;
    unsigned x = a;
    for (; b != 0; b >>= 1) {
        if (b & 1) product ^= x;
        x <<= 1;
        if (x & 0x100) x ^= field;
    }
    return static_cast<uint8_t>(product);
}

uint8_t Power(uint8_t x, int n, unsigned field) {
    uint8_t r = 1;
    for (int i = 0; i < n; ++i) r = Multiply(r, x, field);
    return r;
}

// A linear map of bytes as the 8 x 8 bit matrix gf2p8affineqb takes: byte
// 7 - i of the matrix selects the input bits whose sum is output bit i.
template <typename Map>
uint64_t AffineMatrix(Map map) {
    uint64_t matrix = 0;
    for (int i = 0; i < 8; ++i) {
        uint64_t row = 0;
        for (int j = 0; j < 8; ++j) row |= uint64_t{(map(static_cast<uint8_t>(1u << j)) >> i) & 1u} << j;
        matrix |= row << (8 * (7 - i));
    }
    return matrix;
}

constexpr int ROW_BYTES = 86;
constexpr int P_ROWS = 24;
constexpr int Q_ROWS = 26;
constexpr int Q_BYTES = 2 * Q_ROWS;
constexpr __mmask64 ROW_TAIL = (uint64_t{1} << (ROW_BYTES - 64)) - 1;  // bytes 64-85 of a row
constexpr __mmask64 Q_OUT = (uint64_t{1} << Q_BYTES) - 1;
constexpr __mmask32 FOLDED_WORDS = (1u << 17) - 1;  // word columns 26-42 fold onto 0-16

struct Tables {
    uint64_t timesAlpha = 0;
    uint64_t divideByAlphaPlus1 = 0;
    uint64_t toGfni = 0;
    uint64_t fromGfni = 0;
    // Q's weight of each byte of a row, alpha^(44 - word column), in the
    // GFNI field; bytes 64-85 in the second half.
    alignas(64) uint8_t qWeights[128] = {};
    // Word m of a 26-word diagonal vector takes word m + 26 of a row (the
    // columns that wrap onto the same diagonal); word m of the next step's
    // vector takes word m + 1; output word d takes word (26 - d) mod 26.
    alignas(64) uint16_t foldIndex[32] = {};
    alignas(64) uint16_t rotateIndex[32] = {};
    alignas(64) uint16_t diagonalIndex[32] = {};

    Tables() {
        // A root in the GFNI field of the CD field's polynomial is the image of alpha.
        uint8_t beta = 2;
        for (unsigned b = 2; b < 256; ++b) {
            const auto x = static_cast<uint8_t>(b);
            if ((Power(x, 8, GFNI_FIELD) ^ Power(x, 4, GFNI_FIELD) ^ Power(x, 3, GFNI_FIELD) ^
                 Power(x, 2, GFNI_FIELD) ^ 1) == 0) {
                beta = x;
                break;
            }
        }
        std::array<uint8_t, 256> to{};
        std::array<uint8_t, 256> from{};
        for (unsigned v = 0; v < 256; ++v) {
            uint8_t image = 0;
            for (int j = 0; j < 8; ++j) {
                if (v & (1u << j)) image ^= Power(beta, j, GFNI_FIELD);
            }
            to[v] = image;
            from[image] = static_cast<uint8_t>(v);
        }
        uint8_t inverseOfAlphaPlus1 = 1;
        for (unsigned y = 1; y < 256; ++y) {
            if (Multiply(ALPHA ^ 1, static_cast<uint8_t>(y), CD_FIELD) == 1) inverseOfAlphaPlus1 = static_cast<uint8_t>(y);
        }
        timesAlpha = AffineMatrix([](uint8_t x) { return Multiply(x, ALPHA, CD_FIELD); });
        divideByAlphaPlus1 = AffineMatrix([&](uint8_t x) { return Multiply(x, inverseOfAlphaPlus1, CD_FIELD); });
        toGfni = AffineMatrix([&](uint8_t x) { return to[x]; });
        fromGfni = AffineMatrix([&](uint8_t x) { return from[x]; });
        for (int b = 0; b < ROW_BYTES; ++b) qWeights[b] = to[Power(ALPHA, 44 - b / 2, CD_FIELD)];
        for (int m = 0; m < 32; ++m) {
            foldIndex[m] = static_cast<uint16_t>(m < 17 ? m + 26 : 0);
            rotateIndex[m] = static_cast<uint16_t>(m < Q_ROWS ? (m + 1) % Q_ROWS : m);
            diagonalIndex[m] = static_cast<uint16_t>(m < Q_ROWS ? (Q_ROWS - m) % Q_ROWS : m);
        }
    }
};

KORVALIN_WIDE inline __m512i Matrix(uint64_t matrix) { return _mm512_set1_epi64(static_cast<long long>(matrix)); }

KORVALIN_WIDE inline __m512i Affine(__m512i x, __m512i matrix) { return _mm512_gf2p8affine_epi64_epi8(x, matrix, 0); }

// P: 86 byte columns of 24 rows, a row in two vectors. S0 = the sum of a
// column, Horner's rule builds S1 = sum di alpha^(25 - i); then
// p0 = (S1 + S0) / (alpha + 1) and p1 = p0 + S0.
KORVALIN_WIDE void ComputeP(const uint8_t* base, uint8_t* out, const Tables& t) {
    const __m512i alpha = Matrix(t.timesAlpha);
    __m512i sum[2] = {_mm512_setzero_si512(), _mm512_setzero_si512()};
    __m512i horner[2] = {_mm512_setzero_si512(), _mm512_setzero_si512()};
    for (int r = 0; r < P_ROWS; ++r) {
        const __m512i row[2] = {_mm512_loadu_si512(base + ROW_BYTES * r),
                                _mm512_maskz_loadu_epi8(ROW_TAIL, base + ROW_BYTES * r + 64)};
        for (int h = 0; h < 2; ++h) {
            sum[h] = _mm512_xor_si512(sum[h], row[h]);
            horner[h] = Affine(_mm512_xor_si512(horner[h], row[h]), alpha);
        }
    }
    const __m512i divide = Matrix(t.divideByAlphaPlus1);
    __m512i p0[2];
    for (int h = 0; h < 2; ++h) p0[h] = Affine(_mm512_xor_si512(Affine(horner[h], alpha), sum[h]), divide);
    _mm512_storeu_si512(out, p0[0]);
    _mm512_mask_storeu_epi8(out + 64, ROW_TAIL, p0[1]);
    _mm512_storeu_si512(out + ROW_BYTES, _mm512_xor_si512(p0[0], sum[0]));
    _mm512_mask_storeu_epi8(out + ROW_BYTES + 64, ROW_TAIL, _mm512_xor_si512(p0[1], sum[1]));
}

// One row's words folded onto 26 diagonal lanes: word m plus word m + 26.
KORVALIN_WIDE inline __m512i Folded(__m512i low, __m512i high, __m512i foldIndex) {
    return _mm512_xor_si512(low, _mm512_maskz_permutex2var_epi16(FOLDED_WORDS, low, foldIndex, high));
}

// Q: 26 diagonals of 43 words; word k of diagonal d lies in row
// (d + k) mod 26, word column k, and is weighted alpha^(44 - k) in S1.
// Row r's word k thus adds to diagonal (r - k) mod 26. Taking the rows from
// the last, every step rotates the running sums one word down and adds the
// row folded onto 26 words, so row r ends up rotated r places: lane m holds
// diagonal (26 - m) mod 26, put right at the end.
KORVALIN_WIDE void ComputeQ(const uint8_t* base, uint8_t* out, const Tables& t) {
    const __m512i toGfni = Matrix(t.toGfni);
    const __m512i weights[2] = {_mm512_load_si512(t.qWeights), _mm512_load_si512(t.qWeights + 64)};
    const __m512i foldIndex = _mm512_load_si512(t.foldIndex);
    const __m512i rotateIndex = _mm512_load_si512(t.rotateIndex);
    __m512i sum = _mm512_setzero_si512();
    __m512i weighted = _mm512_setzero_si512();  // in the GFNI field
    for (int r = Q_ROWS - 1; r >= 0; --r) {
        const __m512i low = _mm512_loadu_si512(base + ROW_BYTES * r);
        const __m512i high = _mm512_maskz_loadu_epi8(ROW_TAIL, base + ROW_BYTES * r + 64);
        const __m512i weightedLow = _mm512_gf2p8mul_epi8(Affine(low, toGfni), weights[0]);
        const __m512i weightedHigh = _mm512_gf2p8mul_epi8(Affine(high, toGfni), weights[1]);
        sum = _mm512_xor_si512(_mm512_permutexvar_epi16(rotateIndex, sum), Folded(low, high, foldIndex));
        weighted = _mm512_xor_si512(_mm512_permutexvar_epi16(rotateIndex, weighted),
                                    Folded(weightedLow, weightedHigh, foldIndex));
    }
    const __m512i diagonalIndex = _mm512_load_si512(t.diagonalIndex);
    const __m512i s0 = _mm512_permutexvar_epi16(diagonalIndex, sum);
    const __m512i s1 = _mm512_permutexvar_epi16(diagonalIndex, Affine(weighted, Matrix(t.fromGfni)));
    const __m512i p0 = Affine(_mm512_xor_si512(s1, s0), Matrix(t.divideByAlphaPlus1));
    _mm512_mask_storeu_epi8(out, Q_OUT, p0);
    _mm512_mask_storeu_epi8(out + Q_BYTES, Q_OUT, _mm512_xor_si512(p0, s0));
}

KORVALIN_WIDE inline __m512i Fold(__m512i blocks, __m512i constants) {
    return _mm512_xor_si512(_mm512_clmulepi64_epi128(blocks, constants, 0x00),
                            _mm512_clmulepi64_epi128(blocks, constants, 0x11));
}

// Moving four blocks `BITS` further: each one's first half times x^(BITS + 64), its second times x^BITS.
template <unsigned BITS>
KORVALIN_WIDE inline __m512i FoldConstants4() {
    const auto first = static_cast<long long>(FoldConstant(BITS + 64));
    const auto second = static_cast<long long>(FoldConstant(BITS));
    return _mm512_set_epi64(second, first, second, first, second, first, second, first);
}

KORVALIN_WIDE inline __m512i Load512(const uint8_t* p) { return _mm512_loadu_si512(p); }

bool CpuHasWide() {
    __builtin_cpu_init();
    // The SSSE3 code finishes the EDC.
    return SimdSupported() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("gfni") && __builtin_cpu_supports("vpclmulqdq");
}

}  // namespace

bool WideSupported() {
    static const bool supported = CpuHasWide();
    return supported;
}

KORVALIN_WIDE uint32_t WideEdc(const uint8_t* data, size_t length) {
    // Four running vectors of four blocks each, folded 2048 bits on per step.
    __m512i run[4];
    for (int i = 0; i < 4; ++i) run[i] = Load512(data + 64 * i);
    size_t at = 256;
    const __m512i by2048 = FoldConstants4<2048>();
    for (; at + 256 <= length; at += 256) {
        for (int i = 0; i < 4; ++i) run[i] = _mm512_xor_si512(Fold(run[i], by2048), Load512(data + at + 64 * i));
    }
    __m512i blocks = _mm512_xor_si512(
        _mm512_xor_si512(Fold(run[0], FoldConstants4<1536>()), Fold(run[1], FoldConstants4<1024>())),
        _mm512_xor_si512(Fold(run[2], FoldConstants4<512>()), run[3]));
    const __m512i by512 = FoldConstants4<512>();
    for (; at + 64 <= length; at += 64) blocks = _mm512_xor_si512(Fold(blocks, by512), Load512(data + at));
    // The four blocks are congruent to everything so far, so the EDC of them
    // and the rest is the EDC of the whole; the SSSE3 code finishes it.
    alignas(64) uint8_t tail[128];
    _mm512_store_si512(tail, blocks);
    std::memcpy(tail + 64, data + at, length - at);
    return SimdEdc(tail, 64 + (length - at));
}

void WideParity(uint8_t* base) {
    static const Tables tables;
    ComputeP(base, base + 2064, tables);
    ComputeQ(base, base + 2236, tables);
}

}  // namespace korvalin::encoder_paths

#else  // not x86-64

namespace korvalin::encoder_paths {
bool WideSupported() { return false; }
uint32_t WideEdc(const uint8_t* data, size_t length) { return PortableEdc(0, data, length); }
void WideParity(uint8_t* base) { PortableParity(base); }
}  // namespace korvalin::encoder_paths

#endif
