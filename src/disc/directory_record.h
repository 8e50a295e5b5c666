// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One ISO 9660 directory record as read from a directory extent, with its
// CD-XA system-use field when it has one.

#include <array>
#include <cstdint>
#include <string>

namespace korvalin {

constexpr uint32_t MIN_DIRECTORY_RECORD_BYTES = 34;
constexpr uint8_t RECORD_FLAG_HIDDEN = 0x01;
constexpr uint8_t RECORD_FLAG_DIRECTORY = 0x02;
constexpr uint8_t RECORD_FLAG_MULTI_EXTENT = 0x80;

constexpr uint16_t XA_ATTR_FORM1 = 0x0800;
constexpr uint16_t XA_ATTR_FORM2 = 0x1000;
constexpr uint16_t XA_ATTR_INTERLEAVED = 0x2000;
constexpr uint16_t XA_ATTR_CDDA = 0x4000;
constexpr uint16_t XA_ATTR_DIRECTORY = 0x8000;

// The 7-byte recording date: years since 1900, then month to second, then
// the offset from GMT in 15-minute steps (signed).
struct RecordDate {
    int32_t year = 0;  // full year
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t gmtOffset = 0;
};

struct DirectoryRecord {
    uint32_t length = 0;
    uint32_t extendedAttributeLength = 0;
    uint32_t extent = 0;     // little-endian copy
    uint32_t size = 0;       // little-endian copy
    bool bothOrdersAgree = true;  // extent, size and volume sequence number
    RecordDate date;
    uint8_t flags = 0;
    uint8_t fileUnitSize = 0;
    uint8_t interleaveGap = 0;
    std::string identifier;  // bytes as recorded, ";1" included
    bool hasXa = false;      // a system-use field with the "XA" signature
    uint16_t xaAttributes = 0;
    uint8_t xaFileNumber = 0;
    std::array<uint8_t, 14> xaField{};  // the whole CD-XA field as recorded

    bool IsDirectory() const { return (flags & RECORD_FLAG_DIRECTORY) != 0; }
    bool IsSelf() const { return identifier == std::string(1, '\0'); }
    bool IsParent() const { return identifier == std::string(1, '\1'); }
    bool IsForm2() const { return hasXa && (xaAttributes & (XA_ATTR_FORM2 | XA_ATTR_INTERLEAVED)) != 0; }
    bool IsAudio() const { return hasXa && (xaAttributes & XA_ATTR_CDDA) != 0; }
};

// Reads the record at `bytes`, of which `available` bytes belong to the
// directory. False with a reason when its length is below 34, runs past
// `available`, or its identifier does not fit it.
bool ParseDirectoryRecord(const uint8_t* bytes, uint32_t available, DirectoryRecord& record,
                          std::string& problem);

// Where the system-use field of a record with this identifier length starts.
uint32_t SystemUseOffset(uint32_t identifierLength);

RecordDate ParseRecordDate(const uint8_t* bytes);

}  // namespace korvalin
