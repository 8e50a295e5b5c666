// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/list_rows.h"

#include "model/calendar_time.h"
#include "model/message_format.h"

namespace korvalin {

char LbaMarker(uint16_t flags) {
    int marker = 0;
    if ((flags & (FLAG_LBA_SET | FLAG_DISPLACED | FLAG_DUMMY)) == FLAG_LBA_SET) marker += '*';
    if ((flags & FLAG_DISPLACED) != 0) marker += 'W';
    if ((flags & FLAG_DUMMY) != 0) marker += '+';
    return marker == 0 ? ' ' : static_cast<char>(marker);
}

std::string EntryDateText(uint16_t dosDate, uint16_t dosTime) {
    const CalendarTime t = AddDisplayHour(UnpackDos(dosDate, dosTime));
    return FormatMessage("%2.2u/%2.2u/%2.2u %2.2u:%2.2u", static_cast<unsigned>(t.day),
                         static_cast<unsigned>(t.month), static_cast<unsigned>(t.year % 100),
                         static_cast<unsigned>(t.hour), static_cast<unsigned>(t.minute));
}

int FileIcon(const FileEntry& file) {
    if (file.IsDummy()) return ICON_DUMMY;
    const std::string_view name = file.Name();  // bytes after the NUL mean nothing
    size_t dot = name.substr(0, 12).find('.');
    if (dot == std::string_view::npos) dot = 0;
    const std::string_view ext = name.substr(dot, 4);
    if (ext == ".ELF") return ICON_ELF;
    if (ext == ".CNF") return ICON_CNF;
    return ICON_FILE;
}

namespace {

ListRow EntryRow(const EntryRecord& entry, int32_t id, int icon) {
    ListRow row;
    row.itemValue = id;
    row.icon = icon;
    row.name = std::string(entry.Name());
    row.lbaText = FormatMessage("%c %i", LbaMarker(entry.flags), entry.lba);
    row.sizeText = FormatMessage("%i", static_cast<int32_t>(entry.size));
    row.dateText = EntryDateText(entry.dosDate, entry.dosTime);
    return row;
}

}  // namespace

std::vector<ListRow> BuildListRows(const Project& project, int32_t dirIndex) {
    std::vector<ListRow> rows;
    const uint32_t dirNumber = static_cast<uint32_t>(dirIndex) + 1;
    ListRow parentRow;
    if (dirIndex != 0) {
        const int32_t parentIndex = static_cast<int32_t>(project.dirTable[dirIndex].parent) - 1;
        parentRow.itemValue = parentIndex;
        parentRow.icon = ICON_FOLDER_UP;
        parentRow.name = "..";
        if (parentIndex >= 0 && parentIndex < project.dirCount()) {
            parentRow.lbaText = FormatMessage("%i", project.dirTable[parentIndex].lba);
        }
    } else {
        parentRow.itemValue = 0;
        parentRow.icon = ICON_VOLUME_LABEL;
        parentRow.name = std::string(project.volumeInfo.Label());
        parentRow.lbaText = FormatMessage("%i", project.dirTable[0].lba);
    }
    rows.push_back(parentRow);
    for (int32_t d = 1; d < project.dirCount(); ++d) {
        if (project.dirTable[d].parent == dirNumber) {
            rows.push_back(EntryRow(project.dirTable[d], d, ICON_FOLDER));
        }
    }
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        const FileEntry& file = project.fileTable[f];
        if (file.parent != dirNumber) continue;
        ListRow row = EntryRow(file, FileId(f), FileIcon(file));
        row.pathText = file.sourcePath ? *file.sourcePath : "'dummy'";
        rows.push_back(row);
    }
    return rows;
}

}  // namespace korvalin
