// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/new_dummy_file.h"

#include "model/apply_editor_result.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

FileEntry DefaultDummyFile(const Project& project) {
    FileEntry file;
    file.SetName("FILE0000");
    file.lba = project.layoutState.nextFreeLba;
    file.flags = FLAG_DUMMY | FLAG_LBA_SET;
    file.parent = static_cast<uint32_t>(project.currentDir) + 1;
    file.size = 0;
    file.recordLength = FileRecordLength(file.nameLength);
    file.dosDate = PackDosDate(project.volumeUtcTime);
    file.dosTime = PackDosTime(project.volumeUtcTime);
    return file;
}

}  // namespace

EditOutcome NewDummyFile(Project& project, const EntryEditorRunner& runEditor) {
    if (project.fileCount() >= FILE_TABLE_SLOTS) {
        return Refused(
            FormatMessage(MSG_TOO_MANY_FILES, static_cast<unsigned>(FILE_TABLE_SLOTS)));
    }
    const int32_t id = FileId(project.fileCount());
    project.fileTable.push_back(DefaultDummyFile(project));
    project.editedEntryId = id;
    EntryEditorState state = OpenEntryEditor(project, id);
    const bool ok = runEditor(project, state) && state.confirmed;
    if (ok) {
        ApplyEditorResult(project, id, state.result, EDITOR_FOR_NEW_DUMMY_FILE);
    } else {
        project.fileTable.pop_back();
    }
    project.editedEntryId = 0;
    if (!ok) return Unchanged(EDIT_CANCELLED);
    return Changed(REFRESH_LIST_AND_TREE);
}

}  // namespace korvalin
