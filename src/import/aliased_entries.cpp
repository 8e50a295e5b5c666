// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/aliased_entries.h"

#include <algorithm>
#include <numeric>

namespace korvalin {
namespace {

constexpr int64_t SECTOR_BYTES = 2048;

int64_t SizeOf(const ListedRange& r) {
    return std::max<int64_t>(r.size, 0);
}

// The last sector the entry's data covers; one before its LBA when it is empty.
int64_t LastSector(const ListedRange& r) {
    return r.lba + (SizeOf(r) + SECTOR_BYTES - 1) / SECTOR_BYTES - 1;
}

}  // namespace

std::vector<int> AliasOwners(const std::vector<ListedRange>& entries) {
    // In order of LBA, and at one LBA the entry that keeps the data first
    // (largest, then earliest): every entry that could hold an entry's data
    // then comes before it, and the one reaching furthest is never an alias.
    std::vector<int> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const ListedRange& x = entries[a];
        const ListedRange& y = entries[b];
        if (x.lba != y.lba) return x.lba < y.lba;
        if (SizeOf(x) != SizeOf(y)) return SizeOf(x) > SizeOf(y);
        return a < b;
    });

    std::vector<int> owners(entries.size(), -1);
    int furthest = -1;   // the entry reaching the furthest sector so far
    int groupHead = -1;  // the first entry at the current LBA
    for (int i : order) {
        const ListedRange& e = entries[i];
        const bool sameLba = groupHead >= 0 && entries[groupHead].lba == e.lba;
        if (sameLba) {
            owners[i] = owners[groupHead] >= 0 ? owners[groupHead] : groupHead;
            continue;  // reaches no further than its group's head
        }
        groupHead = i;
        // An empty entry is inside a range that covers its LBA; a non-empty
        // one inside a range that reaches at least its last sector.
        const int64_t needed = SizeOf(e) == 0 ? e.lba : LastSector(e);
        if (furthest >= 0 && LastSector(entries[furthest]) >= needed) {
            owners[i] = furthest;
        } else if (furthest < 0 || LastSector(e) > LastSector(entries[furthest])) {
            furthest = i;
        }
    }
    return owners;
}

std::vector<bool> AliasedEntries(const std::vector<ListedRange>& entries) {
    const std::vector<int> owners = AliasOwners(entries);
    std::vector<bool> aliased(owners.size());
    for (size_t i = 0; i < owners.size(); ++i) aliased[i] = owners[i] >= 0;
    return aliased;
}

}  // namespace korvalin
