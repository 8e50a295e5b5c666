#pragma once
// What one compile works with: the chosen image name, the progress hook, the
// result text and the position in the image being written.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/image_output.h"
#include "image/sector_header.h"

namespace korvalin {

// File data and filler move in batches of this many sectors.
constexpr int32_t FILL_BATCH_SECTORS = 20;
constexpr int32_t ISO_SECTOR_BYTES = 2048;

// Called with the LBA being written; the front end moves its progress bar.
using ProgressCallback = std::function<void(int32_t lba)>;

struct CompileState {
    // Set by the caller before the compile.
    std::string imagePath;  // the IML variant changes its extension to "ims"
    ProgressCallback progressCallback;
    // The one result text every compile ends with.
    std::string compileMessage;

    // Set by the compile itself.
    int32_t rawSectors = 1;  // 1: 2352-byte raw sectors, 0: 2048-byte sectors
    int32_t sectorSize = RAW_SECTOR_BYTES;
    int32_t writeLba = 0;  // the next sector to write
    bool imlMode = false;
    std::string outputSidecarPath;  // the cue sheet or IML file
    SectorHeaderTemplate sectorHeader;
    ImageOutput image;
    std::vector<uint8_t> readBuffer;  // one batch of source data
};

// Offset of the 2048 user-data bytes within a sector as the state writes it.
inline int32_t UserDataOffset(const CompileState& state) {
    return USER_DATA_OFFSET * state.rawSectors;
}

inline void ReportProgress(const CompileState& state, int32_t lba) {
    if (state.progressCallback) state.progressCallback(lba);
}

}  // namespace korvalin
