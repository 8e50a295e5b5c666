// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/next_extent.h"

#include <algorithm>

#include "layout/recompute_layout.h"

namespace korvalin {

ExtentWriteOrder ExtentsInWriteOrder(const Project& project) {
    const ExtentTable& table = project.extentTable;
    ExtentWriteOrder order;
    for (size_t pos = 0; pos < table.size(); ++pos) {
        if (ExtentHoldsData(project, table[pos])) order.push_back(static_cast<int32_t>(pos));
    }
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        const int32_t firstA = table[static_cast<size_t>(a)].firstLba;
        const int32_t firstB = table[static_cast<size_t>(b)].firstLba;
        return firstA != firstB ? firstA < firstB : a > b;
    });
    return order;
}

int32_t NextExtentPosition(const Project& project, const ExtentWriteOrder& order, int32_t writeLba) {
    const auto next = std::partition_point(order.begin(), order.end(), [&](int32_t pos) {
        return project.extentTable[static_cast<size_t>(pos)].firstLba < writeLba;
    });
    return next == order.end() ? -1 : *next;
}

}  // namespace korvalin
