// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace korvalin {

// Totals and first LBAs of the last layout run.
struct LayoutState {
    int32_t totalSectors = 0;
    int32_t pathTableBytes = 0;
    int32_t pathTableSectors = 0;
    int32_t registeredFileCount = 0;
    int32_t nextFreeLba = 0;
    int32_t firstFileLba = 0;
    int32_t firstSubdirLba = 0;
    int32_t lbaDisplaced = 0;
    bool operator==(const LayoutState&) const = default;
};

}  // namespace korvalin
