// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's commands: the resource identifiers the menus, the toolbar
// and the accelerators share, with their menu texts and prompts.

namespace korvalin {

enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_MRU_FIRST = 57616,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_COMPILE_IMAGE = 32773,
    ID_CREATE_DIRECTORY = 32777,
    ID_REMOVE = 32779,
    ID_EDIT_INFO = 32780,
    ID_CREATE_DUMMY_FILE = 32781,
    ID_EDIT_VOLUME_LABEL = 32782,
    ID_IMPORT_ISOBUSTER = 32786,
    ID_REMOVE_WARNINGS = 32787,
    ID_RESET_LBAS = 32788,
    ID_ADD_FILES = 32810,
    ID_ADD_FOLDER = 32811,
    ID_VERIFY_IMAGE = 32812,
    ID_EXPORT_LISTING = 32800,
    ID_SYSTEM_AREA = 32790,
    ID_AUDIO_TRACKS = 32813,
    ID_NEW_DA_FILE = 32814,
    ID_VOLUME_TEXTS = 32815,
    ID_SYNC_TO_DISK = 32816,
};

struct CommandText {
    CommandId id;
    const char* menuText;  // with its '&' mnemonic and, for some, a "\t" key text
    const char* prompt;    // status bar line; empty when there is none
    const char* tooltip;   // toolbar tooltip; empty when there is none
};

// Every command of the menus, the list's context menu and the accelerators.
const CommandText& CommandTextOf(CommandId id);

}  // namespace korvalin
