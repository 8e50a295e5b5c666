// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// State the two views share while the program runs.

namespace korvalin {

struct ViewState {
    int listRefreshEnabled = 1;  // 0 while a refresh runs: nested refreshes are ignored
    int dragRow = -1;            // file row being dragged; -2 during the refresh after a drop
    int contextRow = -1;         // row under the cursor at the last right click
    int editInfoRequested = -1;  // 1 after "Edit Info" was chosen, 0 while Remove runs
    int treeSelectionSync = 1;   // 0: changes of the tree's selection are not passed on
};

}  // namespace korvalin
