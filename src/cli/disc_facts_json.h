// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `ls --json`: what a dumped disc recorded beyond the derived values.

#include "cli/json_output.h"
#include "model/project.h"

namespace korvalin::cli {

// The entry's kept facts as {"date", "dateInUse", "flags", "xa": {...},
// "extentSize", "selfDate", "parentDate"}, each only when kept.
Json DiscFactsJson(const EntryRecord& entry, bool isRoot, const Project& project);

// The kept descriptor fields by name: texts as recorded (trailing blanks
// dropped), dates as ISO dates with hundredths and offset.
Json VolumeTextsJson(const VolumeTexts& texts);

}  // namespace korvalin::cli
