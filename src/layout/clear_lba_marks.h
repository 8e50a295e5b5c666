// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Reset LBA's" and "Remove Warnings": clear marks in every file and every
// directory except the root. The caller refreshes the views (and with them
// the layout) afterwards.

#include "model/project.h"

namespace korvalin {

// Clears FLAG_LBA_SET and FLAG_DISPLACED: every entry is placed anew.
void ResetLbas(Project& project);

// Clears FLAG_DISPLACED only; pins stay.
void RemoveWarnings(Project& project);

}  // namespace korvalin
