// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files of a dumped disc whose sectors overlap without one lying inside the
// other (a dummy of this program reaching past the file it starts in, or a
// damaged disc): the layout would move one of them off its place.

#include <cstdint>
#include <vector>

#include "model/project.h"

namespace korvalin {

// The FileTable indices of pinned, non-dummy files to keep as dummies so
// that no two of the rest share a sector: again and again the file that
// overlaps the most others (then the smaller, then the later) is taken.
std::vector<int32_t> FilesToKeepAsDummies(const FileTable& files);

}  // namespace korvalin
