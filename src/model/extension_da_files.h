// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The extension records of DA files: one per file entry that names an
// audio track.

#include <cstdint>
#include <string>

#include "model/project.h"

namespace korvalin {

// Payload: u32 entry id (4096 + FileTable index), u32 track number (2-99).
ExtensionRecord DaFileRecord(int32_t fileIndex, int32_t track);
// Marks the entry the record names; false with `problem` set when the
// record is short, names no file entry or no possible track.
bool TakeDaFileRecord(const ExtensionRecord& record, uint32_t number, Project& loaded,
                      std::string& problem);

}  // namespace korvalin
