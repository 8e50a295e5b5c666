// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/entry_editor.h"

#include <limits>

#include "model/disc_names.h"
#include "model/message_format.h"
#include "model/picker_date.h"

namespace korvalin {

uint32_t ReadEditorNumber(std::string_view text) {
    constexpr int64_t TOO_LARGE = int64_t{1} << 33;
    size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++pos;
    int64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > TOO_LARGE) value = TOO_LARGE;
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<uint32_t>::max()) {
        return std::numeric_limits<uint32_t>::max();
    }
    return static_cast<uint32_t>(value);
}

bool IsLegalEditorName(std::string_view name, bool isDirectory) {
    int dot = -1;  // position of the '.', -1 until one is seen
    for (int i = 0; i < static_cast<int>(name.size()); ++i) {
        const char c = name[static_cast<size_t>(i)];
        if (c == '.') {
            if (dot >= 0) return false;
            dot = i;
            continue;
        }
        const bool nameChar =
            (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!nameChar) return false;
        if (dot < 0) {
            if (i >= 8) return false;  // a base name has at most 8 characters
        } else if (isDirectory || dot == 0 || i - dot >= 4) {
            return false;  // no extension, no empty base, at most 3 after the dot
        }
    }
    return dot != static_cast<int>(name.size()) - 1;
}

std::string TypedUpperCase(std::string_view text) { return UpperCaseAscii(text); }

EntryEditorState OpenEntryEditor(const Project& project, int32_t entryId) {
    const EntryRecord& entry = EntryById(project, entryId);
    EntryEditorState state;
    state.entryId = entryId;
    state.kind = IsDirId(entryId) ? EDITOR_DIRECTORY
                                  : (entry.IsDummy() ? EDITOR_DUMMY_FILE : EDITOR_FILE);
    state.nameText = std::string(entry.Name());
    state.lbaText = FormatMessage("%i", entry.lba);
    state.sizeText = FormatMessage("%i", static_cast<int32_t>(entry.size));
    state.openedSizeText = state.sizeText;
    state.openedSize = entry.size;
    state.result.editedFlags = entry.flags;
    if ((entry.flags & (FLAG_LBA_SET | FLAG_DISPLACED)) != 0) ToggleSetLba(state);
    if (state.kind == EDITOR_DUMMY_FILE) {
        state.sizeControlsShown = true;
        state.title = EDITOR_TITLE_DUMMY_FILE;
        if ((entry.flags & FLAG_SIZE_SET) != 0) ToggleSetFilesize(state);
    } else {
        state.title = state.kind == EDITOR_DIRECTORY ? EDITOR_TITLE_DIRECTORY : EDITOR_TITLE_FILE;
    }
    // The carries of the display hour may leave a day that does not exist;
    // the pickers show the nearest real date.
    state.storedShown = AddDisplayHour(UnpackDos(entry.dosDate, entry.dosTime));
    state.date = state.openedDate = PickerDateOf(state.storedShown);
    state.time = state.openedTime = PickerTimeOf(state.storedShown);
    state.result.editedFlags &= static_cast<uint16_t>(~FLAG_DISPLACED);
    return state;
}

void ToggleSetLba(EntryEditorState& state) {
    state.setLba = !state.setLba;
    uint16_t& flags = state.result.editedFlags;
    flags = static_cast<uint16_t>(state.setLba ? (flags | FLAG_LBA_SET) : (flags & ~FLAG_LBA_SET));
}

bool ToggleSetFilesize(EntryEditorState& state) {
    if (!state.sizeControlsShown) return false;
    state.setFilesize = !state.setFilesize;
    uint16_t& flags = state.result.editedFlags;
    flags = static_cast<uint16_t>(state.setFilesize ? (flags | FLAG_SIZE_SET)
                                                     : (flags & ~FLAG_SIZE_SET));
    return true;
}

bool SetEditorDate(EntryEditorState& state, const CalendarTime& date) {
    if (!IsPickerDate(date)) return false;
    state.date = CalendarTime{date.year, date.month, date.day, 0, 0, 0};
    return true;
}

bool SetEditorTime(EntryEditorState& state, const CalendarTime& time) {
    if (!IsPickerTime(time)) return false;
    state.time = CalendarTime{0, 0, 0, time.hour, time.minute, time.second};
    return true;
}

namespace {

EditorCheck Failed(EditorCheckCode code, const char* message, EditorField focus) {
    return EditorCheck{code, message, focus};
}

bool LbaWithinBounds(const Project& project, const EntryEditorState& state, uint32_t lba) {
    if (lba > EDITOR_MAX_LBA) return false;
    const LayoutState& layout = project.layoutState;
    if (state.kind == EDITOR_DIRECTORY) return lba >= static_cast<uint32_t>(layout.firstSubdirLba);
    return lba >= static_cast<uint32_t>(layout.firstFileLba) ||
           (state.result.editedFlags & FLAG_DUMMY) != 0;
}

// Another entry of the same kind with this name in the directory the list shows.
bool IsDuplicateName(const Project& project, const EntryEditorState& state) {
    const uint32_t shownDir = static_cast<uint32_t>(project.currentDir) + 1;
    const bool isDir = state.kind == EDITOR_DIRECTORY;
    const auto& table = isDir ? project.dirTable : project.fileTable;
    const int32_t base = isDir ? 0 : FILE_ID_BASE;
    for (size_t i = 0; i < table.size(); ++i) {
        if (base + static_cast<int32_t>(i) == state.entryId) continue;
        const EntryRecord& other = table[i];
        if (other.parent == shownDir && other.nameLength == state.nameText.size() &&
            other.Name() == state.nameText) {
            return true;
        }
    }
    return false;
}

}  // namespace

EditorCheck ConfirmEntryEditor(Project& project, EntryEditorState& state) {
    state.confirmed = false;
    EditorResult& result = state.result;

    // A size the user did not edit is handed back exactly, also one that the
    // 9-digit field cannot show (a file of 1 GB or more keeps its size).
    if (state.sizeText == state.openedSizeText) {
        result.editedSize = state.openedSize;
    } else {
        const uint32_t size = ReadEditorNumber(state.sizeText);
        if (size > EDITOR_MAX_SIZE) {
            return Failed(EDITOR_SIZE_TOO_LARGE, MSG_FILESIZE_TOO_LARGE, EDITOR_FIELD_SIZE);
        }
        result.editedSize = size;
    }

    const uint32_t lba = ReadEditorNumber(state.lbaText);
    if (!LbaWithinBounds(project, state, lba)) {
        return Failed(EDITOR_LBA_NOT_VALID, MSG_LBA_NOT_VALID, EDITOR_FIELD_LBA);
    }
    result.editedLba = static_cast<int32_t>(lba);

    if (state.nameText.empty()) {
        return Failed(EDITOR_NAME_EMPTY, MSG_NAME_EMPTY, EDITOR_FIELD_NAME);
    }
    const bool isDir = state.kind == EDITOR_DIRECTORY;
    if (!IsLegalEditorName(state.nameText, isDir)) {
        return Failed(EDITOR_NAME_ILLEGAL, MSG_NAME_ILLEGAL, EDITOR_FIELD_NAME);
    }
    if (IsDuplicateName(project, state)) {
        return Failed(EDITOR_NAME_DUPLICATE, isDir ? MSG_DUPLICATE_DIRECTORY : MSG_DUPLICATE_FILE,
                      EDITOR_FIELD_NAME);
    }
    EntryById(project, state.entryId).SetName(state.nameText);

    // Pickers left as they opened hand back the stored date and time as they
    // were (the +1 hour undone again gives the same words, also for a day
    // that does not exist); a changed picker hands back what it shows.
    const bool untouched = state.date == state.openedDate && state.time == state.openedTime;
    result.pickedDate = untouched ? state.storedShown : state.date;
    result.pickedTime = untouched ? state.storedShown : state.time;
    state.confirmed = true;
    return EditorCheck{};
}

}  // namespace korvalin
