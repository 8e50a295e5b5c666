// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which file or directory of the ISO 9660 hierarchy owns a sector, for
// reports that say what a damaged sector belongs to.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/iso_tree.h"

namespace korvalin {

struct SectorOwner {
    int64_t first = 0;  // first and one past the last sector of the extent
    int64_t end = 0;
    std::string path;   // "\DATA\FILE.BIN"; directories end in "\"
};

// Every extent of the tree, sorted by first sector.
std::vector<SectorOwner> SectorOwners(const IsoTree& tree);

// The extents of the image at `path` (.cue, .bin, .iso, .ims): empty, with
// `problem` saying why, when its file system cannot be read.
std::vector<SectorOwner> SectorOwnersOfImage(const std::string& path, std::string& problem);

// The disc path of the owner of `lba`, or "" when no file or directory holds it.
std::string OwnerOf(const std::vector<SectorOwner>& owners, int64_t lba);

// "\DATA\FILE.BIN" for a file record of a directory (the version cut off).
std::string FileDiscPath(const IsoDirectory& dir, const DirectoryRecord& file);

// Sectors an extent of `size` bytes covers.
int64_t ExtentSectors(uint32_t size);

}  // namespace korvalin
