// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeps what a dumped disc recorded beyond what the project derives: the
// entries' exact dates, flags, CD-XA fields and larger directory extents,
// and the descriptor's texts and dates. Only what differs is kept, so a disc
// Korvalin wrote dumps into a project without any.

#include <cstdint>
#include <vector>

#include "import/dump_plan.h"

namespace korvalin {

// `projectDir` maps each tree directory to its DirTable index (-1: not
// held); the plan's files carry their FileTable indexes.
void KeepDiscMetadata(DumpPlan& plan, const std::vector<int32_t>& projectDir);

}  // namespace korvalin
