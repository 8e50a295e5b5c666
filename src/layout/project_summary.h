// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "model/project.h"

namespace korvalin {

// The status bar's project line: playing time, raw size, sectors, counts,
// and the whole disc's time when it has audio tracks.
std::string ProjectSummary(const Project& project);

}  // namespace korvalin
