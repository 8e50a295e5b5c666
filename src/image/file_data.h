#pragma once
// File data and zero filler sectors, written in batches.

#include <cstdint>

#include "image/compile_state.h"
#include "model/project.h"

namespace korvalin {

constexpr int32_t FILE_DATA_WRITTEN = 0;
constexpr int32_t FILE_DATA_SHORT_WRITE = 1;
constexpr int32_t FILE_DATA_SOURCE_SHORT = 2;
constexpr int32_t FILE_DATA_CANNOT_OPEN = 3;

// Writes the sectors of FileTable[fileIndex] at writeLba: ceil(size / 2048)
// sectors taken from its source in whole sectors. Nothing for a size of 0
// (or one that reads as negative). Returns one of the FILE_DATA_ codes.
int32_t WriteFileData(const Project& project, CompileState& state, int32_t fileIndex);

// Writes zero-data sectors until writeLba reaches `endLba`. False on a short write.
bool WriteFillerSectors(CompileState& state, int32_t endLba);

}  // namespace korvalin
