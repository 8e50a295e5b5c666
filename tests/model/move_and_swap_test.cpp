// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "layout/recompute_layout.h"
#include "model/drop_on_list.h"
#include "model/move_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

TEST(MoveFile, KeepsTheFileTableSlotAndRefusesANameThatIsThere) {
    Project project = test::NewProject();
    const int32_t data = test::AddDir(project, "DATA");
    const int32_t a = FileId(test::AddFile(project, "A.BIN", 1));
    const int32_t b = FileId(test::AddFile(project, "B.BIN", 1));
    test::AddFile(project, "B.BIN", 1, data);

    EXPECT_EQ(DropOnList(project, a, data).refresh, REFRESH_LIST);  // on a folder row
    EXPECT_EQ(project.fileTable[0].parent, 2u);
    const EditOutcome clash = DropOnList(project, b, data);
    EXPECT_EQ(clash.code, EDIT_REFUSED);
    EXPECT_EQ(clash.message, "the directory already has a file with the same name asB.BIN ");
    // On a folder of the tree, with the tree's message; a file dropped on the
    // folder it lies in clashes with itself.
    EXPECT_EQ(DropOnTreeFolder(project, a, data).message,
              " Directory already has a file with the same name as:  A.BIN ");
    EXPECT_EQ(DropOnTreeFolder(project, a, 0).code, EDIT_OK);  // the root item
    EXPECT_EQ(project.fileTable[0].parent, 1u);
    // A drop of anything but a file, or on anything but a folder, does nothing.
    EXPECT_EQ(DropOnList(project, data, 0).code, EDIT_NOTHING);
    EXPECT_EQ(DropOnTreeFolder(project, a, a).code, EDIT_NOTHING);
}

TEST(SwapFiles, ExchangesTheSlotsAndWithThemTheLayoutOrder) {
    Project project = test::NewProject();
    test::AddFile(project, "BIG.BIN", 3 * 2048, 0, "/src/big");
    test::AddFile(project, "SMALL.BIN", 100, 0, "/src/small");
    const EditOutcome outcome = DropOnList(project, FileId(1), FileId(0));
    EXPECT_EQ(outcome.code, EDIT_OK);
    EXPECT_EQ(outcome.refresh, REFRESH_LIST);
    EXPECT_EQ(*project.fileTable[0].sourcePath, "/src/small");
    RecomputeLayout(project);
    EXPECT_EQ(project.fileTable[0].lba, 23);
    EXPECT_EQ(project.fileTable[1].lba, 24);
}

}  // namespace
}  // namespace korvalin
