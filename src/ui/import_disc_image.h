// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File > "Import Disc Image...": dump a disc image into a folder the user
// picks, with the progress window, then open the project it wrote.

class QAction;
class QMenu;

namespace korvalin {

class CKorvalinApp;
class CMainFrame;

inline constexpr char DUMP_FOLDER_NOT_EMPTY_QUESTION[] =
    "The folder is not empty. Write the files and the project into it anyway?";

// Adds the action to `fileMenu` before `before`.
QAction* AddImportDiscImageAction(QMenu* fileMenu, QAction* before, CMainFrame& frame, CKorvalinApp& app);

}  // namespace korvalin
