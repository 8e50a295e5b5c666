// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dragging a file onto another file: the two exchange their FileTable slots,
// and with them their order of layout and on the disc.

#include <cstdint>

#include "model/edit_outcome.h"
#include "model/project.h"

namespace korvalin {

//   EDIT_OK       swapped (a file dropped on itself changes nothing but
//                 still counts as done); refresh the list (not the tree)
//   EDIT_NOTHING  one of the ids is not a file
EditOutcome SwapFiles(Project& project, int32_t fileIdA, int32_t fileIdB);

}  // namespace korvalin
