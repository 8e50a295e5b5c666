// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Scripted users for the entry editor: fill the fields, press OK or Cancel.

#include <functional>
#include <string>

#include "model/entry_editor.h"

namespace korvalin::test {

// Fills the fields, presses OK once; a refused OK is kept in `*refusal`
// and the run ends as Cancel.
inline EntryEditorRunner PressOk(std::function<void(EntryEditorState&)> fill,
                                 EditorCheck* refusal = nullptr) {
    return [fill, refusal](Project& project, EntryEditorState& state) {
        if (fill) fill(state);
        const EditorCheck check = ConfirmEntryEditor(project, state);
        if (refusal != nullptr) *refusal = check;
        return check.code == EDITOR_OK;
    };
}

inline EntryEditorRunner PressCancel() {
    return [](Project&, EntryEditorState&) { return false; };
}

}  // namespace korvalin::test
