#include "layout/precompile_check.h"

#include <gtest/gtest.h>

#include "layout/clear_lba_marks.h"
#include "layout/recompute_layout.h"
#include "test_support.h"

namespace korvalin {
namespace {

using Messages = std::vector<std::string>;

void Pin(EntryRecord& entry, int32_t lba) {
    entry.flags |= FLAG_LBA_SET;
    entry.lba = lba;
}

Project Consistent() {
    Project p = test::NewProject();
    const int32_t data = test::AddDir(p, "DATA");
    test::AddFile(p, "A.B", 5000, data);
    test::AddDummy(p, "PAD.BIN", 40);  // a dummy needs no source
    RecomputeLayout(p);
    return p;
}

TEST(PreCompileCheck, ConsistentProjectHasNothingToSay) {
    EXPECT_TRUE(PreCompileCheck(Consistent()).empty());
}

TEST(PreCompileCheck, DirectoryMessages) {
    Project p = Consistent();
    DirEntry& dir = p.dirTable[1];
    dir.sourcePath = "/left/over";
    EXPECT_EQ(CheckDirectoryTable(p), Messages{"Elemento no nulo en ruta en elemento path 1 - DATA"});
    dir.sourcePath.reset();
    dir.nameLength = 5;
    EXPECT_EQ(CheckDirectoryTable(p), Messages{" Filesize error in elemental name in path of 1 - DATA"});
    dir.nameLength = 4;
    dir.recordLength = 51;
    EXPECT_EQ(CheckDirectoryTable(p),
              Messages{"Error de tamaño en directorio del elemento path 1 - DATA long 4"});
    dir.recordLength = 52;
    dir.parent = 3;
    EXPECT_EQ(CheckDirectoryTable(p), Messages{"Crtitical error in parent element of path 1 - DATA"});
    dir.parent = 0;
    EXPECT_EQ(CheckDirectoryTable(p).size(), 1u);
}

TEST(PreCompileCheck, FileMessages) {
    Project p = Consistent();
    FileEntry& file = p.fileTable[0];
    file.sourcePath.reset();
    EXPECT_EQ(CheckFileTable(p), Messages{"ERROR: Null element in element path of 0 - A.B"});
    file.sourcePath = "/a.b";
    file.nameLength = 4;
    EXPECT_EQ(CheckFileTable(p), Messages{"Filesize error in filename of elemental path 0 - A.B"});
    file.nameLength = 3;
    file.recordLength = 53;
    EXPECT_EQ(CheckFileTable(p), Messages{"Error de tamaño en directorio del elemento file 0 - A.B"});
    file.recordLength = 52;
    file.parent = 9;
    EXPECT_EQ(CheckFileTable(p), Messages{"Critical error in the parent element file 0 - A.B"});
}

TEST(PreCompileCheck, OnlyTheFirstTableProblemAndAlwaysTheExtents) {
    Project p = test::NewProject();
    test::AddDir(p, "ONE");
    test::AddDir(p, "TWO");
    const int32_t outer = test::AddFile(p, "OUTER.BIN", 10 * 2048);
    const int32_t inner = test::AddFile(p, "INNER.BIN", 2 * 2048);
    Pin(p.fileTable[outer], 100);
    Pin(p.fileTable[inner], 102);  // strictly inside: the layout keeps both pins
    RecomputeLayout(p);
    ASSERT_EQ(p.layoutState.lbaDisplaced, 0);
    p.dirTable[1].sourcePath = "/x";
    p.dirTable[2].sourcePath = "/y";
    p.fileTable[outer].sourcePath.reset();  // not reported: the file check is skipped

    const Messages messages = PreCompileCheck(p);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "Elemento no nulo en ruta en elemento path 1 - ONE");
    // Extents: 0-2 directories, 3 OUTER.BIN, 4 INNER.BIN.
    EXPECT_EQ(messages[1], "LBA error in the subtable4 y 3");
    EXPECT_EQ(messages[2], "In filenameINNER.BIN LBA's 102 103");
    EXPECT_EQ(messages[3], " Collision with file  OUTER.BIN LBA's 100 109");
}

TEST(PreCompileCheck, DirectoryCollisionsAndOneSectorRanges) {
    Project p = test::NewProject();
    const int32_t a = test::AddDir(p, "A");
    const int32_t b = test::AddDir(p, "B");
    test::AddFile(p, "F.BIN", 1);
    p.extentTable = {{a, 100, 103, EXTENT_PINNED_DIR},
                     {FileId(0), 101, 101, EXTENT_PINNED_FILE},  // one sector: never reported
                     {b, 102, 110, EXTENT_PINNED_DIR}};
    EXPECT_EQ(CheckExtents(p), (Messages{"LBA error in the subtable2 y 0", "In path B LBA's 102 110",
                                         "collision with pathA LBA's 100 103"}));
    p.extentTable[2] = {b, 104, 110, EXTENT_PINNED_DIR};
    EXPECT_TRUE(CheckExtents(p).empty());
}

TEST(PreCompileCheck, ExtentsBeyondPosition4096AreNotExamined) {
    Project p = test::NewProject();
    test::AddFile(p, "F.BIN", 4096);
    for (int32_t i = 0; i < 4098; ++i) {
        p.extentTable.push_back({FileId(0), 10 * i, 10 * i + 1, EXTENT_PLACED_FILE});
    }
    p.extentTable[4097] = {FileId(0), 10 * 4096 + 1, 10 * 4096 + 5, EXTENT_PLACED_FILE};
    EXPECT_TRUE(CheckExtents(p).empty());
    p.extentTable[4096] = {FileId(0), 10 * 4095 + 1, 10 * 4095 + 5, EXTENT_PLACED_FILE};
    EXPECT_EQ(CheckExtents(p).front(), "LBA error in the subtable4096 y 4095");
}

TEST(ClearLbaMarks, ResetClearsPinsAndWarningsButNotTheRootOrOtherFlags) {
    Project p = test::NewProject();
    const int32_t dir = test::AddDir(p, "D");
    test::AddFile(p, "F.BIN", 1);
    const int32_t dummy = test::AddDummy(p, "X.BIN", 50, 4096);
    p.dirTable[0].flags = FLAG_LBA_SET;
    p.dirTable[dir].flags = FLAG_DISPLACED;
    p.fileTable[0].flags = FLAG_LBA_SET;
    p.fileTable[dummy].flags |= FLAG_SIZE_SET | FLAG_DISPLACED;

    Project warned = p;
    RemoveWarnings(warned);
    EXPECT_EQ(warned.dirTable[0].flags, FLAG_LBA_SET);
    EXPECT_EQ(warned.dirTable[dir].flags, 0);
    EXPECT_EQ(warned.fileTable[0].flags, FLAG_LBA_SET);
    EXPECT_EQ(warned.fileTable[dummy].flags, FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET);

    ResetLbas(p);
    EXPECT_EQ(p.dirTable[0].flags, FLAG_LBA_SET);
    EXPECT_EQ(p.dirTable[dir].flags, 0);
    EXPECT_EQ(p.fileTable[0].flags, 0);
    EXPECT_EQ(p.fileTable[dummy].flags, FLAG_DUMMY | FLAG_SIZE_SET);
}

}  // namespace
}  // namespace korvalin
