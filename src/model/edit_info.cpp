// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/edit_info.h"

#include "model/apply_editor_result.h"

namespace korvalin {

EditOutcome EditInfo(Project& project, int32_t entryId, const EntryEditorRunner& runEditor) {
    if (entryId == 0 || !IsValidEntryId(project, entryId)) return Unchanged(EDIT_BAD_ENTRY);
    project.editedEntryId = entryId;
    EntryEditorState state = OpenEntryEditor(project, entryId);
    const bool ok = runEditor(project, state) && state.confirmed;
    if (ok) ApplyEditorResult(project, entryId, state.result, EDITOR_FOR_EDIT_INFO);
    project.editedEntryId = 0;
    if (!ok) return Unchanged(EDIT_CANCELLED);
    return Changed(REFRESH_LIST_AND_TREE);
}

}  // namespace korvalin
