// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files a compile writes, and whether writing them could destroy
// something the project needs: checked before any byte is written, by the
// command line and the desktop alike.

#include <string>
#include <vector>

#include "model/project.h"

namespace korvalin {

// The image, then its cue sheet or IML file when the variant writes one
// (see ChooseImageVariant), for the name the user chose.
std::vector<std::string> CompileOutputPaths(const std::string& chosenPath);

// Why a compile to `chosenPath` must not run, or "" when it may: an image
// name ending in ".cue" (its cue sheet would replace it) or ".krv"; an
// output that is the project file or a source file of the project (the same
// file by device and inode, whatever the name or link leads to it); an
// output that exists and is not a regular file. The text names the file.
std::string UnsafeCompileOutput(const Project& project, const std::string& projectPath,
                                const std::string& chosenPath);

// The outputs that exist already, which a compile would replace.
std::vector<std::string> ExistingCompileOutputs(const std::string& chosenPath);

}  // namespace korvalin
