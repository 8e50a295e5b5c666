// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The IML file: the disc described as the image (its file-system sectors)
// plus the sector ranges that come from each source file, with fixed [SYS]
// and [CUE] blocks.

#include <cstdint>
#include <string>

#include "image/compile_state.h"
#include "image/text_output.h"
#include "model/project.h"

namespace korvalin {

constexpr char IML_END_TEXT[] = "[/LOC]\n\n";

// [SYS], [CUE], the [LOC] heading and the image's own line (sectors 0 to
// imageLastLba, named by its file name without folder).
std::string ImlHeaderText(const Project& project, const std::string& imageFileName,
                          int32_t imageLastLba);

// One [LOC] line: Start and End cut to 8 columns, the path in double quotes.
std::string ImlEntryLine(uint32_t start, uint32_t end, const std::string& path);

// Writes the sidecar while the image is still open: creates it, writes the
// heading and lists every file extent from writeLba on. On failure sets
// compileMessage and returns false.
bool WriteImlListing(const Project& project, CompileState& state, CrLfTextFile& iml);

// Ends the listing after the image was closed and sets compileMessage: the
// success text, or the write error naming the file (without its IML file
// the image is of no use).
void FinishImlListing(CompileState& state, CrLfTextFile& iml);

}  // namespace korvalin
