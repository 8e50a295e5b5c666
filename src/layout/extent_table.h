// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace korvalin {

constexpr int32_t EXTENT_PINNED_DIR = 0;
constexpr int32_t EXTENT_PINNED_FILE = 1;
constexpr int32_t EXTENT_PLACED_DIR = 2;
constexpr int32_t EXTENT_PLACED_FILE = 3;

// An occupied sector range, inclusive at both ends.
struct Extent {
    int32_t entryId = -1;
    int32_t firstLba = 0;
    int32_t lastLba = 0;
    int32_t kind = 0;
    bool operator==(const Extent&) const = default;
};

// In the order the layout entered the ranges, not sorted by LBA. The vector's
// end is the end of the table; it holds as many entries as the tree needs.
using ExtentTable = std::vector<Extent>;

}  // namespace korvalin
