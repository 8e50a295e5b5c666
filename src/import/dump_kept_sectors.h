// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// After a dump: the sectors of the disc that the dumped project does not
// generate as they are, kept verbatim in a side file beside the project
// (model/kept_sectors.h), so that the unchanged project compiles back to
// the disc byte for byte whatever tool mastered it.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/disc_image.h"
#include "disc/iso_tree.h"

namespace korvalin {

struct KeptSectorsOutcome {
    int32_t count = 0;
    int64_t fileBytes = 0;
    std::string path;           // the side file; empty when nothing was kept
    std::string notKeptReason;  // why the comparison was not made, if it was not
};

// Compiles the project saved at `projectPath` in memory, compares each
// sector with `image` (whose tree is `tree`) as it is made and,
// when anything differs, writes the side file and saves the project again
// with its reference. False with `message` set when a file cannot be written.
bool KeepUnmodelledSectors(DiscImage& image, const IsoTree& tree, const std::string& projectPath,
                           KeptSectorsOutcome& outcome, std::string& message);

}  // namespace korvalin
