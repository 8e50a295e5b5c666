// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The extension record of raw XA files: u32 count, then the entry id
// (4096 + FileTable index) of each marked file, in table order.

#include <optional>
#include <string>

#include "model/project.h"

namespace korvalin {

// None when no file is marked.
std::optional<ExtensionRecord> RawXaRecordOf(const Project& project);
// Marks the files the record names; false with `problem` set when it is damaged.
bool TakeRawXaRecord(const ExtensionRecord& record, Project& loaded, std::string& problem);

}  // namespace korvalin
