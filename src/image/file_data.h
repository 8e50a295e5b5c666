// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File data and zero filler sectors, written in batches.

#include <cstdint>

#include "image/compile_state.h"
#include "model/project.h"

namespace korvalin {

// Appends the sectors of FileTable[fileIndex] at writeLba: ceil(size / 2048)
// sectors taken from its source in whole sectors. Nothing for a size of 0
// (or one that reads as negative). A source that cannot be opened or read
// is met when the image gets there (ImageOutput::Finish names it). False
// once the image has failed.
bool WriteFileData(const Project& project, CompileState& state, int32_t fileIndex);

// Appends zero-data sectors until writeLba reaches `endLba`. False once the image has failed.
bool WriteFillerSectors(CompileState& state, int32_t endLba);

}  // namespace korvalin
