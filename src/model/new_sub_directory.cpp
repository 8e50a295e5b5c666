// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/new_sub_directory.h"

#include "layout/recompute_layout.h"
#include "model/apply_editor_result.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

DirEntry DefaultSubDirectory(const Project& project) {
    DirEntry dir;
    dir.SetName("PATH0000");
    dir.lba = project.layoutState.firstFileLba;
    dir.flags = 0;
    dir.parent = static_cast<uint32_t>(project.currentDir) + 1;
    dir.size = 2048;
    dir.recordLength = DirRecordLength(dir.nameLength);
    dir.dosDate = PackDosDate(project.volumeUtcTime);
    dir.dosTime = PackDosTime(project.volumeUtcTime);
    return dir;
}

}  // namespace

EditOutcome NewSubDirectory(Project& project, const EntryEditorRunner& runEditor) {
    if (project.dirCount() >= DIR_TABLE_SLOTS) {
        return Refused(
            FormatMessage(MSG_TOO_MANY_DIRECTORIES, static_cast<unsigned>(DIR_TABLE_SLOTS)));
    }
    const int32_t id = project.dirCount();
    project.dirTable.push_back(DefaultSubDirectory(project));
    project.editedEntryId = id;
    EntryEditorState state = OpenEntryEditor(project, id);
    const bool ok = runEditor(project, state) && state.confirmed;
    if (ok) {
        ApplyEditorResult(project, id, state.result, EDITOR_FOR_NEW_SUB_DIRECTORY);
    } else {
        project.dirTable.pop_back();
        RecomputeLayout(project);
    }
    project.editedEntryId = 0;
    if (!ok) return Unchanged(EDIT_CANCELLED);
    return Changed(REFRESH_LIST_AND_TREE);
}

}  // namespace korvalin
