// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Remove": entries and, for a directory, everything beneath it.

#include <cstdint>
#include <vector>

#include "model/edit_outcome.h"
#include "model/project.h"

namespace korvalin {

// Removes the entries named by `entryIds` (the item values of the selected
// rows, without row 0, the parent row). The root and ids that name no entry
// are skipped. Both tables are compacted in their order and every `parent`
// link follows its directory to its new number; `currentDir` follows its
// directory too, or becomes the root when that was removed.
//   EDIT_OK       something was removed; refresh the list and the tree
//   EDIT_NOTHING  nothing to remove
EditOutcome RemoveEntries(Project& project, const std::vector<int32_t>& entryIds);

}  // namespace korvalin
