#pragma once
// The order in which the compile meets the layout's extents.

#include <cstdint>

#include "model/project.h"

namespace korvalin {

// Position in the ExtentTable of the extent to write next: the smallest
// firstLba not below `writeLba`, the later table entry on ties. Extents of
// files without data (size 0, or one that reads as negative) are passed
// over: they write nothing, and the sector of their window is filler unless
// another extent holds it. -1 when none is left.
int32_t NextExtentPosition(const Project& project, int32_t writeLba);

}  // namespace korvalin
