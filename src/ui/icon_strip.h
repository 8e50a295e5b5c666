// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's images: the strip of eleven 16x16 images shared by the file
// list, the directory tree and the error log, the toolbar images, the
// program icon and the drag cursor. They are drawn by tools/draw_icons.cpp.

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace korvalin {

constexpr int STRIP_IMAGE_COUNT = 11;
constexpr int STRIP_IMAGE_SIZE = 16;

// Toolbar images, in toolbar order.
enum ToolbarImage : int {
    TOOLBAR_NEW = 0,
    TOOLBAR_OPEN = 1,
    TOOLBAR_SAVE = 2,
    TOOLBAR_COMPILE = 3,
    TOOLBAR_VOLUME_LABEL = 4,
    TOOLBAR_CREATE_DIRECTORY = 5,
    TOOLBAR_CREATE_DUMMY_FILE = 6,
    TOOLBAR_ADD_FILES = 7,
    TOOLBAR_ADD_FOLDER = 8,
};

QPixmap StripPixmap(int index);
// The same image whether the item is selected or not.
QIcon StripIcon(int index);
// A tree folder: closed, and open while its item is selected.
QIcon FolderIcon();
QIcon ToolbarIcon(ToolbarImage image);
QIcon ProgramIcon();
QCursor DragCursor();

}  // namespace korvalin
