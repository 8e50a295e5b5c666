// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing the entry editor's result into the entry, by the command that
// opened the editor.

#include <cstdint>

#include "model/entry_editor.h"
#include "model/project.h"

namespace korvalin {

enum EditorCaller : int {
    EDITOR_FOR_EDIT_INFO = 0,          // takes the size
    EDITOR_FOR_NEW_SUB_DIRECTORY = 1,  // does not take the size
    EDITOR_FOR_NEW_DUMMY_FILE = 2,     // always pinned and a dummy; takes the size
};

// Date and time (the display hour removed), flags, record length from the
// name the editor wrote, the LBA when the flags pin it, the size where the
// caller takes it; `editedEntryId` returns to 0. The layout is left to the
// refresh that follows.
void ApplyEditorResult(Project& project, int32_t entryId, const EditorResult& result,
                       EditorCaller caller);

}  // namespace korvalin
