#pragma once
// Reads the L and M path tables and their optional copies, checks that all
// of them say the same, and hands the records on for the comparison with the
// directory hierarchy.

#include <cstdint>
#include <string>
#include <vector>

#include "image/image_reader.h"
#include "image/verify_problems.h"
#include "image/volume_descriptor_check.h"

namespace korvalin {

struct PathTableRecord {
    int32_t number = 0;  // directory number, 1 for the root
    uint32_t extent = 0;
    uint32_t parent = 0;
    std::string name;  // identifier bytes
    int64_t lba = 0;   // the sector of the table the record lies in
};

struct PathTable {
    bool complete = false;  // every record was read; false: do not compare with the hierarchy
    std::vector<PathTableRecord> records;
};

// The records of the L path table (of the M table when there is no usable L table).
PathTable CheckPathTables(ImageReader& reader, const VolumeFacts& volume, ProblemList& problems,
                          std::vector<std::string>& notes);

// A record's name for messages ("root" for directory 1).
std::string PathRecordName(const PathTableRecord& record);

}  // namespace korvalin
