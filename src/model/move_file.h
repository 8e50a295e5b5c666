// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moving a file into another directory by dragging it onto a folder, either
// a folder row of the file list or a folder of the directory tree. The file
// keeps its place in the file table.

#include <cstdint>

#include "model/edit_outcome.h"
#include "model/project.h"

namespace korvalin {

inline constexpr char MSG_LIST_NAME_CLASH[] =
    "the directory already has a file with the same name as%s ";
inline constexpr char MSG_TREE_NAME_CLASH[] =
    " Directory already has a file with the same name as:  %s ";

enum MoveSite : int {
    MOVE_ON_LIST_FOLDER = 0,  // clash: MSG_LIST_NAME_CLASH
    MOVE_ON_TREE_FOLDER = 1,  // clash: MSG_TREE_NAME_CLASH
};

// Moves file `fileId` (4096 + index) into directory `dirIndex`.
//   EDIT_OK         moved; refresh the list (not the tree)
//   EDIT_REFUSED    a file of that name is already there (the file itself
//                   too, when it lies there already); show `message`
//   EDIT_NOTHING    `fileId` is not a file or `dirIndex` not a directory
EditOutcome MoveFileToDirectory(Project& project, int32_t fileId, int32_t dirIndex, MoveSite site);

// A file row of the list dropped on the tree item whose value is `treeItem`.
EditOutcome DropOnTreeFolder(Project& project, int32_t draggedItem, int32_t treeItem);

}  // namespace korvalin
