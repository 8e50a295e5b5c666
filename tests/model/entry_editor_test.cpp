#include <gtest/gtest.h>

#include "layout/recompute_layout.h"
#include "model/apply_editor_result.h"
#include "model/edit_info.h"
#include "model/entry_editor.h"
#include "test_support.h"
#include "model/editor_script.h"

namespace korvalin {
namespace {

using test::AddDir;
using test::AddDummy;
using test::AddFile;

// Opens the editor on `id`, sets the name and confirms.
EditorCheck ConfirmName(Project& project, int32_t id, const std::string& name) {
    EntryEditorState state = OpenEntryEditor(project, id);
    state.nameText = name;
    return ConfirmEntryEditor(project, state);
}

TEST(EntryEditorNames, FollowTheEditorsOwnCharacterRules) {
    Project project = test::NewProject();
    const int32_t dir = AddDir(project, "DATA");
    const int32_t file = FileId(AddFile(project, "FILE.BIN", 10));
    RecomputeLayout(project);
    struct Case {
        const char* name;
        bool dirOk;
        bool fileOk;
    };
    const Case cases[] = {
        {"DATA.1", false, true},  {"ABCDEFGHI", false, false}, {"ABCDEFGH", true, true},
        {"ABCDEFGH.TXT", false, true}, {"A.TXTX", false, false}, {".TXT", false, false},
        {"A.", false, false},     {"A.B.C", false, false},     {".", false, false},
        {"A-B", false, false},    {"abc", false, false},       {"SLUS_123.45", false, true},
        {"A B", false, false},    {"ABCDEFGHIJKLM", false, false},
    };
    for (const Case& c : cases) {
        for (const int32_t id : {dir, file}) {
            const bool expectOk = id == dir ? c.dirOk : c.fileOk;
            const EditorCheck check = ConfirmName(project, id, c.name);
            if (expectOk) {
                EXPECT_EQ(check.code, EDITOR_OK) << c.name << " id " << id;
                EXPECT_EQ(EntryById(project, id).Name(), c.name);
                EXPECT_EQ(EntryById(project, id).nameLength, std::string(c.name).size());
            } else {
                EXPECT_EQ(check.code, EDITOR_NAME_ILLEGAL) << c.name << " id " << id;
                EXPECT_EQ(check.message, "Illegal name ");
                EXPECT_EQ(check.focus, EDITOR_FIELD_NAME);
            }
        }
    }
    const EditorCheck empty = ConfirmName(project, file, "");
    EXPECT_EQ(empty.message, " The space cannot be empty!  ");
    EXPECT_EQ(empty.focus, EDITOR_FIELD_NAME);
    EXPECT_EQ(TypedUpperCase("slus_123.45 x-"), "SLUS_123.45 X-");
}

TEST(EntryEditorNames, DuplicatesAreLookedForInTheListedDirectoryAndPerKind) {
    Project project = test::NewProject();
    const int32_t data = AddDir(project, "DATA");
    const int32_t other = AddDir(project, "OTHER");
    const int32_t sub = AddDir(project, "SUB", data);
    const int32_t a = FileId(AddFile(project, "A.BIN", 10));
    AddFile(project, "B.BIN", 10);
    RecomputeLayout(project);

    EXPECT_EQ(ConfirmName(project, a, "B.BIN").message, " Duplicate Name ");
    EXPECT_EQ(ConfirmName(project, other, "DATA").message, " Duplicate name ");
    // A file may take the name of a directory beside it, and an entry its own name.
    EXPECT_EQ(ConfirmName(project, a, "DATA").code, EDITOR_OK);
    EXPECT_EQ(ConfirmName(project, other, "OTHER").code, EDITOR_OK);

    // DATA edited from its parent row while SUB is listed: compared with SUB's
    // entries, not with its own siblings.
    project.currentDir = data;
    EXPECT_EQ(ConfirmName(project, data, "SUB").message, " Duplicate name ");
    EXPECT_EQ(ConfirmName(project, data, "OTHER").code, EDITOR_OK);
    (void)sub;
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
    EXPECT_FALSE(state.confirmed);
    EXPECT_EQ(EntryById(project, dummy).Name(), "PAD.BIN");
    state.nameText = "PAD2.BIN";
    EXPECT_EQ(ConfirmEntryEditor(project, state).code, EDITOR_OK);
    EXPECT_TRUE(state.confirmed);
    EXPECT_EQ(state.result.editedSize, 999999999u);
    EXPECT_EQ(state.result.editedLba, 999999);
    // An empty size field reads as 0.
    state.sizeText = "";
    EXPECT_EQ(ConfirmEntryEditor(project, state).code, EDITOR_OK);
    EXPECT_EQ(state.result.editedSize, 0u);
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

    auto lbaCheck = [&](int32_t id, const std::string& lba) {
        EntryEditorState state = OpenEntryEditor(project, id);
        state.lbaText = lba;
        return ConfirmEntryEditor(project, state).code;
    };
    EXPECT_EQ(lbaCheck(dir, std::to_string(firstSubdir)), EDITOR_OK);
    EXPECT_EQ(lbaCheck(dir, std::to_string(firstSubdir - 1)), EDITOR_LBA_NOT_VALID);
    EXPECT_EQ(lbaCheck(file, std::to_string(firstFile)), EDITOR_OK);
    EXPECT_EQ(lbaCheck(file, std::to_string(firstFile - 1)), EDITOR_LBA_NOT_VALID);
    EXPECT_EQ(lbaCheck(file, "999999"), EDITOR_OK);
    EXPECT_EQ(lbaCheck(file, "1000000"), EDITOR_LBA_NOT_VALID);
    // A dummy may lie anywhere below the limit, also where a file may not.
    EXPECT_EQ(lbaCheck(dummy, "5"), EDITOR_OK);
    EXPECT_EQ(lbaCheck(dummy, "0"), EDITOR_OK);
    EXPECT_EQ(lbaCheck(dummy, "1000000"), EDITOR_LBA_NOT_VALID);
    // The dummy as it stands (at LBA 5) can be confirmed; a file there cannot.
    EXPECT_EQ(lbaCheck(dummy, OpenEntryEditor(project, dummy).lbaText), EDITOR_OK);
    project.fileTable[0].lba = 5;
    EXPECT_EQ(lbaCheck(file, OpenEntryEditor(project, file).lbaText), EDITOR_LBA_NOT_VALID);
}

TEST(EntryEditorChecks, AnUnplacedEntryShowsMinusOneAndIsRefusedUntilPinnedValidly) {
    Project project = test::NewProject();
    const int32_t dir = AddDir(project, "DATA");
    const int32_t file = FileId(AddFile(project, "A.BIN", 10));
    RecomputeLayout(project);
    const int32_t dummy = FileId(AddDummy(project, "PAD.BIN", -1));
    project.dirTable[dir].lba = -1;
    project.fileTable[0].lba = -1;
    for (const int32_t id : {dir, file, dummy}) {
        EntryEditorState state = OpenEntryEditor(project, id);
        EXPECT_EQ(state.lbaText, "-1");
        EXPECT_EQ(ConfirmEntryEditor(project, state).code, EDITOR_LBA_NOT_VALID) << id;
    }
    EntryEditorState state = OpenEntryEditor(project, file);
    ASSERT_FALSE(state.setLba);
    ToggleSetLba(state);
    state.lbaText = "100";
    ASSERT_EQ(ConfirmEntryEditor(project, state).code, EDITOR_OK);
    ApplyEditorResult(project, file, state.result, EDITOR_FOR_EDIT_INFO);
    EXPECT_EQ(project.fileTable[0].lba, 100);
    EXPECT_EQ(project.fileTable[0].flags, FLAG_LBA_SET);
}

TEST(EntryEditorOpening, KindTitleCheckBoxesAndTheDisplacedMark) {
    Project project = test::NewProject();
    const int32_t dir = AddDir(project, "DATA");
    const int32_t file = FileId(AddFile(project, "A.BIN", 10));
    const int32_t dummy = FileId(AddDummy(project, "PAD.BIN", 40, 77));
    project.fileTable[dummy - FILE_ID_BASE].flags |= FLAG_SIZE_SET;
    RecomputeLayout(project);

    EntryEditorState d = OpenEntryEditor(project, dir);
    EXPECT_EQ(d.kind, EDITOR_DIRECTORY);
    EXPECT_STREQ(d.title, " Directory Editor ");
    EXPECT_FALSE(d.sizeControlsShown);
    EXPECT_FALSE(ToggleSetFilesize(d));
    EXPECT_FALSE(d.setFilesize);

    EntryEditorState f = OpenEntryEditor(project, file);
    EXPECT_STREQ(f.title, " File Editor   ");
    EXPECT_EQ(f.sizeText, "10");
    EXPECT_FALSE(f.setLba);

    EntryEditorState p = OpenEntryEditor(project, dummy);
    EXPECT_STREQ(p.title, "Dummy File Editor           ");
    EXPECT_TRUE(p.sizeControlsShown);
    EXPECT_TRUE(p.setLba);
    EXPECT_TRUE(p.setFilesize);
    EXPECT_EQ(p.lbaText, "40");
    EXPECT_EQ(p.result.editedFlags, FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET);
    ToggleSetFilesize(p);
    ToggleSetLba(p);
    EXPECT_EQ(p.result.editedFlags, FLAG_DUMMY);

    // A displaced entry opens pinned at the LBA the layout gave it and is
    // confirmed without the warning.
    FileEntry& displaced = project.fileTable[file - FILE_ID_BASE];
    displaced.flags = FLAG_DISPLACED;
    displaced.lba = 31;
    const EditOutcome outcome = EditInfo(project, file, test::PressOk(nullptr));
    EXPECT_EQ(outcome.code, EDIT_OK);
    EXPECT_EQ(outcome.refresh, REFRESH_LIST_AND_TREE);
    EXPECT_EQ(displaced.flags, FLAG_LBA_SET);
    EXPECT_EQ(displaced.lba, 31);
    EXPECT_EQ(project.editedEntryId, 0);
}

TEST(EntryEditorSizes, AFileOfAGigabyteOrMoreKeepsItsSizeAndADummyTakesTheTypedOne) {
    Project project = test::NewProject();
    const int32_t big = FileId(AddFile(project, "MOVIE.STR", 3000000000u));
    const int32_t dummy = FileId(AddDummy(project, "PAD.BIN", 40, 77));
    RecomputeLayout(project);
    EXPECT_EQ(EditInfo(project, big, test::PressOk([](EntryEditorState& s) {
                           s.nameText = "MOVIE2.STR";
                       })).code,
              EDIT_OK);
    EXPECT_EQ(project.fileTable[0].size, 3000000000u);
    EXPECT_EQ(project.fileTable[0].Name(), "MOVIE2.STR");

    EditInfo(project, dummy, test::PressOk([](EntryEditorState& s) { s.sizeText = "4096"; }));
    EXPECT_EQ(project.fileTable[1].size, 4096u);
}

TEST(EntryEditorEditInfo, CancelAndBadIdsChangeNothing) {
    Project project = test::NewProject();
    const int32_t file = FileId(AddFile(project, "A.BIN", 10));
    RecomputeLayout(project);
    const Project before = project;
    EXPECT_EQ(EditInfo(project, file, test::PressCancel()).code, EDIT_CANCELLED);
    EXPECT_EQ(EditInfo(project, 0, test::PressOk(nullptr)).code, EDIT_BAD_ENTRY);
    EXPECT_EQ(EditInfo(project, FileId(1), test::PressOk(nullptr)).code, EDIT_BAD_ENTRY);
    // A refused OK followed by Cancel leaves the record as it was.
    EditorCheck refusal;
    EXPECT_EQ(EditInfo(project, file, test::PressOk([](EntryEditorState& s) {
                           s.nameText = "BAD NAME";
                       }, &refusal)).code,
              EDIT_CANCELLED);
    EXPECT_EQ(refusal.message, "Illegal name ");
    EXPECT_EQ(test::FieldsOf(project.fileTable), test::FieldsOf(before.fileTable));
    EXPECT_EQ(project.editedEntryId, 0);
}

// Stores `shown` (as the user sees it) on an entry through the editor.
FileEntry& DatedFile(Project& project, CalendarTime utc) {
    const int32_t index = AddFile(project, "D" + std::to_string(project.fileCount()) + ".BIN", 1);
    FileEntry& file = project.fileTable[index];
    file.dosDate = PackDosDate(utc);
    file.dosTime = PackDosTime(utc);
    file.lba = 100;
    return file;
}

TEST(EntryEditorDates, TheDisplayHourIsAddedOnOpeningAndRemovedOnApplying) {
    Project project = test::NewProject();
    RecomputeLayout(project);
    const FileEntry& late = DatedFile(project, CalendarTime{2003, 7, 14, 23, 30, 58});
    const int32_t lateId = FileId(0);
    EntryEditorState state = OpenEntryEditor(project, lateId);
    EXPECT_EQ(state.date, (CalendarTime{2003, 7, 15, 0, 0, 0}));
    EXPECT_EQ(state.time, (CalendarTime{0, 0, 0, 0, 30, 58}));
    const FileEntry unchanged = late;
    EditInfo(project, lateId, test::PressOk(nullptr));
    EXPECT_EQ(late.dosDate, unchanged.dosDate);
    EXPECT_EQ(late.dosTime, unchanged.dosTime);

    // Shown at 01:00: stored with hour 0 of the same day.
    EditInfo(project, lateId, test::PressOk([](EntryEditorState& s) {
                 SetEditorDate(s, CalendarTime{2003, 5, 10, 0, 0, 0});
                 SetEditorTime(s, CalendarTime{0, 0, 0, 1, 0, 0});
             }));
    EXPECT_EQ(UnpackDos(late.dosDate, late.dosTime), (CalendarTime{2003, 5, 10, 0, 0, 0}));
    // Shown at 00:15 on the 1st: hour 23 of day 0, month and year kept.
    EditInfo(project, lateId, test::PressOk([](EntryEditorState& s) {
                 SetEditorDate(s, CalendarTime{2003, 5, 1, 0, 0, 0});
                 SetEditorTime(s, CalendarTime{0, 0, 0, 0, 15, 7});
             }));
    EXPECT_EQ(UnpackDos(late.dosDate, late.dosTime), (CalendarTime{2003, 5, 0, 23, 15, 6}));
    // Day 0 shows as the last day of the month before and round-trips.
    state = OpenEntryEditor(project, lateId);
    EXPECT_EQ(state.date, (CalendarTime{2003, 5, 1, 0, 0, 0}));
    const FileEntry dayZero = late;
    EditInfo(project, lateId, test::PressOk(nullptr));
    EXPECT_EQ(late.dosDate, dayZero.dosDate);
}

TEST(EntryEditorDates, ADayCarriedPastTheMonthShowsAsTheNextMonthAndRoundTrips) {
    Project project = test::NewProject();
    RecomputeLayout(project);
    FileEntry& file = DatedFile(project, CalendarTime{2004, 2, 29, 23, 10, 0});
    const FileEntry stored = file;
    EntryEditorState state = OpenEntryEditor(project, FileId(0));
    EXPECT_EQ(state.storedShown, (CalendarTime{2004, 2, 30, 0, 10, 0}));
    EXPECT_EQ(state.date, (CalendarTime{2004, 3, 1, 0, 0, 0}));
    EditInfo(project, FileId(0), test::PressOk(nullptr));
    EXPECT_EQ(file.dosDate, stored.dosDate);
    EXPECT_EQ(file.dosTime, stored.dosTime);
    // Changing only the time keeps the date that was shown.
    EditInfo(project, FileId(0), test::PressOk([](EntryEditorState& s) {
                 SetEditorTime(s, CalendarTime{0, 0, 0, 5, 0, 0});
             }));
    EXPECT_EQ(UnpackDos(file.dosDate, file.dosTime), (CalendarTime{2004, 3, 1, 4, 0, 0}));
}

TEST(EntryEditorDates, ThePickersHoldOnlyRealDatesFrom1980To2107) {
    Project project = test::NewProject();
    RecomputeLayout(project);
    DatedFile(project, CalendarTime{2003, 7, 14, 10, 0, 0});
    EntryEditorState state = OpenEntryEditor(project, FileId(0));
    const CalendarTime opened = state.date;
    EXPECT_FALSE(SetEditorDate(state, CalendarTime{1979, 12, 31, 0, 0, 0}));
    EXPECT_FALSE(SetEditorDate(state, CalendarTime{2108, 1, 1, 0, 0, 0}));
    EXPECT_FALSE(SetEditorDate(state, CalendarTime{2005, 2, 29, 0, 0, 0}));
    EXPECT_FALSE(SetEditorTime(state, CalendarTime{0, 0, 0, 24, 0, 0}));
    EXPECT_EQ(state.date, opened);
    EXPECT_TRUE(SetEditorDate(state, CalendarTime{2107, 12, 31, 0, 0, 0}));
    EXPECT_TRUE(SetEditorDate(state, CalendarTime{1980, 1, 1, 0, 0, 0}));
    // 1 January 1980 at 00:30 packs into day 0 of January 1980.
    SetEditorTime(state, CalendarTime{0, 0, 0, 0, 30, 0});
    ASSERT_EQ(ConfirmEntryEditor(project, state).code, EDITOR_OK);
    ApplyEditorResult(project, FileId(0), state.result, EDITOR_FOR_EDIT_INFO);
    EXPECT_EQ(UnpackDos(project.fileTable[0].dosDate, project.fileTable[0].dosTime),
              (CalendarTime{1980, 1, 0, 23, 30, 0}));
}

TEST(EntryEditorApply, RecordLengthFollowsTheNewNameAndTheSizeOnlyWhereTaken) {
    Project project = test::NewProject();
    const int32_t dir = AddDir(project, "DATA");
    const int32_t file = FileId(AddFile(project, "SYSTEM.CNF", 10));
    RecomputeLayout(project);
    EditInfo(project, file, test::PressOk([](EntryEditorState& s) { s.nameText = "A.B"; }));
    EXPECT_EQ(project.fileTable[0].recordLength, 52u);
    EditInfo(project, dir, test::PressOk([](EntryEditorState& s) { s.nameText = "ABCDEFGH"; }));
    EXPECT_EQ(project.dirTable[dir].recordLength, 56u);
    EditInfo(project, dir, test::PressOk([](EntryEditorState& s) { s.nameText = "ABC"; }));
    EXPECT_EQ(project.dirTable[dir].recordLength, 50u);

    // An unpinned entry keeps its LBA for the layout to place it.
    EntryEditorState state = OpenEntryEditor(project, file);
    state.lbaText = "500";
    ASSERT_EQ(ConfirmEntryEditor(project, state).code, EDITOR_OK);
    const int32_t lba = project.fileTable[0].lba;
    ApplyEditorResult(project, file, state.result, EDITOR_FOR_EDIT_INFO);
    EXPECT_EQ(project.fileTable[0].lba, lba);
}

}  // namespace
}  // namespace korvalin
