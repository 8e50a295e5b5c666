// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Field writers for the on-disc structures: every multi-byte value goes into
// the image through one of these, never as a host integer.

#include <cstdint>

namespace korvalin {

inline void PutLE16(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

inline void PutBE16(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value >> 8);
    out[1] = static_cast<uint8_t>(value);
}

inline void PutLE32(uint8_t* out, uint32_t value) {
    PutLE16(out, value);
    PutLE16(out + 2, value >> 16);
}

inline void PutBE32(uint8_t* out, uint32_t value) {
    PutBE16(out, value >> 16);
    PutBE16(out + 2, value);
}

// Both byte orders, little-endian first.
inline void PutBoth16(uint8_t* out, uint32_t value) {
    PutLE16(out, value);
    PutBE16(out + 2, value);
}

inline void PutBoth32(uint8_t* out, uint32_t value) {
    PutLE32(out, value);
    PutBE32(out + 4, value);
}

// The 7-byte directory record date, GMT offset +9 hours (36 quarter hours).
// Values are stored as given, without range checks.
constexpr uint8_t RECORD_DATE_GMT_OFFSET = 36;

inline void WriteDirRecordDate(uint8_t* out, int32_t day, int32_t month, int32_t year, int32_t hour,
                               int32_t minute, int32_t second) {
    out[0] = static_cast<uint8_t>(year - 1900);
    out[1] = static_cast<uint8_t>(month & 15);
    out[2] = static_cast<uint8_t>(day & 31);
    out[3] = static_cast<uint8_t>(hour);
    out[4] = static_cast<uint8_t>(minute);
    out[5] = static_cast<uint8_t>(second);
    out[6] = RECORD_DATE_GMT_OFFSET;
}

}  // namespace korvalin
