// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/project.h"

namespace korvalin {

// Levels between directory number `dirNumber` and the root: 1 for the root
// and its children, up to 8; a longer (or broken) chain gives 9.
int32_t DirDepth(const Project& project, uint32_t dirNumber);

// "\DIR\SUB\NAME" for `name` inside directory number `dirNumber`, as the
// error logs print it: at most 8 directories of the chain, 13 name bytes.
std::string DiscPathOf(const Project& project, std::string_view name, uint32_t dirNumber);

// The entry's own full disc path ("\" for the root).
std::string DiscPathOfEntry(const Project& project, int32_t entryId);

}  // namespace korvalin
