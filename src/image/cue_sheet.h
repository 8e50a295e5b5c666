// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cue sheet beside a raw image: one Mode 2 data track from its first
// sector, then the project's audio tracks, if any.

#include <string>

#include "image/compile_state.h"
#include "model/project.h"

namespace korvalin {

// The sheet's text for an image file named `imageFileName` (no folder).
std::string CueSheetText(const std::string& imageFileName);

// Writes the sheet to outputSidecarPath and sets compileMessage: the success
// text, or the error naming the file when it cannot be created or written
// completely (a full disk).
void WriteCueSheet(const Project& project, CompileState& state);

}  // namespace korvalin
