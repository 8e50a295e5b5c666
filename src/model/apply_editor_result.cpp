// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/apply_editor_result.h"

namespace korvalin {

void ApplyEditorResult(Project& project, int32_t entryId, const EditorResult& result,
                       EditorCaller caller) {
    EntryRecord& entry = EntryById(project, entryId);

    uint16_t dosDate = PackDosDate(result.pickedDate);
    int32_t hour = result.pickedTime.hour - 1;
    if (result.pickedTime.hour == 0) {
        // The day number goes down; month and year are left as they are.
        hour = 23;
        dosDate = static_cast<uint16_t>(dosDate - 1);
    }
    CalendarTime stored = result.pickedTime;
    stored.hour = hour;
    const uint16_t dosTime = PackDosTime(stored);
    // An edited date replaces the exact one a dumped disc recorded for good.
    if (dosDate != entry.dosDate || dosTime != entry.dosTime) {
        entry.discFacts.date.reset();
        entry.discFacts.dosDate = entry.discFacts.dosTime = 0;
    }
    entry.dosDate = dosDate;
    entry.dosTime = dosTime;

    uint16_t flags = result.editedFlags;
    if (caller == EDITOR_FOR_NEW_DUMMY_FILE) {
        flags = static_cast<uint16_t>((flags & FLAG_SIZE_SET) | FLAG_DUMMY | FLAG_LBA_SET);
    }
    entry.flags = flags;
    entry.recordLength = IsDirId(entryId) ? DirRecordLength(entry.nameLength)
                                          : FileRecordLength(entry.nameLength);
    if ((flags & FLAG_LBA_SET) != 0) entry.lba = result.editedLba;
    if (caller != EDITOR_FOR_NEW_SUB_DIRECTORY) entry.size = result.editedSize;
    project.editedEntryId = 0;
}

}  // namespace korvalin
