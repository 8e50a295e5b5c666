// A project laid out, written as an IsoBuster listing beside its files, and
// imported again must come back with the same tree, names, sizes and LBAs.

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <map>
#include <stdexcept>

#include "layout/recompute_layout.h"
#include "listing_fixture.h"
#include "model/add_from_disk.h"
#include "model/disc_path.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

struct Seen {
    int32_t lba;
    uint32_t size;
    std::string parentPath;
    uint16_t flags;
    uint16_t dosDate;
    uint16_t dosTime;
    std::optional<std::string> source;
    bool operator==(const Seen&) const = default;
};

std::map<std::string, Seen> EntriesByPath(const Project& project, bool files) {
    std::map<std::string, Seen> seen;
    const int32_t count = files ? project.fileCount() : project.dirCount();
    for (int32_t i = files ? 0 : 1; i < count; ++i) {
        const int32_t id = files ? FileId(i) : i;
        const EntryRecord& e = EntryById(project, id);
        const std::string parent = e.parent == 1 ? "\\" : DiscPathOfEntry(project, e.parent - 1);
        const bool dummy = e.IsDummy();  // dated by whoever made it, not by the data
        seen[DiscPathOfEntry(project, id)] =
            Seen{e.lba,
                 e.size,
                 parent,
                 static_cast<uint16_t>(e.flags & FLAG_DUMMY),
                 dummy ? uint16_t{0} : e.dosDate,
                 dummy ? uint16_t{0} : e.dosTime,
                 e.sourcePath};
    }
    return seen;
}

std::vector<std::string> DirOrder(const Project& project) {
    std::vector<std::string> order;
    for (int32_t d = 1; d < project.dirCount(); ++d) order.push_back(DiscPathOfEntry(project, d));
    return order;
}

// "LBA , \PATH" for every directory and then every file, in table order.
std::string ListingOf(const Project& project) {
    std::string text;
    for (int32_t d = 1; d < project.dirCount(); ++d) {
        text += std::to_string(project.dirTable[d].lba) + " , " + DiscPathOfEntry(project, d) + "\n";
    }
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        text += std::to_string(project.fileTable[f].lba) + " , " +
                DiscPathOfEntry(project, FileId(f)) + "\n";
    }
    return text;
}

FileEntry& FileNamed(Project& project, std::string_view name) {
    for (FileEntry& file : project.fileTable) {
        if (file.Name() == name) return file;
    }
    throw std::runtime_error("no file " + std::string(name));
}

class ImportRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        disc_.File("SYSTEM.CNF", 70);
        disc_.File("MAIN.ELF", 300000);
        disc_.File("DATA/MOVIE.STR", 100000);
        disc_.File("DATA/SUB/B.BIN", 5000);
        disc_.File("DATA/SUB/C.BIN", 2048);
        disc_.File("SOUND/BGM.VAG", 2049);
        disc_.Dir("EMPTY");
        original_ = test::NewProject();
        std::vector<std::string> items;
        for (const auto& entry : fs::directory_iterator(disc_.folder())) {
            items.push_back(entry.path().string());
        }
        std::sort(items.begin(), items.end());
        ErrorLog log;
        ASSERT_EQ(AddFromDisk(original_, items, log), ADD_FINISHED);
        ASSERT_EQ(log.count(), 0);
        // One file pinned out of table order, so the listed LBAs matter.
        FileEntry& bgm = FileNamed(original_, "BGM.VAG");
        bgm.flags = FLAG_LBA_SET;
        bgm.lba = 1000;
        RecomputeLayout(original_);
        // A second name for MAIN.ELF's data, extracted as a copy of it.
        test::AddDummy(original_, "MAIN2.ELF", FileNamed(original_, "MAIN.ELF").lba);
        fs::copy_file(disc_.folder() / "MAIN.ELF", disc_.folder() / "MAIN2.ELF");
        RecomputeLayout(original_);
        disc_.Listing(ListingOf(original_));
    }

    test::ListingFolder disc_;
    Project original_;
};

TEST_F(ImportRoundTrip, ModeZeroReproducesTreeNamesSizesAndLbas) {
    Project imported = test::NewProject();
    const auto result = disc_.Import(imported, IMPORT_RESPECTIVE_LBA);
    ASSERT_EQ(result.code, IMPORT_FINISHED);
    EXPECT_EQ(result.log.count(), 0);
    RecomputeLayout(imported);

    EXPECT_EQ(DirOrder(imported), DirOrder(original_));
    EXPECT_EQ(EntriesByPath(imported, false), EntriesByPath(original_, false));
    EXPECT_EQ(EntriesByPath(imported, true), EntriesByPath(original_, true));
    for (const FileEntry& file : imported.fileTable) EXPECT_TRUE(file.IsPinned());
    EXPECT_EQ(imported.layoutState.totalSectors, original_.layoutState.totalSectors);
    EXPECT_EQ(imported.layoutState.lbaDisplaced, 0);
    EXPECT_EQ(imported.extentTable.size(), original_.extentTable.size());
}

TEST_F(ImportRoundTrip, ModeOneKeepsTheLbasUnpinnedAndOrdersTheFilesByThem) {
    Project imported = test::NewProject();
    ASSERT_EQ(disc_.Import(imported, IMPORT_RESPECTIVE_ORDER).code, IMPORT_FINISHED);
    EXPECT_EQ(EntriesByPath(imported, true), EntriesByPath(original_, true));
    for (int32_t f = 0; f < imported.fileCount(); ++f) {
        EXPECT_FALSE(imported.fileTable[f].IsPinned());
        if (f > 0) {
            EXPECT_LE(imported.fileTable[f - 1].lba, imported.fileTable[f].lba);
        }
    }
}

}  // namespace
}  // namespace korvalin
