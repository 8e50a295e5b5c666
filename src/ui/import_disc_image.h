#pragma once
// File > "Import Disc Image...": dump a disc image into a folder the user
// picks, with the progress window, then open the project it wrote.

class QAction;
class QMenu;

namespace korvalin {

class CKorvalinApp;
class CMainFrame;

// Adds the action to `fileMenu` before `before`.
QAction* AddImportDiscImageAction(QMenu* fileMenu, QAction* before, CMainFrame& frame, CKorvalinApp& app);

}  // namespace korvalin
