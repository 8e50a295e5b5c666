// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Compile PS/PS2 CD Image" command: the displaced warning, the
// pre-compile check, the save dialog and the compile, on the layout of the
// last refresh (it is not run again).

#include <cstdint>
#include <string>

#include "image/compile_state.h"
#include "model/project.h"
#include "model/user_prompt.h"

namespace korvalin {

constexpr char DISPLACED_WARNING[] =
    "ATTENTION: some LBA settings have been displaced   ¿Contintue with construction? ";
constexpr char IMAGE_FILE_FILTER[] =
    "BIN Files (*.bin)|*.bin|ISO Files (*.iso)|*.iso|IML Files (*.iml)|*.iml||";
constexpr char IMAGE_DEFAULT_NAME[] = "image";
constexpr char IMAGE_DEFAULT_EXTENSION[] = "bin";

// How the command ended.
constexpr int32_t COMPILE_COMMAND_RAN = 0;            // the compile ran; see compileMessage
constexpr int32_t COMPILE_COMMAND_CHECK_FAILED = 1;   // a check message was shown
constexpr int32_t COMPILE_COMMAND_CANCELLED = 2;      // warning or save dialog cancelled

struct CompileCommandResult {
    int32_t code = COMPILE_COMMAND_CANCELLED;
    std::string imagePath;       // as the compile used it (".ims" for the IML variant)
    std::string compileMessage;  // the compile's result text, when it ran
};

// Asks OK/Cancel when the last layout displaced pins, shows each check
// message, asks for the image name, then compiles with `progress` called
// with each sector's LBA (its range is 0 to layoutState.totalSectors) and
// shows the compile's result text. Nothing is compiled after a check
// message or a Cancel. A warning of the check (an image longer than a CD)
// is shown and the command goes on. With `syncToDisk` the result comes once
// the outputs are on the disk (CompileState::syncToDisk).
CompileCommandResult RunCompileCommand(Project& project, UserPrompt& prompt,
                                       const ProgressCallback& progress, bool syncToDisk = false);

}  // namespace korvalin
