// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which entries of a listing or of a dumped disc only alias data that another
// entry holds, so that a rebuild keeps every name without losing any bytes.

#include <cstdint>
#include <vector>

namespace korvalin {

// One listed or dumped entry's data: first LBA and size in bytes (>= 0).
struct ListedRange { int64_t lba = 0; int64_t size = 0; };

// For each entry, true when it must become a dummy that keeps its own size
// (FLAG_SIZE_SET) because another entry holds its data: it shares its first
// LBA with a larger entry (on equal sizes the earlier one keeps the data), or
// its sectors lie wholly inside another entry's range. Empty entries (0 bytes)
// that share an LBA with, or lie inside, a non-empty entry are aliases too.
std::vector<bool> AliasedEntries(const std::vector<ListedRange>& entries);

// For each aliased entry, the index of the entry that holds its data (-1 for others).
std::vector<int> AliasOwners(const std::vector<ListedRange>& entries);

}  // namespace korvalin
