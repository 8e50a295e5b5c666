// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The entry editor's logic, without its window. A dialog (or the command
// line, or a test) drives one EntryEditorState:
//   1. OpenEntryEditor(project, id) fills the controls' opening values;
//   2. the user's changes go into nameText, lbaText and sizeText, the check
//      boxes through ToggleSetLba / ToggleSetFilesize, the pickers through
//      SetEditorDate / SetEditorTime;
//   3. on OK, ConfirmEntryEditor runs the tests in their order. On failure
//      the dialog shows `message` with a stop icon, puts the focus into
//      `focus` (selecting the text of the name field) and stays open. On
//      success the name is already written into the record and
//      `state.result` holds the rest; the dialog closes with OK;
//   4. the command that opened the editor applies `state.result`
//      (ApplyEditorResult, apply_editor_result.h). EditInfo, NewSubDirectory
//      and NewDummyFile do steps 1 and 4 and call an EntryEditorRunner for
//      steps 2 and 3.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/calendar_time.h"
#include "model/project.h"

namespace korvalin {

enum EntryEditorKind : int {
    EDITOR_DIRECTORY = 0,
    EDITOR_FILE = 1,
    EDITOR_DUMMY_FILE = 2,
};

// The control that gets the focus back after a failed test.
enum EditorField : int {
    EDITOR_FIELD_NONE = 0,
    EDITOR_FIELD_SIZE = 1,
    EDITOR_FIELD_LBA = 2,
    EDITOR_FIELD_NAME = 3,
};

enum EditorCheckCode : int {
    EDITOR_OK = 0,
    EDITOR_SIZE_TOO_LARGE = 1,
    EDITOR_LBA_NOT_VALID = 2,
    EDITOR_NAME_EMPTY = 3,
    EDITOR_NAME_ILLEGAL = 4,
    EDITOR_NAME_DUPLICATE = 5,
};

// Field limits for typed input (letters in the name field are upper-cased
// as they are typed, see TypedUpperCase). The opening texts are shown whole.
constexpr int EDITOR_NAME_MAX_CHARS = 12;
constexpr int EDITOR_LBA_MAX_CHARS = 6;
constexpr int EDITOR_SIZE_MAX_CHARS = 9;
constexpr uint32_t EDITOR_MAX_SIZE = 999999999;
constexpr uint32_t EDITOR_MAX_LBA = 999999;

inline constexpr char EDITOR_TITLE_DIRECTORY[] = " Directory Editor ";
inline constexpr char EDITOR_TITLE_FILE[] = " File Editor   ";
inline constexpr char EDITOR_TITLE_DUMMY_FILE[] = "Dummy File Editor           ";

inline constexpr char MSG_FILESIZE_TOO_LARGE[] = "Filesize should be less than 1GB!";
inline constexpr char MSG_LBA_NOT_VALID[] = "LBA not valid!!";
inline constexpr char MSG_NAME_EMPTY[] = " The space cannot be empty!  ";
inline constexpr char MSG_NAME_ILLEGAL[] = "Illegal name ";
inline constexpr char MSG_DUPLICATE_DIRECTORY[] = " Duplicate name ";
inline constexpr char MSG_DUPLICATE_FILE[] = " Duplicate Name ";

// What the editor hands back to the command that opened it.
struct EditorResult {
    int32_t editedLba = 0;
    uint32_t editedSize = 0;
    uint16_t editedFlags = 0;  // the entry's flags as the check boxes left them
    CalendarTime pickedDate;   // only year, month and day are used
    CalendarTime pickedTime;   // only hour, minute and second are used
};

struct EntryEditorState {
    int32_t entryId = 0;
    EntryEditorKind kind = EDITOR_FILE;
    const char* title = EDITOR_TITLE_FILE;
    // "Filesize:", the size field and "Set Filesize" are shown (dummy files only).
    bool sizeControlsShown = false;

    // The controls. The "LBA" label and field are enabled exactly when setLba
    // is true, "Filesize:" and the size field exactly when setFilesize is.
    std::string nameText;
    std::string lbaText;
    std::string sizeText;
    bool setLba = false;
    bool setFilesize = false;
    CalendarTime date;  // date picker: year, month, day
    CalendarTime time;  // time picker: hour, minute, second

    // What the editor opened with.
    std::string openedSizeText;
    uint32_t openedSize = 0;
    CalendarTime openedDate;
    CalendarTime openedTime;
    // The stored date and time plus the display hour, before being made a
    // real date for the pickers; handed back when neither picker changed.
    CalendarTime storedShown;

    EditorResult result;     // editedFlags follows the check boxes
    bool confirmed = false;  // set by a successful ConfirmEntryEditor
};

struct EditorCheck {
    EditorCheckCode code = EDITOR_OK;
    std::string message;  // shown with a stop icon
    EditorField focus = EDITOR_FIELD_NONE;
};

// `entryId` must name an existing entry other than the root.
EntryEditorState OpenEntryEditor(const Project& project, int32_t entryId);

// A click on "Set LBA".
void ToggleSetLba(EntryEditorState& state);
// A click on "Set Filesize"; false (and no change) when the box is not shown.
bool ToggleSetFilesize(EntryEditorState& state);
// The pickers; false (and no change) for a value they cannot hold.
bool SetEditorDate(EntryEditorState& state, const CalendarTime& date);
bool SetEditorTime(EntryEditorState& state, const CalendarTime& time);

// OK: the size, LBA and name tests in this order, then the name is written.
EditorCheck ConfirmEntryEditor(Project& project, EntryEditorState& state);

// Runs the dialog modally on `state`: true when it closed with OK, which
// happens only after ConfirmEntryEditor succeeded; false for Cancel.
using EntryEditorRunner = std::function<bool(Project&, EntryEditorState&)>;

// A number field's text as the tests read it: decimal, empty text 0, taken
// as unsigned 32 bits (so "-1" is 4294967295); values that do not fit give
// 4294967295.
uint32_t ReadEditorNumber(std::string_view text);
// The editor's own character rules for a typed name (not those of names
// taken from disk): 1-8 of A-Z, 0-9, "_", and for a file an optional "."
// followed by 1-3 of them.
bool IsLegalEditorName(std::string_view name, bool isDirectory);
// Letters a-z turned to upper case, as the name fields do while typing.
std::string TypedUpperCase(std::string_view text);

}  // namespace korvalin
