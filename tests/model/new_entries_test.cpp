// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "layout/recompute_layout.h"
#include "model/disc_path.h"
#include "model/editor_script.h"
#include "model/new_dummy_file.h"
#include "model/new_sub_directory.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::FieldsOf;
using test::PressOk;

EntryEditorRunner Named(const std::string& name) {
    return PressOk([name](EntryEditorState& s) { s.nameText = name; });
}

TEST(NewSubDirectory, OpensTheEditorOnTheDefaultsAndKeepsTheConfirmedDirectory) {
    Project project = test::NewProject();
    project.currentDir = test::AddDir(project, "DATA");
    RecomputeLayout(project);
    EntryEditorState seen;
    const EditOutcome outcome = NewSubDirectory(project, PressOk([&seen](EntryEditorState& s) {
                                                    seen = s;
                                                    s.nameText = "MOVIES";
                                                    s.sizeText = "999";  // hidden; never taken
                                                }));
    EXPECT_EQ(outcome.code, EDIT_OK);
    EXPECT_EQ(outcome.refresh, REFRESH_LIST_AND_TREE);
    EXPECT_EQ(seen.nameText, "PATH0000");
    EXPECT_EQ(seen.lbaText, std::to_string(project.layoutState.firstFileLba));
    EXPECT_EQ(seen.time, (CalendarTime{0, 0, 0, 11, 20, 30}));  // the volume time as shown
    ASSERT_EQ(project.dirCount(), 3);
    const DirEntry& dir = project.dirTable[2];
    EXPECT_EQ(DiscPathOfEntry(project, 2), "\\DATA\\MOVIES");
    EXPECT_EQ(FieldsOf(dir), (test::RecordFields{6, "MOVIES", PackDosDate(project.volumeUtcTime),
                                                 PackDosTime(project.volumeUtcTime), dir.lba, 0, 2,
                                                 2048, 54, std::nullopt}));
    EXPECT_EQ(project.editedEntryId, 0);
}

TEST(NewSubDirectory, CancelRemovesItAgainAndRerunsTheLayout) {
    Project project = test::NewProject();
    test::AddFile(project, "A.BIN", 5000);
    RecomputeLayout(project);
    // Confirmed, but not laid out again yet.
    ASSERT_EQ(NewSubDirectory(project, Named("PATH0000")).code, EDIT_OK);
    Project laidOut = project;
    RecomputeLayout(laidOut);
    ASSERT_NE(laidOut.extentTable, project.extentTable);
    // The default name clashes with the first PATH0000 until the user cancels.
    EditorCheck refusal;
    EXPECT_EQ(NewSubDirectory(project, PressOk(nullptr, &refusal)).code, EDIT_CANCELLED);
    EXPECT_EQ(refusal.message, " Duplicate name ");
    EXPECT_EQ(FieldsOf(project.dirTable), FieldsOf(laidOut.dirTable));
    EXPECT_EQ(project.extentTable, laidOut.extentTable);
}

TEST(NewDummyFile, IsPinnedAtTheNextFreeLbaAndKeepsTheTypedSizeUntilTheLayout) {
    Project project = test::NewProject();
    test::AddFile(project, "A.BIN", 5000);
    RecomputeLayout(project);
    EntryEditorState seen;
    EXPECT_EQ(NewDummyFile(project, PressOk([&seen](EntryEditorState& s) {
                               seen = s;
                               ToggleSetLba(s);  // unticking does not unpin a new dummy
                               s.nameText = "PAD.BIN";
                               s.lbaText = "23";  // A.BIN's LBA
                               s.sizeText = "77";
                           }))
                  .code,
              EDIT_OK);
    EXPECT_EQ(seen.nameText, "FILE0000");
    EXPECT_EQ(seen.lbaText, std::to_string(project.layoutState.nextFreeLba));
    const FileEntry& dummy = project.fileTable[1];
    EXPECT_EQ(FieldsOf(dummy),
              (test::RecordFields{7, "PAD.BIN", dummy.dosDate, dummy.dosTime, 23,
                                  FLAG_DUMMY | FLAG_LBA_SET, 1, 77, 56, std::nullopt}));
    RecomputeLayout(project);
    EXPECT_EQ(dummy.size, 5000u);  // without "Set Filesize": the size of the file it names
}

TEST(NewEntries, StopAtTheTableLimitsButNotAtAnyDepthAndCancelChangesNothing) {
    Project project = test::NewProject();
    int32_t parent = 0;
    for (int i = 1; i < DIR_TABLE_SLOTS - 1; ++i) {
        parent = test::AddDir(project, "D" + std::to_string(i), i <= 9 ? parent : 0);
    }
    for (int i = 0; i < FILE_TABLE_SLOTS - 1; ++i)
        test::AddFile(project, "F" + std::to_string(i), 0);
    RecomputeLayout(project);
    project.currentDir = 9;  // nine levels below the root
    EXPECT_EQ(NewSubDirectory(project, Named("DEEP")).code, EDIT_OK);
    EXPECT_EQ(project.dirTable[1023].parent, 10u);
    EXPECT_EQ(NewDummyFile(project, test::PressCancel()).code, EDIT_CANCELLED);
    EXPECT_EQ(project.fileCount(), FILE_TABLE_SLOTS - 1);
    ASSERT_EQ(NewDummyFile(project, Named("LAST.BIN")).code, EDIT_OK);

    const EditOutcome noDir = NewSubDirectory(project, Named("MORE"));
    EXPECT_EQ(noDir.code, EDIT_REFUSED);
    EXPECT_EQ(noDir.message, "Too many directories(more than 1024)");
    const EditOutcome noFile = NewDummyFile(project, Named("MORE.BIN"));
    EXPECT_EQ(noFile.code, EDIT_REFUSED);
    EXPECT_EQ(noFile.message, " Too many files!(more than  4096)");
    EXPECT_EQ(project.dirCount(), 1024);
    EXPECT_EQ(project.fileCount(), 4096);
}

}  // namespace
}  // namespace korvalin
