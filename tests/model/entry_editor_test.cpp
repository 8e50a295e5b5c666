// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/entry_editor.h"

#include <gtest/gtest.h>

#include "layout/recompute_layout.h"
#include "model/edit_info.h"
#include "model/editor_script.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::AddDir;
using test::AddDummy;
using test::AddFile;
using test::PressOk;

// Opens the editor on `id`, sets one field and presses OK.
EditorCheck Confirm(Project& project, int32_t id, std::string EntryEditorState::*field,
                    const std::string& text) {
    EntryEditorState state = OpenEntryEditor(project, id);
    state.*field = text;
    return ConfirmEntryEditor(project, state);
}
constexpr auto NAME = &EntryEditorState::nameText;
constexpr auto LBA = &EntryEditorState::lbaText;

TEST(EntryEditorNames, FollowTheEditorsOwnRulesAndAreUniquePerKindInTheListedDirectory) {
    Project project = test::NewProject();
    const int32_t data = AddDir(project, "DATA");
    const int32_t other = AddDir(project, "OTHER");
    AddDir(project, "SUB", data);
    const int32_t a = FileId(AddFile(project, "A.BIN", 10));
    AddFile(project, "B.BIN", 10);
    RecomputeLayout(project);
    EXPECT_EQ(Confirm(project, a, NAME, "B.BIN").message, " Duplicate Name ");
    EXPECT_EQ(Confirm(project, other, NAME, "DATA").message, " Duplicate name ");
    EXPECT_EQ(Confirm(project, a, NAME, "").message, " The space cannot be empty!  ");
    // A file may take the name of a directory beside it, and an entry its own name.
    EXPECT_EQ(Confirm(project, a, NAME, "DATA").code, EDITOR_OK);
    EXPECT_EQ(Confirm(project, other, NAME, "OTHER").code, EDITOR_OK);
    // DATA edited from its parent row while SUB is listed: compared with SUB's
    // entries, not with its own siblings.
    project.currentDir = data;
    EXPECT_EQ(Confirm(project, data, NAME, "SUB").message, " Duplicate name ");
    EXPECT_EQ(Confirm(project, data, NAME, "OTHER").code, EDITOR_OK);

    // name, accepted for a directory, accepted for a file
    const std::tuple<const char*, bool, bool> cases[] = {
        {"DATA.1", false, true},       {"ABCDEFGHI", false, false}, {"ABCDEFGH", true, true},
        {"ABCDEFGH.TXT", false, true}, {"A.TXTX", false, false},    {".TXT", false, false},
        {"A.", false, false},          {"A.B.C", false, false},     {"A-B", false, false},
        {"abc", false, false},         {"SLUS_123.45", false, true}};
    for (const auto& [name, dirOk, fileOk] : cases) {
        for (const int32_t id : {other, a}) {
            const EditorCheck check = Confirm(project, id, NAME, name);
            EXPECT_EQ(check.message, (id == other ? dirOk : fileOk) ? "" : "Illegal name ") << name;
            EXPECT_EQ(EntryById(project, id).Name() == name, id == other ? dirOk : fileOk);
        }
    }
}

TEST(EntryEditorChecks, RunInOrderAndWriteNothingUntilAllPass) {
    Project project = test::NewProject();
    const int32_t dummy = FileId(AddDummy(project, "PAD.BIN", 30, 100));
    RecomputeLayout(project);
    EntryEditorState state = OpenEntryEditor(project, dummy);
    state.nameText = "A.B.C";
    state.lbaText = "1000000";
    state.sizeText = "1000000000";
    EditorCheck check = ConfirmEntryEditor(project, state);
    EXPECT_EQ(check.message, "Filesize should be less than 1GB!");
    EXPECT_EQ(check.focus, EDITOR_FIELD_SIZE);
    state.sizeText = "999999999";
    check = ConfirmEntryEditor(project, state);
    EXPECT_EQ(check.message, "LBA not valid!!");
    EXPECT_EQ(check.focus, EDITOR_FIELD_LBA);
    state.lbaText = "999999";
    EXPECT_EQ(ConfirmEntryEditor(project, state).code, EDITOR_NAME_ILLEGAL);
    EXPECT_EQ(EntryById(project, dummy).Name(), "PAD.BIN");
    state.nameText = "PAD2.BIN";
    state.sizeText = "";  // reads as 0
    EXPECT_EQ(ConfirmEntryEditor(project, state).code, EDITOR_OK);
    EXPECT_EQ(state.result.editedSize, 0u);
    EXPECT_EQ(state.result.editedLba, 999999);
}

TEST(EntryEditorChecks, LbaBoundsDependOnTheKindAndTheLastLayout) {
    Project project = test::NewProject();
    const int32_t dir = AddDir(project, "DATA");
    const int32_t file = FileId(AddFile(project, "LOW.BIN", 10));
    const int32_t dummy = FileId(AddDummy(project, "PAD.BIN", 5));
    RecomputeLayout(project);
    const int32_t firstSubdir = project.layoutState.firstSubdirLba;
    const int32_t firstFile = project.layoutState.firstFileLba;
    ASSERT_LT(firstSubdir, firstFile);
    // entry, lowest LBA accepted (a dummy may lie anywhere), up to 999999
    for (const auto& [id, lowest] : {std::pair{dir, firstSubdir}, {file, firstFile}, {dummy, 0}}) {
        EXPECT_EQ(Confirm(project, id, LBA, std::to_string(lowest)).code, EDITOR_OK);
        EXPECT_EQ(Confirm(project, id, LBA, std::to_string(lowest - 1)).code, EDITOR_LBA_NOT_VALID);
        EXPECT_EQ(Confirm(project, id, LBA, "999999").code, EDITOR_OK);
        EXPECT_EQ(Confirm(project, id, LBA, "1000000").code, EDITOR_LBA_NOT_VALID);
    }

    // -1 (never laid out) reads as 4294967295 whatever the kind, until a
    // valid LBA is typed; without "Set LBA" the LBA is then left to the layout.
    project.dirTable[dir].lba = -1;
    project.fileTable[1].lba = -1;
    for (const int32_t id : {dir, dummy}) {
        EXPECT_EQ(OpenEntryEditor(project, id).lbaText, "-1");
        EXPECT_EQ(Confirm(project, id, LBA, "-1").code, EDITOR_LBA_NOT_VALID);
    }
    EXPECT_EQ(EditInfo(project, dir, PressOk([](EntryEditorState& s) { s.lbaText = "900"; })).code,
              EDIT_OK);
    EXPECT_EQ(project.dirTable[dir].lba, -1);
}

TEST(EntryEditorEditInfo, AppliesTheResultOrNothingAtAll) {
    Project project = test::NewProject();
    const int32_t big = FileId(AddFile(project, "MOVIE.STR", 3000000000u));
    const int32_t dummy = FileId(AddDummy(project, "PAD.BIN", 40, 77));
    RecomputeLayout(project);
    const auto before = test::FieldsOf(project.fileTable);
    EXPECT_EQ(EditInfo(project, big, test::PressCancel()).code, EDIT_CANCELLED);
    EXPECT_EQ(EditInfo(project, 0, PressOk(nullptr)).code, EDIT_BAD_ENTRY);  // the root
    EXPECT_EQ(EditInfo(project, FileId(2), PressOk(nullptr)).code, EDIT_BAD_ENTRY);
    // A refused OK followed by Cancel.
    const auto refused = [](EntryEditorState& s) { s.nameText = "BAD NAME"; };
    EXPECT_EQ(EditInfo(project, big, PressOk(refused)).code, EDIT_CANCELLED);
    EXPECT_EQ(test::FieldsOf(project.fileTable), before);

    // A displaced entry is pinned where it lies; a file of a gigabyte or more
    // keeps its size; a dummy takes the typed one.
    FileEntry& movie = project.fileTable[0];
    movie.flags = FLAG_DISPLACED;
    movie.lba = 31;
    const auto renamed = [](EntryEditorState& s) { s.nameText = "M.STR"; };
    EXPECT_EQ(EditInfo(project, big, PressOk(renamed)).refresh, REFRESH_LIST_AND_TREE);
    EXPECT_EQ(test::FieldsOf(movie),
              (test::RecordFields{5, "M.STR", movie.dosDate, movie.dosTime, 31, FLAG_LBA_SET, 1,
                                  3000000000u, 54, "/src/file"}));
    EXPECT_EQ(project.editedEntryId, 0);
    EditInfo(project, dummy, PressOk([](EntryEditorState& s) { s.sizeText = "4096"; }));
    EXPECT_EQ(project.fileTable[1].size, 4096u);
}

TEST(EntryEditorDates, TheDisplayHourIsAddedOnOpeningAndRemovedOnApplying) {
    Project project = test::NewProject();
    RecomputeLayout(project);
    FileEntry& file = project.fileTable[AddFile(project, "D.BIN", 1)];
    file.lba = 100;
    // stored, then the pickers set (a date of year 0: left as it opened), then stored again
    const std::tuple<CalendarTime, CalendarTime, CalendarTime, CalendarTime> cases[] = {
        // Confirmed unchanged: hour 23 comes back to the day it had.
        {{2003, 7, 14, 23, 30, 58}, {}, {}, {2003, 7, 14, 23, 30, 58}},
        {{2003, 7, 14, 23, 30, 58}, {2003, 5, 10}, {0, 0, 0, 1, 0, 0}, {2003, 5, 10, 0, 0, 0}},
        // 00:15 on the 1st: hour 23 of day 0, month and year kept.
        {{2003, 7, 14, 23, 30, 58}, {2003, 5, 1}, {0, 0, 0, 0, 15, 7}, {2003, 5, 0, 23, 15, 6}},
        {{2003, 7, 14, 23, 30, 58}, {1980, 1, 1}, {0, 0, 0, 0, 30, 0}, {1980, 1, 0, 23, 30, 0}},
        // Shown as 1 March; changing only the time keeps the date that was shown.
        {{2004, 2, 29, 23, 10, 0}, {}, {}, {2004, 2, 29, 23, 10, 0}},
        {{2004, 2, 29, 23, 10, 0}, {}, {0, 0, 0, 5, 0, 0}, {2004, 3, 1, 4, 0, 0}},
    };
    for (const auto& [stored, date, time, expected] : cases) {
        file.dosDate = PackDosDate(stored);
        file.dosTime = PackDosTime(stored);
        EditInfo(project, FileId(0), PressOk([date, time](EntryEditorState& s) {
                     EXPECT_TRUE(date.year == 0 || SetEditorDate(s, date));
                     EXPECT_TRUE(time == CalendarTime{} || SetEditorTime(s, time));
                 }));
        EXPECT_EQ(UnpackDos(file.dosDate, file.dosTime), expected);
    }
    file.dosTime = PackDosTime(CalendarTime{2004, 2, 29, 23, 10, 0});
    file.dosDate = PackDosDate(CalendarTime{2004, 2, 29, 23, 10, 0});
    EntryEditorState state = OpenEntryEditor(project, FileId(0));
    EXPECT_EQ(state.date, (CalendarTime{2004, 3, 1, 0, 0, 0}));
    EXPECT_EQ(state.time, (CalendarTime{0, 0, 0, 0, 10, 0}));
    EXPECT_FALSE(SetEditorDate(state, CalendarTime{1979, 12, 31, 0, 0, 0}));
    EXPECT_FALSE(SetEditorDate(state, CalendarTime{2005, 2, 29, 0, 0, 0}));
    EXPECT_FALSE(SetEditorTime(state, CalendarTime{0, 0, 0, 24, 0, 0}));
    EXPECT_EQ(state.date, (CalendarTime{2004, 3, 1, 0, 0, 0}));
}

}  // namespace
}  // namespace korvalin
