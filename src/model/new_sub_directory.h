// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// New Sub Directory: an empty directory in `currentDir`, named in the editor.

#include "model/edit_outcome.h"
#include "model/entry_editor.h"
#include "model/project.h"

namespace korvalin {

inline constexpr char MSG_TOO_MANY_DIRECTORIES[] = "Too many directories(more than %u)";

// Appends the directory with its defaults (PATH0000, at `firstFileLba` of
// the last layout), runs the editor on it and keeps it on OK.
//   EDIT_OK         created; refresh the list and the tree
//   EDIT_CANCELLED  the new directory was removed again and the layout rerun
//   EDIT_REFUSED    the table is full; show `message`
// The depth of `currentDir` is not tested.
EditOutcome NewSubDirectory(Project& project, const EntryEditorRunner& runEditor);

}  // namespace korvalin
