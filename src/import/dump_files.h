// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a dump's files and folders below one folder, never through a
// link and never outside it.

#include <cstdint>
#include <functional>
#include <string>

#include "import/dump_plan.h"

namespace korvalin {

// Called with the bytes extracted so far.
using ExtractProgress = std::function<void(int64_t done)>;

// Creates every directory of the plan below `filesFolder` and writes every
// file: Form 1 data cut to the recorded size, Form 2 files as 2336-byte
// sectors; dates as the project stores them. False with a message.
bool ExtractDumpFiles(DumpPlan& plan, const std::string& filesFolder, const ExtractProgress& progress,
                      std::string& message);

}  // namespace korvalin
