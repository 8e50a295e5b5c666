// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The order in which the compile meets the layout's extents.

#include <cstdint>
#include <vector>

#include "model/project.h"

namespace korvalin {

// Positions in the ExtentTable of the extents that write data, by firstLba,
// the later table entry first where two start on one LBA. Extents of files
// without data (size 0, or one that reads as negative) are left out: they
// write nothing, and the sector of their window is filler unless another
// extent holds it.
using ExtentWriteOrder = std::vector<int32_t>;
ExtentWriteOrder ExtentsInWriteOrder(const Project& project);

// Position of the extent to write next: the first in `order` whose firstLba
// is not below `writeLba`; -1 when none is left. O(log n).
int32_t NextExtentPosition(const Project& project, const ExtentWriteOrder& order, int32_t writeLba);

}  // namespace korvalin
