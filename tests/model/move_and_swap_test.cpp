#include <gtest/gtest.h>

#include "layout/recompute_layout.h"
#include "model/drop_on_list.h"
#include "model/list_rows.h"
#include "model/move_file.h"
#include "model/swap_files.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::AddDir;
using test::AddFile;

TEST(MoveFile, KeepsTheFileTableSlotAndRefusesANameThatIsThere) {
    Project project = test::NewProject();
    const int32_t data = AddDir(project, "DATA");
    const int32_t a = FileId(AddFile(project, "A.BIN", 1));
    const int32_t b = FileId(AddFile(project, "B.BIN", 1));
    AddFile(project, "B.BIN", 1, data);

    // A folder row of the list.
    EditOutcome outcome = DropOnList(project, a, data);
    EXPECT_EQ(outcome.code, EDIT_OK);
    EXPECT_EQ(outcome.refresh, REFRESH_LIST);
    EXPECT_EQ(project.fileTable[0].parent, 2u);
    EXPECT_EQ(project.fileTable[0].Name(), "A.BIN");

    outcome = DropOnList(project, b, data);
    EXPECT_EQ(outcome.code, EDIT_REFUSED);
    EXPECT_EQ(outcome.message, "the directory already has a file with the same name asB.BIN ");
    EXPECT_EQ(project.fileTable[1].parent, 1u);

    // The same on a folder of the tree, with the tree's message.
    outcome = DropOnTreeFolder(project, b, data);
    EXPECT_EQ(outcome.code, EDIT_REFUSED);
    EXPECT_EQ(outcome.message, " Directory already has a file with the same name as:  B.BIN ");
    // A file dropped on the folder it lies in clashes with itself.
    outcome = DropOnTreeFolder(project, a, data);
    EXPECT_EQ(outcome.message, " Directory already has a file with the same name as:  A.BIN ");
    // The root item (and the list's parent row at the root) take it back to the root.
    EXPECT_EQ(DropOnTreeFolder(project, a, 0).code, EDIT_OK);
    EXPECT_EQ(project.fileTable[0].parent, 1u);
}

TEST(MoveFile, ADropOnAnythingButAFolderOrOfAnythingButAFileDoesNothing) {
    Project project = test::NewProject();
    const int32_t data = AddDir(project, "DATA");
    const int32_t other = AddDir(project, "OTHER");
    const int32_t a = FileId(AddFile(project, "A.BIN", 1));
    EXPECT_EQ(DropOnList(project, other, data).code, EDIT_NOTHING);
    EXPECT_EQ(DropOnList(project, other, a).code, EDIT_NOTHING);
    EXPECT_EQ(DropOnTreeFolder(project, other, data).code, EDIT_NOTHING);
    EXPECT_EQ(DropOnTreeFolder(project, a, a).code, EDIT_NOTHING);
    EXPECT_EQ(DropOnTreeFolder(project, a, 5).code, EDIT_NOTHING);
    EXPECT_EQ(DropOnList(project, a, FileId(3)).code, EDIT_NOTHING);
    EXPECT_EQ(project.fileTable[0].parent, 1u);
    EXPECT_EQ(project.dirTable[other].parent, 1u);
}

TEST(SwapFiles, ExchangesTheSlotsAndWithThemTheLayoutOrder) {
    Project project = test::NewProject();
    AddFile(project, "BIG.BIN", 3 * 2048, 0, "/src/big");
    AddFile(project, "SMALL.BIN", 100, 0, "/src/small");
    RecomputeLayout(project);
    ASSERT_EQ(project.fileTable[0].lba, 23);
    ASSERT_EQ(project.fileTable[1].lba, 26);

    const EditOutcome outcome = DropOnList(project, FileId(1), FileId(0));
    EXPECT_EQ(outcome.code, EDIT_OK);
    EXPECT_EQ(outcome.refresh, REFRESH_LIST);
    EXPECT_EQ(project.fileTable[0].Name(), "SMALL.BIN");
    EXPECT_EQ(*project.fileTable[0].sourcePath, "/src/small");
    RecomputeLayout(project);
    EXPECT_EQ(project.fileTable[0].lba, 23);
    EXPECT_EQ(project.fileTable[1].lba, 24);
    // The list shows them in their new order.
    const auto rows = BuildListRows(project, 0);
    EXPECT_EQ(rows[1].name, "SMALL.BIN");
    EXPECT_EQ(rows[2].name, "BIG.BIN");

    EXPECT_EQ(SwapFiles(project, FileId(0), FileId(0)).code, EDIT_OK);
    EXPECT_EQ(project.fileTable[0].Name(), "SMALL.BIN");
    EXPECT_EQ(SwapFiles(project, FileId(0), 0).code, EDIT_NOTHING);
}

}  // namespace
}  // namespace korvalin
