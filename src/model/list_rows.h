// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of the file list for one directory, as plain data: the desktop
// list view and `korvalin ls` both show these.

#include <cstdint>
#include <string>
#include <vector>

#include "model/project.h"

namespace korvalin {

// Images of the shared 16x16 strip.
enum ListIcon : int {
    ICON_DISC = 0,
    ICON_FOLDER = 1,
    ICON_FOLDER_OPEN = 2,
    ICON_FILE = 3,
    ICON_ELF = 4,
    ICON_CNF = 5,
    ICON_FOLDER_UP = 6,
    ICON_VOLUME_LABEL = 7,
    ICON_WARNING = 8,
    ICON_ERROR = 9,
    ICON_DUMMY = 10,
};

// The list's columns, rebuilt with these widths on every refresh.
struct ListColumn {
    const char* heading;
    bool rightAligned;
    int width;  // pixels
};
inline constexpr ListColumn LIST_COLUMNS[] = {
    {"Name  ", false, 200},     {"LBA", true, 80},  {"Filesize", true, 100},
    {"Date/Time ", false, 100}, {"Path", false, 4096},
};

struct ListRow {
    int32_t itemValue = 0;  // entry id
    int icon = ICON_FILE;
    std::string name;
    std::string lbaText;   // "%c %i": marker and LBA
    std::string sizeText;  // "%i"
    std::string dateText;  // "dd/mm/yy hh:mm", one hour after the stored UTC time
    std::string pathText;  // source path, or "'dummy'"
};

// The parent row first, then subdirectories, then files, in table order.
std::vector<ListRow> BuildListRows(const Project& project, int32_t dirIndex);

char LbaMarker(uint16_t flags);  // '*', 'W', '+' or ' '
std::string EntryDateText(uint16_t dosDate, uint16_t dosTime);
int FileIcon(const FileEntry& file);

}  // namespace korvalin
