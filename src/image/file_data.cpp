// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/file_data.h"

namespace korvalin {

namespace {

// The template's address follows the image, for the sectors stamped next.
void Advance(CompileState& state, int32_t sectors) {
    state.writeLba += sectors;
    if (state.rawSectors != 1) return;
    const auto address = BcdAddressOfLba(state.writeLba);
    std::copy(address.begin(), address.end(), state.sectorHeader.bytes.begin() + 12);
}

}  // namespace

bool WriteFileData(const Project& project, CompileState& state, int32_t fileIndex) {
    const FileEntry& file = project.fileTable[static_cast<size_t>(fileIndex)];
    if (static_cast<int32_t>(file.size) <= 0) return true;
    const std::string* source = file.sourcePath ? &*file.sourcePath : nullptr;
    const int32_t sectors = static_cast<int32_t>((file.size + ISO_SECTOR_BYTES - 1) / ISO_SECTOR_BYTES);
    // A raw XA file's size counts its sectors (see xa_file.h).
    const bool appended = file.rawXa ? state.image.AppendXaFile(source, sectors, fileIndex)
                                     : state.image.AppendFile(source, file.size, fileIndex);
    if (!appended) return false;
    Advance(state, sectors);
    return true;
}

bool WriteFillerSectors(CompileState& state, int32_t endLba) {
    if (state.writeLba >= endLba) return true;
    const int32_t count = endLba - state.writeLba;
    if (!state.image.AppendFiller(count)) return false;
    Advance(state, count);
    return true;
}

}  // namespace korvalin
