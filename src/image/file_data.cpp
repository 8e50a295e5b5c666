#include "image/file_data.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/sequential_file.h"

namespace korvalin {

namespace {

// Claims n sectors in the image; for a raw image each gets its stamped
// header (the image output encodes them as they leave).
uint8_t* ClaimBatch(CompileState& state, int32_t n) {
    return state.image.Claim(static_cast<size_t>(n) * static_cast<size_t>(state.sectorSize));
}

void StampBatch(CompileState& state, uint8_t* batch, int32_t n) {
    if (state.rawSectors != 1) return;
    for (int32_t j = 0; j < n; ++j) StampSectorHeader(batch + j * RAW_SECTOR_BYTES, state.sectorHeader);
}

void CommitBatch(CompileState& state, int32_t n) {
    state.image.Commit(static_cast<size_t>(n) * static_cast<size_t>(state.sectorSize));
    ReportProgress(state, state.writeLba);
    state.writeLba += n;
}

// Reads the batch's source bytes into the sectors' data areas (straight into
// them for 2048-byte sectors).
size_t ReadIntoBatch(InputFile& source, CompileState& state, uint8_t* batch, int32_t n) {
    const size_t wanted = static_cast<size_t>(n) * ISO_SECTOR_BYTES;
    if (state.rawSectors != 1) return source.Read(batch, wanted);
    std::vector<uint8_t>& readBuffer = state.readBuffer;
    readBuffer.resize(FILL_BATCH_SECTORS * ISO_SECTOR_BYTES);
    const size_t got = source.Read(readBuffer.data(), wanted);
    std::memset(readBuffer.data() + got, 0, wanted - got);
    for (int32_t j = 0; j < n; ++j) {
        std::memcpy(batch + j * RAW_SECTOR_BYTES + USER_DATA_OFFSET,
                    readBuffer.data() + j * ISO_SECTOR_BYTES, ISO_SECTOR_BYTES);
    }
    return got;
}

}  // namespace

int32_t WriteFileData(const Project& project, CompileState& state, int32_t fileIndex) {
    const FileEntry& file = project.fileTable[static_cast<size_t>(fileIndex)];
    int64_t remaining = static_cast<int32_t>(file.size);
    if (remaining <= 0) return FILE_DATA_WRITTEN;
    InputFile source;
    if (!file.sourcePath || !source.Open(*file.sourcePath)) return FILE_DATA_CANNOT_OPEN;

    while (remaining >= 1) {
        const int32_t n = static_cast<int32_t>(
            std::clamp<int64_t>(remaining / ISO_SECTOR_BYTES, 1, FILL_BATCH_SECTORS));
        const int64_t wanted = int64_t{n} * ISO_SECTOR_BYTES;
        uint8_t* batch = ClaimBatch(state, n);
        if (batch == nullptr) return FILE_DATA_SHORT_WRITE;
        const int64_t got = static_cast<int64_t>(ReadIntoBatch(source, state, batch, n));
        // Only the final, partial sector can tell that the source is short.
        if (got < wanted && got < remaining && remaining < wanted) return FILE_DATA_SOURCE_SHORT;
        StampBatch(state, batch, n);
        CommitBatch(state, n);
        remaining -= wanted;
    }
    return state.image.Flush() ? FILE_DATA_WRITTEN : FILE_DATA_SHORT_WRITE;
}

bool WriteFillerSectors(CompileState& state, int32_t endLba) {
    while (state.writeLba < endLba) {
        const int32_t n = std::min(endLba - state.writeLba, FILL_BATCH_SECTORS);
        uint8_t* batch = ClaimBatch(state, n);
        if (batch == nullptr) return false;
        StampBatch(state, batch, n);
        CommitBatch(state, n);
    }
    return state.image.Flush();
}

}  // namespace korvalin
