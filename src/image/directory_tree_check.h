// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Walks the directory hierarchy from the root record of the volume
// descriptor: every record of every directory extent, the "." and ".."
// records, the CD-XA system-use fields, the extents of files and
// directories, and the agreement of the hierarchy with the path table.

#include <cstdint>

#include "disc/image_reader.h"
#include "image/path_table_check.h"
#include "image/verify_problems.h"
#include "image/volume_descriptor_check.h"

namespace korvalin {

struct DirectoryTreeCounts {
    int64_t directories = 0;  // the root included
    int64_t files = 0;
};

// `fileSystemOnly`: file extents lie past the end of the image by design
// (the IML variant) and are not checked. `discSectors`, when larger than the
// image, is where the disc ends (audio tracks after the data track): file
// extents may run up to it, as DA files do.
DirectoryTreeCounts CheckDirectoryTree(ImageReader& reader, const VolumeFacts& volume, const PathTable& pathTable,
                                       bool fileSystemOnly, ProblemList& problems, int64_t discSectors = 0);

}  // namespace korvalin
