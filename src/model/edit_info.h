// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Edit Info": the entry editor on an existing directory, file or dummy file.

#include <cstdint>

#include "model/edit_outcome.h"
#include "model/entry_editor.h"
#include "model/project.h"

namespace korvalin {

// Opens the editor on `entryId` (any entry but the root), runs it through
// `runEditor` and applies the result on OK.
//   EDIT_OK         changed; refresh the list and the tree
//   EDIT_CANCELLED  nothing changed
//   EDIT_BAD_ENTRY  no such entry, or the root
// The duplicate-name test compares with the entries of `currentDir`, the
// directory that the list shows.
EditOutcome EditInfo(Project& project, int32_t entryId, const EntryEditorRunner& runEditor);

}  // namespace korvalin
