// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The layout takes a pinned empty file's range to end one sector before it
// starts; registered before the file that holds that sector, it would
// displace that file. Table order only decides the order of records within
// each directory, so such an empty file can move after the files it
// touches while every directory keeps its own order.

#include <cstdint>
#include <vector>

#include "model/project.h"

namespace korvalin {

// Reorders `files` so; where a directory's own order forbids it, the empty
// file becomes a dummy (FLAG_SIZE_SET, size 0). Returns each old index's new one.
std::vector<int32_t> OrderEmptyFilesAfterWhatTheyTouch(FileTable& files);

}  // namespace korvalin
