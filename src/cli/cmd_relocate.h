// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Source files that are not where the project says.

#include <ostream>

#include "model/project.h"

namespace korvalin::cli {

// One line per file whose source cannot be found; true when there was any.
bool ReportMissingSources(const Project& project, std::ostream& out);

}  // namespace korvalin::cli
