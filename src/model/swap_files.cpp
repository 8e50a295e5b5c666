// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/swap_files.h"

#include <utility>

namespace korvalin {

EditOutcome SwapFiles(Project& project, int32_t fileIdA, int32_t fileIdB) {
    for (int32_t id : {fileIdA, fileIdB}) {
        if (IsDirId(id) || !IsValidEntryId(project, id)) return Unchanged(EDIT_NOTHING);
    }
    std::swap(EntryById(project, fileIdA), EntryById(project, fileIdB));
    return Changed(REFRESH_LIST);
}

}  // namespace korvalin
