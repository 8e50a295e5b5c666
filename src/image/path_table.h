// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The L (little-endian) and M (big-endian) path tables.

#include <cstdint>

#include "image/sector_output.h"
#include "model/project.h"

namespace korvalin {

enum class ByteOrder { Little, Big };

// One copy of the path table at writeLba: every directory in table order,
// packed by the 2047-byte rule. 0 on success, 1 when a sector was written short.
int32_t WritePathTable(const Project& project, CompileState& state, SectorBuffer& sector,
                       ByteOrder order);

// Bytes of an identifier taken from an entry: its nameLength, kept within
// the name field so that a damaged record cannot reach past it.
uint32_t IdentifierLength(const EntryRecord& entry);

}  // namespace korvalin
