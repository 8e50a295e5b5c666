// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What one compile works with: the chosen image name, the progress hook, the
// result text and the position in the image being written.

#include <cstdint>
#include <memory>
#include <string>

#include "image/image_output.h"
#include "image/sector_header.h"
#include "model/kept_sectors.h"

namespace korvalin {


struct CompileState {
    // Set by the caller before the compile.
    std::string imagePath;  // the IML variant changes its extension to "ims"
    ProgressCallback progressCallback;  // called with the LBA being written
    unsigned workerThreads = 0;  // threads that read and encode; 0: one per processor but one
    // Set: the data track's sectors go there, and no image, cue sheet or IML
    // file is written (nor audio tracks); imagePath still chooses the variant.
    SectorSink* sectorSink = nullptr;
    // Every output is on the disk before the compile says it succeeded; the
    // image goes to the disk while it is written, not all at the end.
    bool syncToDisk = false;
    // The one result text every compile ends with.
    std::string compileMessage;

    // Set by the compile itself.
    int32_t rawSectors = 1;  // 1: 2352-byte raw sectors, 0: 2048-byte sectors
    int32_t sectorSize = RAW_SECTOR_BYTES;
    int32_t writeLba = 0;  // the next sector to write
    bool imlMode = false;
    std::string outputSidecarPath;  // the cue sheet or IML file
    SectorHeaderTemplate sectorHeader;
    std::shared_ptr<const KeptSectors> keptSectors;  // null when none apply to this image
    ImageOutput image;
};

// Offset of the 2048 user-data bytes within a sector as the state writes it.
inline int32_t UserDataOffset(const CompileState& state) {
    return USER_DATA_OFFSET * state.rawSectors;
}

inline void ReportProgress(const CompileState& state, int32_t lba) {
    if (state.progressCallback) state.progressCallback(lba);
}

}  // namespace korvalin
