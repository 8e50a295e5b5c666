// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the fixed-order integer fields of on-disc structures, and the
// both-byte-order fields whose two copies must agree.

#include <cstdint>
#include <string>

namespace korvalin {

inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint16_t GetBE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t GetLE32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
inline uint32_t GetBE32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// A both-byte-order field: the little-endian copy, then the big-endian one.
struct BothField {
    uint32_t little = 0;
    uint32_t big = 0;
    bool Agrees() const { return little == big; }
};
inline BothField GetBoth16(const uint8_t* p) { return {GetLE16(p), GetBE16(p + 2)}; }
inline BothField GetBoth32(const uint8_t* p) { return {GetLE32(p), GetBE32(p + 4)}; }

// An identifier as text for messages: printable ASCII kept, anything else as '?'.
inline std::string IdentifierText(const std::string& bytes) {
    std::string text;
    for (char c : bytes) text += (c >= 0x20 && c < 0x7F) ? c : '?';
    return text;
}

}  // namespace korvalin
