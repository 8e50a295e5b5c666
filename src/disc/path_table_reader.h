// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The records of an ISO 9660 path table.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/image_reader.h"

namespace korvalin {

// Directory numbers are 16-bit, and a record is at most 8 + 255 + 1 bytes.
constexpr uint32_t MAX_PATH_RECORDS = 65535;
constexpr uint32_t MAX_PATH_TABLE_BYTES = MAX_PATH_RECORDS * 264;

struct PathTableRecord {
    int32_t number = 0;  // directory number, 1 for the root
    uint32_t extent = 0;
    uint32_t parent = 0;
    std::string name;  // identifier bytes
    int64_t lba = 0;   // the sector of the table the record lies in
};

struct PathTableParse {
    std::vector<PathTableRecord> records;
    bool complete = false;  // every record up to `size` was read
    std::string problem;    // why not, when not
    int64_t problemLba = 0;
};

// Parses `size` bytes of a table that starts at sector `tableLba`. A zero
// length byte where a record should start is the zero fill of a sector that
// the next record did not fit into; reading goes on at the next sector.
PathTableParse ParsePathTable(const std::vector<uint8_t>& bytes, uint32_t size, int64_t tableLba, bool bigEndian);

// Reads and parses the table at `lba` of `size` bytes.
PathTableParse ReadPathTable(ImageReader& reader, uint32_t lba, uint32_t size, bool bigEndian);

}  // namespace korvalin
