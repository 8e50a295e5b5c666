// SPDX-License-Identifier: GPL-3.0-or-later
// EDC by carry-less multiplication and P/Q parity with SSSE3, compiled for
// those instructions function by function so the build needs no -march;
// the encoder calls them only after asking the processor.

#include "image/sector_encoder_paths.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <array>
#include <cstring>

#define KORVALIN_SIMD __attribute__((target("pclmul,sse4.1,ssse3")))

namespace korvalin::encoder_paths {

namespace {

// Moving a block `bits` further along the message: its first half is
// multiplied by x^(bits + 64), its second by x^bits.
KORVALIN_SIMD inline __m128i Fold(__m128i block, __m128i constants) {
    return _mm_xor_si128(_mm_clmulepi64_si128(block, constants, 0x00),
                         _mm_clmulepi64_si128(block, constants, 0x11));
}

template <unsigned BITS>
KORVALIN_SIMD inline __m128i FoldConstants() {
    constexpr uint64_t first = FoldConstant(BITS + 64);
    constexpr uint64_t second = FoldConstant(BITS);
    return _mm_set_epi64x(static_cast<long long>(second), static_cast<long long>(first));
}

KORVALIN_SIMD inline __m128i Load(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

// GF(2^8) with x^8 + x^4 + x^3 + x^2 + 1: every byte times alpha.
KORVALIN_SIMD inline __m128i TimesAlpha(__m128i x) {
    const __m128i carry = _mm_and_si128(_mm_cmplt_epi8(x, _mm_setzero_si128()), _mm_set1_epi8(0x1D));
    return _mm_xor_si128(_mm_add_epi8(x, x), carry);
}

// y / (alpha + 1) for every byte, by the products of the two nibbles.
struct Divider {
    __m128i low;
    __m128i high;
};

Divider MakeDivider() {
    std::array<uint8_t, 256> quotient{};
    for (unsigned x = 0; x < 256; ++x) {
        unsigned doubled = (x << 1) ^ ((x & 0x80) ? 0x11D : 0);
        quotient[(x ^ doubled) & 0xFF] = static_cast<uint8_t>(x);
    }
    alignas(16) uint8_t low[16];
    alignas(16) uint8_t high[16];
    for (unsigned i = 0; i < 16; ++i) {
        low[i] = quotient[i];
        high[i] = quotient[i << 4];
    }
    Divider d;
    std::memcpy(&d.low, low, 16);
    std::memcpy(&d.high, high, 16);
    return d;
}

KORVALIN_SIMD inline __m128i Divide(__m128i y, const Divider& d) {
    const __m128i nibble = _mm_set1_epi8(0x0F);
    return _mm_xor_si128(_mm_shuffle_epi8(d.low, _mm_and_si128(y, nibble)),
                         _mm_shuffle_epi8(d.high, _mm_and_si128(_mm_srli_epi16(y, 4), nibble)));
}

// Codewords side by side, one byte lane each, fed one data position at a
// time: S0 = sum of the data, Horner's rule builds S1 = sum di alpha^(k+1-i);
// then p0 = (S1 + S0) / (alpha + 1) and p1 = p0 + S0.
template <int VECTORS>
struct Codewords {
    __m128i horner[VECTORS];
    __m128i sum[VECTORS];

    KORVALIN_SIMD Codewords() {
        for (int v = 0; v < VECTORS; ++v) horner[v] = sum[v] = _mm_setzero_si128();
    }
    KORVALIN_SIMD inline void Add(int v, __m128i data) {
        sum[v] = _mm_xor_si128(sum[v], data);
        horner[v] = TimesAlpha(_mm_xor_si128(horner[v], data));
    }
    KORVALIN_SIMD inline __m128i First(int v, const Divider& d) const {
        return Divide(_mm_xor_si128(TimesAlpha(horner[v]), sum[v]), d);
    }
};

constexpr int ROW_BYTES = 86;
constexpr int P_ROWS = 24;
constexpr int Q_ROWS = 26;
constexpr int Q_WORDS = 43;

// P: 86 byte columns of 24 rows, every row one contiguous load per 16
// columns. The sixth vector's last ten lanes read the next row and are
// dropped: its p0 store is overwritten by p1, its p1 store by Q.
KORVALIN_SIMD void ComputeP(const uint8_t* base, uint8_t* out, const Divider& d) {
    Codewords<6> codewords;
    for (int r = 0; r < P_ROWS; ++r) {
        for (int v = 0; v < 6; ++v) codewords.Add(v, Load(base + ROW_BYTES * r + 16 * v));
    }
    __m128i p0[6];
    for (int v = 0; v < 6; ++v) {
        p0[v] = codewords.First(v, d);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * v), p0[v]);
    }
    for (int v = 0; v < 6; ++v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + ROW_BYTES + 16 * v),
                         _mm_xor_si128(p0[v], codewords.sum[v]));
    }
}

// Eight rows of eight 16-bit words in, their eight columns out.
KORVALIN_SIMD inline void Transpose8x8(__m128i (&x)[8]) {
    __m128i t[8];
    for (int i = 0; i < 4; ++i) {
        t[i] = _mm_unpacklo_epi16(x[2 * i], x[2 * i + 1]);
        t[i + 4] = _mm_unpackhi_epi16(x[2 * i], x[2 * i + 1]);
    }
    __m128i u[8];
    for (int half = 0; half < 2; ++half) {
        const int a = 4 * half;  // t[0..3]: words 0-3, t[4..7]: words 4-7
        u[a + 0] = _mm_unpacklo_epi32(t[a + 0], t[a + 1]);
        u[a + 1] = _mm_unpackhi_epi32(t[a + 0], t[a + 1]);
        u[a + 2] = _mm_unpacklo_epi32(t[a + 2], t[a + 3]);
        u[a + 3] = _mm_unpackhi_epi32(t[a + 2], t[a + 3]);
    }
    for (int half = 0; half < 2; ++half) {
        const int a = 4 * half;
        x[a + 0] = _mm_unpacklo_epi64(u[a + 0], u[a + 2]);
        x[a + 1] = _mm_unpackhi_epi64(u[a + 0], u[a + 2]);
        x[a + 2] = _mm_unpacklo_epi64(u[a + 1], u[a + 3]);
        x[a + 3] = _mm_unpackhi_epi64(u[a + 1], u[a + 3]);
    }
}

// Word column k of the 26 rows of 86 bytes, twice over (rows 0-25, then
// 0-25 again) so that any rotation of it is one run of loads.
struct Columns {
    static constexpr int STRIDE = 64;  // words; loads reach word 25 + 31
    alignas(16) uint16_t words[Q_WORDS * STRIDE];
};

KORVALIN_SIMD void TransposeQRows(const uint8_t* base, Columns& columns) {
    for (int block = 0; block < 6; ++block) {      // word columns 8b .. 8b+7
        for (int band = 0; band < 4; ++band) {     // rows 8band .. 8band+7
            __m128i x[8];
            for (int i = 0; i < 8; ++i) {
                const int row = 8 * band + i;
                x[i] = row < Q_ROWS ? Load(base + ROW_BYTES * row + 16 * block) : _mm_setzero_si128();
            }
            Transpose8x8(x);
            for (int j = 0; j < 8; ++j) {
                const int k = 8 * block + j;
                if (k >= Q_WORDS) break;
                uint16_t* column = columns.words + k * Columns::STRIDE;
                if (band < 3) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(column + 8 * band), x[j]);
                } else {
                    const uint32_t rows24And25 = static_cast<uint32_t>(_mm_cvtsi128_si32(x[j]));
                    std::memcpy(column + 24, &rows24And25, 4);
                }
                _mm_storeu_si128(reinterpret_cast<__m128i*>(column + Q_ROWS + 8 * band), x[j]);
            }
        }
    }
}

// Q: 26 diagonals of 43 words; word k of diagonal d lies in row
// (d + k) mod 26, word column k. Step k of all diagonals is column k
// rotated up by k rows.
KORVALIN_SIMD void ComputeQ(const uint8_t* base, uint8_t* out, const Divider& d) {
    Columns columns;
    TransposeQRows(base, columns);
    Codewords<4> codewords;
    for (int k = 0; k < Q_WORDS; ++k) {
        const uint16_t* rotated = columns.words + k * Columns::STRIDE + k % Q_ROWS;
        for (int v = 0; v < 4; ++v) codewords.Add(v, Load(rotated + 8 * v));
    }
    // 52 bytes each: three whole vectors and four bytes of the fourth.
    constexpr int Q_BYTES = 2 * Q_ROWS;
    alignas(16) uint8_t p0[64];
    alignas(16) uint8_t p1[64];
    for (int v = 0; v < 4; ++v) {
        const __m128i first = codewords.First(v, d);
        _mm_store_si128(reinterpret_cast<__m128i*>(p0 + 16 * v), first);
        _mm_store_si128(reinterpret_cast<__m128i*>(p1 + 16 * v), _mm_xor_si128(first, codewords.sum[v]));
    }
    std::memcpy(out, p0, Q_BYTES);
    std::memcpy(out + Q_BYTES, p1, Q_BYTES);
}

bool CpuHasSimd() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1") &&
           __builtin_cpu_supports("ssse3");
}

}  // namespace

bool SimdSupported() {
    static const bool supported = CpuHasSimd();
    return supported;
}

KORVALIN_SIMD uint32_t SimdEdc(const uint8_t* data, size_t length) {
    // Four running blocks, each folded 512 bits on per step.
    __m128i run[4];
    for (int i = 0; i < 4; ++i) run[i] = Load(data + 16 * i);
    size_t at = 64;
    const __m128i by512 = FoldConstants<512>();
    for (; at + 64 <= length; at += 64) {
        for (int i = 0; i < 4; ++i) run[i] = _mm_xor_si128(Fold(run[i], by512), Load(data + at + 16 * i));
    }
    __m128i block = _mm_xor_si128(
        _mm_xor_si128(Fold(run[0], FoldConstants<384>()), Fold(run[1], FoldConstants<256>())),
        _mm_xor_si128(Fold(run[2], FoldConstants<128>()), run[3]));
    const __m128i by128 = FoldConstants<128>();
    for (; at + 16 <= length; at += 16) block = _mm_xor_si128(Fold(block, by128), Load(data + at));
    // The folded block is congruent to everything so far: its EDC is theirs.
    alignas(16) uint8_t bytes[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(bytes), block);
    return PortableEdc(PortableEdc(0, bytes, 16), data + at, length - at);
}

void SimdParity(uint8_t* base) {
    static const Divider divider = MakeDivider();
    ComputeP(base, base + 2064, divider);
    ComputeQ(base, base + 2236, divider);
}

}  // namespace korvalin::encoder_paths

#else  // not x86

namespace korvalin::encoder_paths {
bool SimdSupported() { return false; }
uint32_t SimdEdc(const uint8_t* data, size_t length) { return PortableEdc(0, data, length); }
void SimdParity(uint8_t* base) { PortableParity(base); }
}  // namespace korvalin::encoder_paths

#endif
