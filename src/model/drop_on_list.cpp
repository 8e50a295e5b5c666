// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/drop_on_list.h"

#include "model/move_file.h"
#include "model/swap_files.h"

namespace korvalin {

EditOutcome DropOnList(Project& project, int32_t draggedItem, int32_t targetItem) {
    if (IsDirId(draggedItem) || !IsValidEntryId(project, draggedItem)) {
        return Unchanged(EDIT_NOTHING);
    }
    if (IsDirId(targetItem)) {
        return MoveFileToDirectory(project, draggedItem, targetItem, MOVE_ON_LIST_FOLDER);
    }
    return SwapFiles(project, draggedItem, targetItem);
}

}  // namespace korvalin
