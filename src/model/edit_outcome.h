// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an editing operation hands back to the front end: a result code, the
// message to show (letter for letter; empty when there is none) and how the
// views must be refreshed. Refreshing is the front end's job: the desktop's
// RefreshFileList, which also runs RecomputeLayout; the command line runs
// RecomputeLayout before saving.

#include <string>
#include <utility>

namespace korvalin {

enum EditCode : int {
    EDIT_OK = 0,         // the project changed
    EDIT_CANCELLED = 1,  // the user cancelled the editor; nothing changed
    EDIT_REFUSED = 2,    // nothing changed; `message` says why (show it in a message box)
    EDIT_NOTHING = 3,    // the request asks for nothing (a drop on an unsuitable row)
    EDIT_BAD_ENTRY = 4,  // an entry id that the operation does not take (no message)
};

enum RefreshKind : int {
    REFRESH_NONE = 0,
    REFRESH_LIST = 1,           // RefreshFileList(0)
    REFRESH_LIST_AND_TREE = 2,  // RefreshFileList(1)
};

struct EditOutcome {
    int code = EDIT_OK;
    std::string message;
    int refresh = REFRESH_NONE;
};

inline EditOutcome Unchanged(EditCode code) { return EditOutcome{code, std::string(), REFRESH_NONE}; }
inline EditOutcome Refused(std::string message) {
    return EditOutcome{EDIT_REFUSED, std::move(message), REFRESH_NONE};
}
inline EditOutcome Changed(RefreshKind refresh) {
    return EditOutcome{EDIT_OK, std::string(), refresh};
}

}  // namespace korvalin
