// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The end of a drag of a file row onto another row of the file list.

#include <cstdint>

#include "model/edit_outcome.h"
#include "model/project.h"

namespace korvalin {

// `draggedItem` and `targetItem` are the two rows' item values (entry ids).
// A file dropped on a folder row moves into it (MoveFileToDirectory with the
// list's clash message); a file dropped on a file row swaps with it
// (SwapFiles); anything else is EDIT_NOTHING.
EditOutcome DropOnList(Project& project, int32_t draggedItem, int32_t targetItem);

}  // namespace korvalin
