// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The raw XA mark on the command line: add --xa, the note add prints for a
// file that looks like raw XA, edit --xa / --no-xa.

#include <string>

#include "model/project.h"

namespace korvalin::cli {

// Marks the files from FileTable index `firstNew` on. False after printing
// the refusal of the first that cannot be marked.
bool MarkAddedFilesRawXa(Project& project, int32_t firstNew);

// A note on standard error for each file from `firstNew` on that looks like
// raw XA, suggesting the mark.
void NoteRawXaLookalikes(const Project& project, int32_t firstNew, const std::string& projectPath);

// Sets or clears the mark of entry `id`; false after printing the refusal.
bool SetRawXaMark(Project& project, int32_t id, bool rawXa, const std::string& discPath);

}  // namespace korvalin::cli
