#include <gtest/gtest.h>

#include "layout/recompute_layout.h"
#include "model/drop_on_list.h"
#include "model/move_file.h"
#include "model/swap_files.h"
#include "test_support.h"

namespace korvalin {
namespace {

TEST(MoveFile, KeepsTheFileTableSlotAndRefusesANameThatIsThere) {
    Project project = test::NewProject();
    const int32_t data = test::AddDir(project, "DATA");
    const int32_t other = test::AddDir(project, "OTHER");
    const int32_t a = FileId(test::AddFile(project, "A.BIN", 1));
    const int32_t b = FileId(test::AddFile(project, "B.BIN", 1));
    test::AddFile(project, "B.BIN", 1, data);

    // A folder row of the list.
    EditOutcome outcome = DropOnList(project, a, data);
    EXPECT_EQ(outcome.code, EDIT_OK);
    EXPECT_EQ(outcome.refresh, REFRESH_LIST);
    EXPECT_EQ(project.fileTable[0].parent, 2u);
    outcome = DropOnList(project, b, data);
    EXPECT_EQ(outcome.code, EDIT_REFUSED);
    EXPECT_EQ(outcome.message, "the directory already has a file with the same name asB.BIN ");
    EXPECT_EQ(project.fileTable[1].parent, 1u);
    // The same on a folder of the tree, with the tree's message; a file
    // dropped on the folder it lies in clashes with itself.
    EXPECT_EQ(DropOnTreeFolder(project, b, data).message,
              " Directory already has a file with the same name as:  B.BIN ");
    EXPECT_EQ(DropOnTreeFolder(project, a, data).message,
              " Directory already has a file with the same name as:  A.BIN ");
    // The root item takes it back to the root.
    EXPECT_EQ(DropOnTreeFolder(project, a, 0).code, EDIT_OK);
    EXPECT_EQ(project.fileTable[0].parent, 1u);

    // A drop on anything but a folder, or of anything but a file, does nothing.
    for (const auto& [dropped, target] : {std::pair{other, data}, {other, a}, {a, FileId(3)}}) {
        EXPECT_EQ(DropOnList(project, dropped, target).code, EDIT_NOTHING);
    }
    EXPECT_EQ(DropOnTreeFolder(project, other, data).code, EDIT_NOTHING);
    EXPECT_EQ(DropOnTreeFolder(project, a, a).code, EDIT_NOTHING);
    EXPECT_EQ(DropOnTreeFolder(project, a, 5).code, EDIT_NOTHING);
    EXPECT_EQ(project.fileTable[0].parent, 1u);
    EXPECT_EQ(project.dirTable[other].parent, 1u);
}

TEST(SwapFiles, ExchangesTheSlotsAndWithThemTheLayoutOrder) {
    Project project = test::NewProject();
    test::AddFile(project, "BIG.BIN", 3 * 2048, 0, "/src/big");
    test::AddFile(project, "SMALL.BIN", 100, 0, "/src/small");
    RecomputeLayout(project);
    ASSERT_EQ(project.fileTable[0].lba, 23);

    const EditOutcome outcome = DropOnList(project, FileId(1), FileId(0));
    EXPECT_EQ(outcome.code, EDIT_OK);
    EXPECT_EQ(outcome.refresh, REFRESH_LIST);
    EXPECT_EQ(project.fileTable[0].Name(), "SMALL.BIN");
    EXPECT_EQ(*project.fileTable[0].sourcePath, "/src/small");
    RecomputeLayout(project);
    EXPECT_EQ(project.fileTable[0].lba, 23);
    EXPECT_EQ(project.fileTable[1].lba, 24);

    EXPECT_EQ(SwapFiles(project, FileId(0), FileId(0)).code, EDIT_OK);
    EXPECT_EQ(project.fileTable[0].Name(), "SMALL.BIN");
    EXPECT_EQ(SwapFiles(project, FileId(0), 0).code, EDIT_NOTHING);
}

}  // namespace
}  // namespace korvalin
