// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// New Dummy File: a file entry without data in `currentDir`, pinned to an
// LBA, named and sized in the editor.

#include "model/edit_outcome.h"
#include "model/entry_editor.h"
#include "model/project.h"

namespace korvalin {

inline constexpr char MSG_TOO_MANY_FILES[] = " Too many files!(more than  %u)";

// Appends the dummy with its defaults (FILE0000, pinned at `nextFreeLba` of
// the last layout, size 0), runs the editor on it and keeps it on OK.
//   EDIT_OK         created; refresh the list and the tree
//   EDIT_CANCELLED  the new dummy was removed again (no layout run)
//   EDIT_REFUSED    the table is full; show `message`
EditOutcome NewDummyFile(Project& project, const EntryEditorRunner& runEditor);

}  // namespace korvalin
