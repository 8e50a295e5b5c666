// A project laid out, written as an IsoBuster listing beside its files, and
// imported again must come back with the same tree, names, sizes and LBAs.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "layout/recompute_layout.h"
#include "listing_fixture.h"
#include "model/add_from_disk.h"
#include "model/disc_path.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

// Every entry by its disc path, with all fields but the parent link; a
// dummy is dated by whoever made it, not by the data.
std::map<std::string, test::RecordFields> EntriesByPath(const Project& project) {
    std::map<std::string, test::RecordFields> entries;
    for (int32_t id = 1; id < FileId(project.fileCount()); ++id) {
        if (IsDirId(id) ? id >= project.dirCount() : !IsValidEntryId(project, id)) continue;
        EntryRecord e = EntryById(project, id);
        if (e.IsDummy()) e.dosDate = e.dosTime = 0;
        e.flags &= FLAG_DUMMY;
        entries[DiscPathOfEntry(project, id)] = test::FieldsOf(e);
    }
    return entries;
}

TEST(ImportRoundTrip, ModeZeroReproducesTreeNamesSizesAndLbas) {
    test::ListingFolder disc;
    disc.File("SYSTEM.CNF", 70);
    disc.File("MAIN.ELF", 300000);
    disc.File("DATA/MOVIE.STR", 100000);
    disc.File("DATA/SUB/B.BIN", 5000);
    disc.File("DATA/SUB/C.BIN", 2048);
    disc.File("SOUND/BGM.VAG", 2049);
    disc.Dir("EMPTY");
    Project original = test::NewProject();
    std::vector<std::string> items;
    for (const auto& entry : fs::directory_iterator(disc.folder())) items.push_back(entry.path());
    std::sort(items.begin(), items.end());
    ErrorLog log;
    ASSERT_EQ(AddFromDisk(original, items, log), ADD_FINISHED);
    // One file pinned out of table order, so that the listed LBAs matter.
    test::Pin(*std::find_if(original.fileTable.begin(), original.fileTable.end(),
                            [](const FileEntry& f) { return f.Name() == "BGM.VAG"; }),
              1000);
    RecomputeLayout(original);
    // A second name for MAIN.ELF's data, extracted as a copy of it.
    ASSERT_EQ(original.fileTable[0].Name(), "MAIN.ELF");
    test::AddDummy(original, "MAIN2.ELF", original.fileTable[0].lba);
    fs::copy_file(disc.folder() / "MAIN.ELF", disc.folder() / "MAIN2.ELF");
    RecomputeLayout(original);
    // "LBA , \PATH" for every directory and then every file, in table order.
    std::string listing;
    for (int32_t id = 1; id < FileId(original.fileCount()); ++id) {
        if (IsDirId(id) ? id >= original.dirCount() : !IsValidEntryId(original, id)) continue;
        listing += std::to_string(EntryById(original, id).lba) + " , " +
                   DiscPathOfEntry(original, id) + "\n";
    }
    disc.Listing(listing);

    Project imported = test::NewProject();
    const auto result = disc.Import(imported, IMPORT_RESPECTIVE_LBA);
    ASSERT_EQ(result.code, IMPORT_FINISHED);
    EXPECT_EQ(result.log.count(), 0);
    RecomputeLayout(imported);
    EXPECT_EQ(test::DirPaths(imported), test::DirPaths(original));
    EXPECT_EQ(EntriesByPath(imported), EntriesByPath(original));
    for (const FileEntry& file : imported.fileTable) EXPECT_TRUE(file.IsPinned());
    EXPECT_EQ(imported.layoutState.totalSectors, original.layoutState.totalSectors);
    EXPECT_EQ(imported.layoutState.lbaDisplaced, 0);
    EXPECT_EQ(imported.extentTable.size(), original.extentTable.size());
}

}  // namespace
}  // namespace korvalin
