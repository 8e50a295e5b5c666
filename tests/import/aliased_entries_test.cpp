// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/aliased_entries.h"

#include <gtest/gtest.h>

namespace korvalin {
namespace {

struct AliasCase {
    const char* what;
    std::vector<ListedRange> entries;
    std::vector<int> owners;
};

TEST(AliasedEntries, TheEntryHoldingTheDataOwnsEveryAliasOfIt) {
    const AliasCase cases[] = {
        {"apart and touching", {{30, 4096}, {32, 1}, {33, 0}}, {-1, -1, -1}},
        {"shared LBA: largest keeps it", {{30, 100}, {30, 5000}, {30, 0}}, {1, -1, 1}},
        {"equal sizes: earlier keeps it", {{30, 100}, {30, 100}}, {-1, 0}},
        {"empty listed first", {{25, 0}, {25, 5000}}, {1, -1}},
        {"two empties", {{25, 0}, {25, 0}}, {-1, 0}},
        {"nested, and nested in a nested one",
         {{40, 3 * 2048}, {40, 10 * 2048}, {45, 2048}, {41, 1}, {49, 2048}},
         {1, -1, 1, 1, 1}},
        {"empty inside a range, empty just past it", {{50, 4096}, {51, 0}, {52, 0}}, {-1, 0, -1}},
        {"partial overlap is no alias", {{60, 3 * 2048}, {62, 3 * 2048}, {63, 2048}}, {-1, -1, 1}},
        {"alias of an alias at the same LBA", {{70, 8192}, {71, 10}, {71, 5}}, {-1, 0, 0}},
    };
    for (const AliasCase& c : cases) {
        EXPECT_EQ(AliasOwners(c.entries), c.owners) << c.what;
    }
}

}  // namespace
}  // namespace korvalin
