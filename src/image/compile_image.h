// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes the image of a laid-out project, and its cue sheet or IML file.

#include "image/compile_state.h"
#include "model/project.h"

namespace korvalin {

constexpr char COMPILE_SUCCESS_MESSAGE[] = "CD Image Created Sucessfully!  ";

// Compiles the project as its last layout placed it (the layout is not run
// again) into state.imagePath, reporting each sector through
// state.progressCallback. The variant follows the name's extension (see
// ChooseImageVariant). Ends with exactly one text in state.compileMessage:
// COMPILE_SUCCESS_MESSAGE or the first error met. Files already written are
// left as far as they got. Pads the volume label in the model with spaces.
// Expects a project that passed the pre-compile check.
void CompileImage(Project& project, CompileState& state);

}  // namespace korvalin
