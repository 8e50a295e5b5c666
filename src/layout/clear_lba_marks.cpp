// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/clear_lba_marks.h"

namespace korvalin {

namespace {
void ClearFlags(Project& project, uint16_t mask) {
    // The root's flags are never touched.
    for (size_t d = 1; d < project.dirTable.size(); ++d) project.dirTable[d].flags &= ~mask;
    for (FileEntry& file : project.fileTable) file.flags &= ~mask;
}
}  // namespace

void ResetLbas(Project& project) { ClearFlags(project, FLAG_LBA_SET | FLAG_DISPLACED); }

void RemoveWarnings(Project& project) { ClearFlags(project, FLAG_DISPLACED); }

}  // namespace korvalin
