// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ISO 9660 hierarchy of an image: every directory in path-table order
// with its file records in the order of its extent. Guarded against loops,
// records past the end of an extent or the image, and absurd sizes.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/directory_record.h"
#include "disc/image_reader.h"
#include "disc/path_table_reader.h"
#include "disc/primary_volume.h"

namespace korvalin {

// A directory this large holds tens of thousands of records: not a real disc.
constexpr uint32_t MAX_DIRECTORY_BYTES = 16u << 20;

struct IsoDirectory {
    std::string path;          // "\" for the root, "\DATA\SUB" below it
    int32_t parentIndex = 0;   // index in IsoTree::dirs (the root's is 0)
    DirectoryRecord record;    // its record in the parent (the root: the descriptor's)
    DirectoryRecord selfRecord;    // its "." record
    DirectoryRecord parentRecord;  // its ".." record
    std::vector<DirectoryRecord> subdirectories;  // in the order of the extent
    std::vector<DirectoryRecord> files;           // in the order of the extent
};

struct IsoTree {
    PrimaryVolume volume;
    std::vector<PathTableRecord> pathTable;
    std::vector<IsoDirectory> dirs;  // path-table order; dirs[0] is the root
    int64_t fileCount = 0;
};

// A name as on disc without its version: "README.TXT" for "README.TXT;1".
std::string NameWithoutVersion(const std::string& identifier);

// Reads the volume, its path table and every directory. With
// `fileSystemOnly` (an IML variant's image) file extents may lie past the
// end. False with a message saying what is wrong and where.
bool ReadIsoTree(ImageReader& reader, bool fileSystemOnly, IsoTree& tree, std::string& problem);

}  // namespace korvalin
