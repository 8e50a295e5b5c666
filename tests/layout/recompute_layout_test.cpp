#include "layout/recompute_layout.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace korvalin {
namespace {

using test::AddDir;
using test::AddDummy;
using test::AddFile;

void Pin(EntryRecord& entry, int32_t lba) {
    entry.flags |= FLAG_LBA_SET;
    entry.lba = lba;
}

std::string Name(int i) {
    std::string digits = std::to_string(i);
    return "D" + std::string(7 - digits.size(), '0') + digits;  // eight characters
}

TEST(Layout, EmptyProjectPutsTheRootAt22) {
    Project project = test::NewProject();
    RecomputeLayout(project);
    const LayoutState& s = project.layoutState;
    EXPECT_EQ(s.pathTableBytes, 10);
    EXPECT_EQ(s.pathTableSectors, 1);
    EXPECT_EQ(project.dirTable[0].lba, 22);
    EXPECT_EQ(project.dirTable[0].size, 2048u);
    EXPECT_EQ(s.firstSubdirLba, 23);
    EXPECT_EQ(s.firstFileLba, 23);
    EXPECT_EQ(s.nextFreeLba, 23);
    EXPECT_EQ(s.totalSectors, 23);
    EXPECT_EQ(s.registeredFileCount, 0);
    EXPECT_EQ(s.lbaDisplaced, 0);
    ASSERT_EQ(project.extentTable.size(), 1u);
    EXPECT_EQ(project.extentTable[0], (Extent{0, 22, 22, EXTENT_PLACED_DIR}));
}

TEST(Layout, PathTableRecordEndingOnTheSectorBoundaryStartsTheNextSector) {
    // Root 10 + 126 x 16 + 12 = 2038 bytes; one more 10-byte record makes 2048.
    Project project = test::NewProject();
    for (int i = 0; i < 126; ++i) AddDir(project, Name(i));
    AddDir(project, "ABCD");
    RecomputeLayout(project);
    EXPECT_EQ(project.layoutState.pathTableBytes, 2038);
    EXPECT_EQ(project.layoutState.pathTableSectors, 1);
    EXPECT_EQ(project.dirTable[0].lba, 22);

    AddDir(project, "Z");
    RecomputeLayout(project);
    EXPECT_EQ(project.layoutState.pathTableBytes, 2048 + 10);
    EXPECT_EQ(project.layoutState.pathTableSectors, 2);
    EXPECT_EQ(project.dirTable[0].lba, 26);  // everything moves by four sectors
}

TEST(Layout, DirectoryRecordsFillingExactly2048BytesNeedASecondSector) {
    // 96 + 34 x 56 = 2000 fits; one 48-byte record more makes 2048.
    Project project = test::NewProject();
    for (int i = 0; i < 34; ++i) AddDir(project, Name(i));
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[0].size, 2048u);
    AddDir(project, "Z");
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[0].size, 4096u);
    EXPECT_EQ(project.layoutState.firstSubdirLba, 24);
    EXPECT_EQ(project.dirTable[1].lba, 24);
}

TEST(Layout, SubdirectoriesAndFilesFollowTheRootInTableOrder) {
    Project project = test::NewProject();
    const int32_t a = AddDir(project, "A");
    const int32_t b = AddDir(project, "B", a);
    const int32_t f0 = AddFile(project, "F0.BIN", 5000, b);  // 3 sectors
    const int32_t f1 = AddFile(project, "F1.BIN", 2048);
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[a].lba, 23);
    EXPECT_EQ(project.dirTable[b].lba, 24);
    EXPECT_EQ(project.layoutState.firstFileLba, 25);
    EXPECT_EQ(project.fileTable[f0].lba, 25);
    EXPECT_EQ(project.fileTable[f1].lba, 28);
    EXPECT_EQ(project.layoutState.nextFreeLba, 29);
    EXPECT_EQ(project.layoutState.totalSectors, 29);
    EXPECT_EQ(project.layoutState.registeredFileCount, 2);
}

TEST(Layout, LaterOfTwoOverlappingPinnedDirectoriesIsDisplaced) {
    Project project = test::NewProject();
    const int32_t a = AddDir(project, "A");
    const int32_t b = AddDir(project, "B");
    Pin(project.dirTable[a], 100);
    Pin(project.dirTable[b], 100);
    project.dirTable[b].flags |= 0x40;  // every other bit goes too
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[a].lba, 100);
    EXPECT_EQ(project.dirTable[a].flags, FLAG_LBA_SET);
    EXPECT_EQ(project.dirTable[b].flags, FLAG_DISPLACED);
    EXPECT_EQ(project.dirTable[b].lba, 23);  // placed after the root like any other
    EXPECT_EQ(project.layoutState.lbaDisplaced, 1);
    EXPECT_EQ(project.layoutState.firstFileLba, 24);
    EXPECT_EQ(project.layoutState.totalSectors, 101);

    // The mark stays, the run flag reports only the last run.
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[b].flags, FLAG_DISPLACED);
    EXPECT_EQ(project.layoutState.lbaDisplaced, 0);
}

TEST(Layout, UnpinnedDirectoriesStepOverPinnedRanges) {
    Project project = test::NewProject();
    const int32_t a = AddDir(project, "A");
    const int32_t b = AddDir(project, "B");
    const int32_t c = AddDir(project, "C");
    Pin(project.dirTable[a], 24);
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[b].lba, 23);
    EXPECT_EQ(project.dirTable[c].lba, 25);
    EXPECT_EQ(project.layoutState.firstFileLba, 26);
}

TEST(Layout, PinnedFileOnAPlacedDirectoryLosesItsPin) {
    Project project = test::NewProject();
    const int32_t d = AddDir(project, "DATA");
    const int32_t f = AddFile(project, "F.BIN", 4096);
    Pin(project.fileTable[f], 23);  // [23, 24] covers the directory at 23
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[d].lba, 23);
    EXPECT_EQ(project.fileTable[f].flags, FLAG_DISPLACED);
    EXPECT_EQ(project.fileTable[f].lba, 24);
    EXPECT_EQ(project.layoutState.lbaDisplaced, 1);
}

TEST(Layout, LaterOfTwoOverlappingPinnedFilesIsDisplaced) {
    Project project = test::NewProject();
    const int32_t f0 = AddFile(project, "A.BIN", 5 * 2048);
    const int32_t f1 = AddFile(project, "B.BIN", 2048);
    const int32_t f2 = AddFile(project, "C.BIN", 2 * 2048);
    Pin(project.fileTable[f0], 40);  // [40, 44]
    Pin(project.fileTable[f1], 44);  // touches its last sector
    Pin(project.fileTable[f2], 41);  // lies inside without touching either end: kept
    RecomputeLayout(project);
    EXPECT_EQ(project.fileTable[f0].flags, FLAG_LBA_SET);
    EXPECT_EQ(project.fileTable[f1].flags, FLAG_DISPLACED);
    EXPECT_EQ(project.fileTable[f2].flags, FLAG_LBA_SET);
    // The displaced file is placed from the cursor the previous pin left.
    EXPECT_EQ(project.fileTable[f1].lba, 45);
    EXPECT_EQ(project.layoutState.registeredFileCount, 3);
}

TEST(Layout, UnpinnedFileStartsAfterAPinnedFileBeforeIt) {
    Project project = test::NewProject();
    const int32_t pinned = AddFile(project, "P.BIN", 5000);  // 3 sectors
    const int32_t next = AddFile(project, "N.BIN", 100);
    Pin(project.fileTable[pinned], 50);
    RecomputeLayout(project);
    EXPECT_EQ(project.fileTable[next].lba, 53);
    EXPECT_EQ(project.layoutState.nextFreeLba, 54);
    EXPECT_EQ(project.layoutState.totalSectors, 54);
    EXPECT_EQ(project.layoutState.firstFileLba, 23);
}

TEST(Layout, EmptyFileSharesTheLbaOfTheFileAfterIt) {
    Project project = test::NewProject();
    const int32_t empty = AddFile(project, "EMPTY.TXT", 0);
    const int32_t next = AddFile(project, "NEXT.BIN", 3 * 2048);
    RecomputeLayout(project);
    EXPECT_EQ(project.fileTable[empty].lba, 23);
    EXPECT_EQ(project.fileTable[next].lba, 23);
    EXPECT_EQ(project.layoutState.nextFreeLba, 26);
    EXPECT_EQ(project.layoutState.totalSectors, 26);
    // Its one-sector window is in the table.
    EXPECT_EQ(project.extentTable[1], (Extent{4096, 23, 23, EXTENT_PLACED_FILE}));
}

TEST(Layout, FileAfterAPinnedEmptyFileTakesItsLba) {
    Project project = test::NewProject();
    const int32_t empty = AddFile(project, "EMPTY.TXT", 0);
    const int32_t next = AddFile(project, "NEXT.BIN", 2048);
    Pin(project.fileTable[empty], 30);
    RecomputeLayout(project);
    EXPECT_EQ(project.extentTable.back().entryId, 4096 + next);
    EXPECT_EQ(project.extentTable[1], (Extent{4096, 30, 29, EXTENT_PINNED_FILE}));
    EXPECT_EQ(project.fileTable[next].lba, 30);
    EXPECT_EQ(project.layoutState.nextFreeLba, 31);
}

TEST(Layout, OneSectorFileHoldingDataIsSteppedOver) {
    Project project = test::NewProject();
    const int32_t two = AddFile(project, "TWO.BIN", 4096);
    const int32_t pinned = AddFile(project, "ONE.BIN", 100);
    Pin(project.fileTable[pinned], 24);
    RecomputeLayout(project);
    // [23, 24] meets the one-sector extent at 24 and moves past it.
    EXPECT_EQ(project.fileTable[two].lba, 25);
}

TEST(Layout, DummiesTakeTheSizeOfTheRealFileOnTheirLbaUnlessSizeIsSet) {
    Project project = test::NewProject();
    const int32_t real = AddFile(project, "REAL.BIN", 12345);
    const int32_t copy = AddDummy(project, "COPY.BIN", 23, 7);
    const int32_t own = AddDummy(project, "OWN.BIN", 23, 99);
    project.fileTable[own].flags |= FLAG_SIZE_SET;
    const int32_t far = AddDummy(project, "FAR.BIN", 100000, 5);
    RecomputeLayout(project);
    EXPECT_EQ(project.fileTable[real].lba, 23);
    EXPECT_EQ(project.fileTable[copy].size, 12345u);
    EXPECT_EQ(project.fileTable[own].size, 99u);
    EXPECT_EQ(project.fileTable[far].size, 5u);  // no real file there: keeps its size
    EXPECT_EQ(project.fileTable[far].lba, 100000);
    EXPECT_EQ(project.layoutState.totalSectors, 30);  // dummies never raise it
    EXPECT_EQ(project.layoutState.registeredFileCount, 1);
    EXPECT_EQ(project.extentTable.size(), 2u);
}

TEST(Layout, PinnedRootKeepsItsPlaceAndSubdirectoriesStartAtTheFirstDataLba) {
    Project project = test::NewProject();
    Pin(project.dirTable[0], 40);
    const int32_t a = AddDir(project, "A");
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[0].lba, 40);
    EXPECT_EQ(project.layoutState.firstSubdirLba, 22);
    EXPECT_EQ(project.dirTable[a].lba, 22);
    EXPECT_EQ(project.layoutState.firstFileLba, 23);
    EXPECT_EQ(project.layoutState.totalSectors, 41);
}

TEST(Layout, ExtremeValuesFromAFileDoNotBreakTheRun) {
    Project project = test::NewProject();
    const int32_t f = AddFile(project, "BIG.BIN", 0xFFFFFFFFu);
    Pin(project.fileTable[f], 0x7FFFFFFF);
    const int32_t d = AddDir(project, "D");
    Pin(project.dirTable[d], -5);
    AddFile(project, "NEXT.BIN", 0x7FFFFFFF);
    RecomputeLayout(project);  // must simply finish, without overflow
    EXPECT_EQ(project.dirTable[0].lba, 22);
}

}  // namespace
}  // namespace korvalin

namespace korvalin {
namespace {

TEST(Layout, AbsurdNameLengthsFromADamagedFileDoNotOverflow) {
    Project project = test::NewProject();
    for (int i = 0; i < 1000; ++i) {
        const int32_t d = test::AddDir(project, "D");
        project.dirTable[d].nameLength = 0xFFFFFFF0u;
        project.dirTable[d].recordLength = 0xFFFFFFF0u;
    }
    RecomputeLayout(project);  // finishes without signed overflow (checked under UBSan)
    EXPECT_GT(project.layoutState.pathTableSectors, 1);
}

}  // namespace
}  // namespace korvalin
