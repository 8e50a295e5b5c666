// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/recompute_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "layout/taken_sectors.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::AddDir;
using test::AddDummy;
using test::AddFile;
using test::Pin;
using Values = std::vector<int32_t>;

Values Lbas(const std::vector<EntryRecord>& table) {
    Values lbas;
    for (const EntryRecord& e : table) lbas.push_back(e.lba);
    return lbas;
}

Values Flags(const std::vector<EntryRecord>& table) {
    Values flags;
    for (const EntryRecord& e : table) flags.push_back(e.flags);
    return flags;
}

// firstSubdirLba, firstFileLba, nextFreeLba, totalSectors, registeredFileCount, lbaDisplaced
Values State(const Project& p) {
    const LayoutState& s = p.layoutState;
    return {s.firstSubdirLba, s.firstFileLba,        s.nextFreeLba,
            s.totalSectors,   s.registeredFileCount, s.lbaDisplaced};
}

TEST(Layout, RecordsEndingOnASectorBoundaryStartTheNextSector) {
    // Path table: root 10 + 126 x 16 + 12 = 2038 bytes; one more 10-byte record makes 2048.
    Project project = test::NewProject();
    for (int i = 0; i < 126; ++i) AddDir(project, std::to_string(10000000 + i));
    AddDir(project, "ABCD");
    RecomputeLayout(project);
    EXPECT_EQ(project.layoutState.pathTableBytes, 2038);
    EXPECT_EQ(project.dirTable[0].lba, 22);
    AddDir(project, "Z");
    RecomputeLayout(project);
    EXPECT_EQ(project.layoutState.pathTableBytes, 2048 + 10);
    EXPECT_EQ(project.layoutState.pathTableSectors, 2);
    EXPECT_EQ(project.dirTable[0].lba, 26);  // everything moves by four sectors

    // Directory records: 96 + 34 x 56 = 2000 fits; one 48-byte record more makes 2048.
    project = test::NewProject();
    for (int i = 0; i < 34; ++i) AddDir(project, std::to_string(10000000 + i));
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[0].size, 2048u);
    AddDir(project, "Z");
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[0].size, 4096u);
    EXPECT_EQ(project.dirTable[1].lba, 24);
}

TEST(Layout, TheRootAt22ThenDirectoriesThenFilesInTableOrder) {
    Project project = test::NewProject();
    RecomputeLayout(project);
    EXPECT_EQ(project.layoutState.pathTableBytes, 10);
    EXPECT_EQ(project.layoutState.pathTableSectors, 1);
    EXPECT_EQ(project.dirTable[0].size, 2048u);
    EXPECT_EQ(State(project), (Values{23, 23, 23, 23, 0, 0}));
    EXPECT_EQ(project.extentTable, (ExtentTable{{0, 22, 22, EXTENT_PLACED_DIR}}));

    const int32_t a = AddDir(project, "A");
    AddFile(project, "F0.BIN", 5000, AddDir(project, "B", a));  // 3 sectors
    AddFile(project, "F1.BIN", 2048);
    RecomputeLayout(project);
    EXPECT_EQ(Lbas(project.dirTable), (Values{22, 23, 24}));
    EXPECT_EQ(Lbas(project.fileTable), (Values{25, 28}));
    EXPECT_EQ(State(project), (Values{23, 25, 29, 29, 2, 0}));
}

TEST(Layout, PinnedDirectoriesAreKeptSteppedOverOrDisplaced) {
    Project project = test::NewProject();
    for (const char* name : {"A", "B", "C", "D"}) AddDir(project, name);
    Pin(project.dirTable[1], 100);
    Pin(project.dirTable[2], 100);
    project.dirTable[2].flags |= 0x40;  // every other bit goes too
    Pin(project.dirTable[3], 24);
    RecomputeLayout(project);
    // B is placed after the root like any other, D steps over C's pin.
    EXPECT_EQ(Lbas(project.dirTable), (Values{22, 100, 23, 24, 25}));
    EXPECT_EQ(Flags(project.dirTable), (Values{0, FLAG_LBA_SET, FLAG_DISPLACED, FLAG_LBA_SET, 0}));
    EXPECT_EQ(State(project), (Values{23, 26, 26, 101, 0, 1}));
    // The mark stays, the run flag reports only the last run.
    RecomputeLayout(project);
    EXPECT_EQ(project.dirTable[2].flags, FLAG_DISPLACED);
    EXPECT_EQ(project.layoutState.lbaDisplaced, 0);

    // A pinned root keeps its place; the others start at the first data LBA.
    project = test::NewProject();
    Pin(project.dirTable[0], 40);
    AddDir(project, "A");
    RecomputeLayout(project);
    EXPECT_EQ(Lbas(project.dirTable), (Values{40, 22}));
    EXPECT_EQ(State(project), (Values{22, 23, 23, 41, 0, 0}));
}

TEST(Layout, PinnedFilesAreKeptOrDisplacedAndUnpinnedOnesMoveOn) {
    Project project = test::NewProject();
    AddDir(project, "DATA");
    for (uint32_t size : {5u * 2048, 2048u, 2u * 2048, 4096u, 5000u, 100u})
        AddFile(project, "F", size);
    Pin(project.fileTable[0], 40);  // [40, 44]
    Pin(project.fileTable[1], 44);  // shares its last sector: displaced
    Pin(project.fileTable[2], 41);  // inside it: displaced too
    Pin(project.fileTable[3], 23);  // covers the directory placed at 23: displaced
    Pin(project.fileTable[4], 50);  // [50, 52]; the unpinned file after it starts at 53
    RecomputeLayout(project);
    // Displaced files are placed from the cursor the previous pin left.
    EXPECT_EQ(Lbas(project.fileTable), (Values{40, 45, 46, 48, 50, 53}));
    EXPECT_EQ(Flags(project.fileTable), (Values{FLAG_LBA_SET, FLAG_DISPLACED, FLAG_DISPLACED,
                                                FLAG_DISPLACED, FLAG_LBA_SET, 0}));
    EXPECT_EQ(State(project), (Values{23, 24, 54, 54, 6, 1}));
}

TEST(Layout, EmptyFilesShareTheLbaOfTheFileAfterThem) {
    Project project = test::NewProject();
    AddFile(project, "EMPTY.TXT", 0);
    AddFile(project, "NEXT.BIN", 3 * 2048);
    RecomputeLayout(project);
    EXPECT_EQ(Lbas(project.fileTable), (Values{23, 23}));
    EXPECT_EQ(project.layoutState.nextFreeLba, 26);
    EXPECT_EQ(project.extentTable[1], (Extent{FileId(0), 23, 23, EXTENT_PLACED_FILE}));

    Pin(project.fileTable[0], 30);
    RecomputeLayout(project);
    EXPECT_EQ(project.extentTable[1], (Extent{FileId(0), 30, 29, EXTENT_PINNED_FILE}));
    EXPECT_EQ(Lbas(project.fileTable), (Values{30, 30}));
    EXPECT_EQ(project.layoutState.nextFreeLba, 33);

    // A one-sector file holding data is stepped over: [23, 24] meets it at 24.
    project = test::NewProject();
    AddFile(project, "TWO.BIN", 4096);
    Pin(project.fileTable[AddFile(project, "ONE.BIN", 100)], 24);
    RecomputeLayout(project);
    EXPECT_EQ(project.fileTable[0].lba, 25);

    // Empty files hold no sector: they never push a file on, nor lose their pin.
    project = test::NewProject();
    AddFile(project, "A", 0);
    AddFile(project, "B", 5000);
    Pin(project.fileTable[AddFile(project, "C", 3000)], 23);
    Pin(project.fileTable[AddFile(project, "E", 0)], 24);            // on C's data
    Pin(project.fileTable[AddFile(project, "F", 0x80000000u)], 25);  // reads as empty
    AddFile(project, "D", 100);
    RecomputeLayout(project);
    EXPECT_EQ(Lbas(project.fileTable), (Values{25, 25, 23, 24, 25, 28}));
    EXPECT_EQ(State(project), (Values{23, 23, 29, 29, 6, 0}));
}

TEST(Layout, DummiesTakeTheSizeOfTheRealFileOnTheirLbaUnlessSizeIsSet) {
    Project project = test::NewProject();
    AddFile(project, "REAL.BIN", 12345);
    AddDummy(project, "COPY.BIN", 23, 7);
    project.fileTable[AddDummy(project, "OWN.BIN", 23, 99)].flags |= FLAG_SIZE_SET;
    AddDummy(project, "FAR.BIN", 100000, 5);
    AddDummy(project, "NONE.BIN", 200000, 0);
    RecomputeLayout(project);
    EXPECT_EQ(Lbas(project.fileTable), (Values{23, 23, 23, 100000, 200000}));
    EXPECT_EQ(project.fileTable[1].size, 12345u);
    EXPECT_EQ(project.fileTable[2].size, 99u);
    EXPECT_EQ(project.fileTable[3].size, 5u);  // no real file there: keeps its size
    // The image holds the sector a dummy reserves; an empty one reserves none.
    EXPECT_EQ(project.layoutState.totalSectors, 100001);
    EXPECT_EQ(project.layoutState.registeredFileCount, 1);
    EXPECT_EQ(project.extentTable.size(), 2u);
}

// A random project: pins (nested ones too) on `span` sectors from LBA 20,
// empty and one-sector files, files of 2 GiB, pinned directories, dummies.
Project RandomProject(std::mt19937& random, int32_t maxDirs, int32_t maxFiles, int32_t span) {
    const auto pick = [&](int32_t n) { return static_cast<int32_t>(random() % static_cast<uint32_t>(n)); };
    Project project = test::NewProject();
    const int32_t dirs = pick(maxDirs);
    for (int32_t d = 0; d < dirs; ++d) AddDir(project, "D" + std::to_string(d), pick(d + 1));
    const uint32_t sizes[] = {0, 1, 2048, 2049, 5000, 3 * 2048, 20000, 0x80000000u};
    const int32_t files = pick(maxFiles);
    for (int32_t f = 0; f < files; ++f) {
        const uint32_t size = pick(4) == 0 ? static_cast<uint32_t>(pick(40 * 2048)) : sizes[pick(8)];
        if (pick(8) == 0) {
            AddDummy(project, "Y", 20 + pick(span), size, pick(dirs + 1));
        } else {
            AddFile(project, "F", size, pick(dirs + 1));
        }
    }
    for (EntryRecord& e : project.dirTable) if (pick(4) == 0) Pin(e, 20 + pick(span));
    for (EntryRecord& e : project.fileTable) if (!e.IsDummy() && pick(3) == 0) Pin(e, 20 + pick(span));
    return project;
}

// The obviously right first fit: move past every range the candidate meets
// and scan again until it meets none.
class RescanningTakenSectors : public TakenSectors {
public:
    bool Meets(int64_t first, int64_t last) const override {
        return std::any_of(ranges_.begin(), ranges_.end(),
                           [&](const auto& r) { return first <= r.second && r.first <= last; });
    }
    int64_t FirstFreeFrom(int64_t start, int64_t sectors) const override {
        for (bool moved = true; moved;) {
            moved = false;
            for (const auto& [f, l] : ranges_) {
                if (start <= l && f <= start + sectors - 1) {
                    start = l + 1;
                    moved = true;
                }
            }
        }
        return start;
    }
    void Take(int64_t first, int64_t last) override { ranges_.emplace_back(first, last); }

private:
    std::vector<std::pair<int64_t, int64_t>> ranges_;
};

// The search tree lays out exactly as the rescanning scan; after the layout
// no two extents that hold data share a sector, every directory and real
// file has its one extent at its LBA, every pin that was not displaced
// holds, and a second run changes nothing but the report of displacements.
TEST(Layout, RandomProjectsNeverShareADataSectorAndMatchTheRescanningScan) {
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        Project project = round % 2 ? RandomProject(random, 40, 150, 600) : RandomProject(random, 6, 30, 40);
        if (round % 50 == 0) Pin(project.dirTable[0], INT32_MAX - 3);  // far up: nothing wraps round
        const Project before = project;
        Project reference = project;
        RescanningTakenSectors rescanning;
        RecomputeLayout(project);
        RecomputeLayout(reference, rescanning);
        ASSERT_EQ(project.layoutState, reference.layoutState) << round;
        ASSERT_EQ(project.extentTable, reference.extentTable) << round;
        ASSERT_EQ(test::FieldsOf(project.dirTable), test::FieldsOf(reference.dirTable)) << round;
        ASSERT_EQ(test::FieldsOf(project.fileTable), test::FieldsOf(reference.fileTable)) << round;

        std::vector<std::pair<int32_t, int32_t>> data;
        std::vector<int> extentsOf(static_cast<size_t>(FileId(project.fileCount())), 0);
        for (const Extent& e : project.extentTable) {
            ++extentsOf[static_cast<size_t>(e.entryId)];
            EXPECT_EQ(EntryById(project, e.entryId).lba, e.firstLba);
            if (ExtentHoldsData(project, e)) data.emplace_back(e.firstLba, e.lastLba);
        }
        std::sort(data.begin(), data.end());
        for (size_t i = 1; i < data.size(); ++i) ASSERT_LT(data[i - 1].second, data[i].first) << round;
        for (int32_t id = 0; id < FileId(project.fileCount()); ++id) {
            if (!IsValidEntryId(project, id)) continue;
            const EntryRecord& was = EntryById(before, id);
            const EntryRecord& is = EntryById(project, id);
            EXPECT_EQ(extentsOf[static_cast<size_t>(id)], is.IsDummy() ? 0 : 1);
            if (was.IsPinned() && is.flags != FLAG_DISPLACED) {
                EXPECT_EQ(is.lba, was.lba);
            }
        }
        Project again = project;
        RecomputeLayout(again);
        again.layoutState.lbaDisplaced = project.layoutState.lbaDisplaced;
        EXPECT_EQ(again.layoutState, project.layoutState);
        EXPECT_EQ(again.extentTable, project.extentTable);
    }
}

}  // namespace
}  // namespace korvalin
