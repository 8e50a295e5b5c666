// SPDX-License-Identifier: GPL-3.0-or-later
#include "patch/sector_owners.h"

#include <algorithm>

#include "disc/disc_image.h"

namespace korvalin {

int64_t ExtentSectors(uint32_t size) { return (int64_t{size} + 2047) / 2048; }

std::string FileDiscPath(const IsoDirectory& dir, const DirectoryRecord& file) {
    return (dir.path == "\\" ? "" : dir.path) + "\\" + NameWithoutVersion(file.identifier);
}

std::vector<SectorOwner> SectorOwners(const IsoTree& tree) {
    std::vector<SectorOwner> owners;
    for (const IsoDirectory& dir : tree.dirs) {
        const int64_t first = dir.record.extent;
        owners.push_back({first, first + ExtentSectors(dir.record.size), dir.path == "\\" ? "\\" : dir.path + "\\"});
        for (const DirectoryRecord& file : dir.files) {
            owners.push_back({file.extent, file.extent + ExtentSectors(file.size), FileDiscPath(dir, file)});
        }
    }
    std::stable_sort(owners.begin(), owners.end(),
                     [](const SectorOwner& a, const SectorOwner& b) { return a.first < b.first; });
    return owners;
}

std::vector<SectorOwner> SectorOwnersOfImage(const std::string& path, std::string& problem) {
    DiscImage image;
    if (!OpenDiscImage(path, image, problem)) return {};
    ImageReader reader(*image.source, image.format);
    IsoTree tree;
    if (!ReadIsoTree(reader, image.fileSystemOnly, tree, problem)) return {};
    return SectorOwners(tree);
}

std::string OwnerOf(const std::vector<SectorOwner>& owners, int64_t lba) {
    // The last extent starting at or before `lba`; extents rarely overlap,
    // and an alias sharing an extent names the same data.
    auto it = std::upper_bound(owners.begin(), owners.end(), lba,
                               [](int64_t value, const SectorOwner& o) { return value < o.first; });
    // A few steps back cover a directory whose extent holds pinned files.
    for (int steps = 0; it != owners.begin() && steps < 64; ++steps) {
        --it;
        if (lba < it->end) return it->path;
    }
    return "";
}

}  // namespace korvalin
