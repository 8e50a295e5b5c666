// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/move_file.h"

#include <algorithm>
#include <cstring>

#include "model/message_format.h"

namespace korvalin {

namespace {

bool IsFileId(const Project& project, int32_t id) {
    return !IsDirId(id) && IsValidEntryId(project, id);
}

// Same length and the same first `nameLength` name bytes.
bool SameName(const FileEntry& a, const FileEntry& b) {
    if (a.nameLength != b.nameLength) return false;
    const size_t n = std::min<size_t>(a.nameLength, NAME_FIELD_SIZE);
    return std::memcmp(a.name.data(), b.name.data(), n) == 0;
}

}  // namespace

EditOutcome MoveFileToDirectory(Project& project, int32_t fileId, int32_t dirIndex,
                                MoveSite site) {
    if (!IsFileId(project, fileId) || dirIndex < 0 || !IsDirId(dirIndex) ||
        !IsValidEntryId(project, dirIndex)) {
        return Unchanged(EDIT_NOTHING);
    }
    FileEntry& file = EntryById(project, fileId);
    const uint32_t target = static_cast<uint32_t>(dirIndex) + 1;
    for (const FileEntry& other : project.fileTable) {
        if (other.parent == target && SameName(other, file)) {
            const char* format = site == MOVE_ON_TREE_FOLDER ? MSG_TREE_NAME_CLASH
                                                             : MSG_LIST_NAME_CLASH;
            return Refused(FormatMessage(format, std::string(file.Name()).c_str()));
        }
    }
    file.parent = target;
    return Changed(REFRESH_LIST);
}

EditOutcome DropOnTreeFolder(Project& project, int32_t draggedItem, int32_t treeItem) {
    return MoveFileToDirectory(project, draggedItem, treeItem, MOVE_ON_TREE_FOLDER);
}

}  // namespace korvalin
