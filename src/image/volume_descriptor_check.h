// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks of the primary volume descriptor at sector 16, of its root
// directory record, and of the descriptor set up to its terminator.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/image_reader.h"
#include "image/verify_problems.h"

namespace korvalin {

constexpr int64_t VOLUME_DESCRIPTOR_LBA = 16;

// What the rest of the file-system check needs from the descriptor.
struct VolumeFacts {
    bool usable = false;  // a primary volume descriptor with 2048-byte blocks was found
    bool isXa = false;    // "CD-XA001" in the application-use area
    int64_t volumeSpaceSize = 0;
    uint32_t pathTableBytes = 0;
    uint32_t pathTableLba[4] = {};  // L, optional L, M, optional M (0 = absent)
    uint32_t rootExtent = 0;
    uint32_t rootBytes = 0;
    bool rootUsable = false;
};

// `fileSystemOnly`: the image holds only the file-system sectors of a larger
// volume (the IML variant), so a volume larger than the file is expected.
VolumeFacts CheckVolumeDescriptors(ImageReader& reader, bool fileSystemOnly, ProblemList& problems,
                                   std::vector<std::string>& notes);

}  // namespace korvalin
