// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/remove_entries.h"

#include <utility>

namespace korvalin {

namespace {

// A `parent` of 0 marks an entry to go; no project ever stores it.
constexpr uint32_t MARK = 0;
constexpr int ANCESTOR_STEPS = 10;

bool IsMarked(const EntryRecord& entry) { return entry.parent == MARK; }

// Marks a directory when it or one of its nine nearest ancestors is marked.
bool MarkedAbove(const DirTable& dirs, uint32_t parent) {
    for (int step = 0; step < ANCESTOR_STEPS; ++step) {
        if (parent == MARK) return true;
        if (parent > dirs.size()) return false;
        parent = dirs[parent - 1].parent;
    }
    return false;
}

// One pass in table order marks every directory below a marked one that
// comes after its parent in the table. A directory listed before a marked
// ancestor more than nine levels up is caught by a further pass, so nothing
// is ever left behind with a link to a removed directory.
void MarkSubdirectories(DirTable& dirs) {
    bool marked = true;
    while (marked) {
        marked = false;
        for (size_t d = 1; d < dirs.size(); ++d) {
            if (!IsMarked(dirs[d]) && MarkedAbove(dirs, dirs[d].parent)) {
                dirs[d].parent = MARK;
                marked = true;
            }
        }
    }
}

void MarkFilesOfMarkedDirectories(Project& project) {
    for (FileEntry& file : project.fileTable) {
        const uint32_t dir = file.parent;
        if (dir != MARK && dir <= project.dirTable.size() && IsMarked(project.dirTable[dir - 1])) {
            file.parent = MARK;
        }
    }
}

bool Mark(Project& project, int32_t id) {
    if (id == 0 || !IsValidEntryId(project, id)) return false;
    EntryById(project, id).parent = MARK;
    if (IsDirId(id)) {
        MarkSubdirectories(project.dirTable);
        MarkFilesOfMarkedDirectories(project);
    }
    return true;
}

// Closes the gaps of the marked files; the others keep their order.
void CompactFiles(FileTable& files) {
    std::erase_if(files, IsMarked);
}

// Closes the gaps of the marked directories, then renumbers every link to a
// directory that moved down. Only marked entries link to marked directories.
void CompactDirectories(Project& project) {
    DirTable& dirs = project.dirTable;
    std::vector<int32_t> newIndex(dirs.size(), -1);
    int32_t kept = 0;
    for (size_t d = 0; d < dirs.size(); ++d) {
        if (d == 0 || !IsMarked(dirs[d])) newIndex[d] = kept++;
    }
    auto renumber = [&](EntryRecord& entry) {
        const uint32_t n = entry.parent;
        if (n != MARK && n <= newIndex.size() && newIndex[n - 1] >= 0) {
            entry.parent = static_cast<uint32_t>(newIndex[n - 1]) + 1;
        }
    };
    for (DirEntry& dir : dirs) renumber(dir);
    for (FileEntry& file : project.fileTable) renumber(file);
    const int32_t current = project.currentDir;
    const bool currentKept = current >= 0 && static_cast<size_t>(current) < newIndex.size() &&
                             newIndex[static_cast<size_t>(current)] >= 0;
    project.currentDir = currentKept ? newIndex[static_cast<size_t>(current)] : 0;
    DirTable compacted;
    compacted.reserve(static_cast<size_t>(kept));
    for (size_t d = 0; d < dirs.size(); ++d) {
        if (newIndex[d] >= 0) compacted.push_back(std::move(dirs[d]));
    }
    dirs = std::move(compacted);
}

}  // namespace

EditOutcome RemoveEntries(Project& project, const std::vector<int32_t>& entryIds) {
    bool any = false;
    for (int32_t id : entryIds) any = Mark(project, id) || any;
    if (!any) return Unchanged(EDIT_NOTHING);
    CompactFiles(project.fileTable);
    CompactDirectories(project);
    return Changed(REFRESH_LIST_AND_TREE);
}

}  // namespace korvalin
