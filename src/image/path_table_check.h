// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the L and M path tables and their optional copies, checks that all
// of them say the same, and hands the records on for the comparison with the
// directory hierarchy.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/image_reader.h"
#include "disc/path_table_reader.h"
#include "image/verify_problems.h"
#include "image/volume_descriptor_check.h"

namespace korvalin {

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
