// SPDX-License-Identifier: GPL-3.0-or-later
// A disc compiled, written out as a tree listing, its entries extracted from
// the image as a disc reader would, imported in mode 0 and compiled again
// gives the same image: empty files, second names and entries lying inside
// other files included.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "image/compile_image.h"
#include "image/sample_disc.h"
#include "import/isobuster_import.h"
#include "import/listing_writer.h"
#include "layout/error_log.h"
#include "layout/recompute_layout.h"
#include "model/add_from_disk.h"
#include "model/disc_path.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

// The entry's disc path below the root, with '/'.
std::string RelativePath(const Project& project, int32_t id) {
    std::string relative = DiscPathOfEntry(project, id).substr(1);
    for (char& c : relative) c = c == '\\' ? '/' : c;
    return relative;
}

// Sets the file's last-write time to the entry's stored UTC date and time.
void StampDosTime(const fs::path& path, const EntryRecord& entry) {
    std::tm utc{};
    utc.tm_year = 80 + (entry.dosDate >> 9);
    utc.tm_mon = ((entry.dosDate >> 5) & 15) - 1;
    utc.tm_mday = entry.dosDate & 31;
    utc.tm_hour = entry.dosTime >> 11;
    utc.tm_min = (entry.dosTime >> 5) & 63;
    utc.tm_sec = (entry.dosTime & 31) * 2;
    const timespec times[2] = {{timegm(&utc), 0}, {timegm(&utc), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// Extracts every entry from the raw image under its disc path, as a disc
// reader does: a file's (or dummy's) recorded size from its LBA on.
void ExtractAll(const Project& project, const std::vector<uint8_t>& image, const fs::path& folder) {
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        const FileEntry& file = project.fileTable[f];
        std::vector<uint8_t> data;
        for (uint32_t done = 0; done < file.size; done += 2048) {
            const size_t at = (static_cast<size_t>(file.lba) + done / 2048) * 2352 + 24;
            const size_t part = std::min<size_t>(2048, file.size - done);
            data.insert(data.end(), image.begin() + at, image.begin() + at + part);
        }
        const fs::path target = folder / RelativePath(project, FileId(f));
        test::WriteBytes(target, data);
        StampDosTime(target, file);
    }
    for (int32_t d = project.dirCount() - 1; d >= 1; --d) {
        const fs::path target = folder / RelativePath(project, d);
        fs::create_directories(target);
        StampDosTime(target, project.dirTable[d]);
    }
}

// What the disc shows of each file: path, LBA and size.
std::vector<std::tuple<std::string, int32_t, uint32_t>> DiscFiles(const Project& project) {
    std::vector<std::tuple<std::string, int32_t, uint32_t>> files;
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        const FileEntry& file = project.fileTable[f];
        files.emplace_back(DiscPathOfEntry(project, FileId(f)), file.lba, file.size);
    }
    std::sort(files.begin(), files.end());  // the import fills the table level by level
    return files;
}

TEST(ImportRoundTrip, ModeZeroRebuildsTheSameImage) {
    test::TempDir work;
    const fs::path game = work / "GAME";
    test::WriteText(game / "SYSTEM.CNF", "BOOT = cdrom:\\MAIN.EXE;1\r\n");
    test::WriteBytes(game / "EMPTY.TXT", {});  // shares the LBA of MAIN.EXE, listed first
    std::vector<uint8_t> main(70000);
    for (size_t i = 0; i < main.size(); ++i) main[i] = static_cast<uint8_t>(i * 7 + i / 2048);
    test::WriteBytes(game / "MAIN.EXE", main);
    test::WriteBytes(game / "DATA" / "LEVEL.DAT", std::vector<uint8_t>(4096, 0x11));
    test::WriteText(game / "DATA" / "SUB" / "NOTE.TXT", "note");

    Project original = test::NewProject();
    ErrorLog log;
    const std::vector<std::string> items = {
        (game / "SYSTEM.CNF").string(), (game / "EMPTY.TXT").string(),
        (game / "MAIN.EXE").string(), (game / "DATA").string()};
    ASSERT_EQ(AddFromDisk(original, items, log), 0);
    ASSERT_EQ(log.count(), 0);
    RecomputeLayout(original);
    const int32_t mainLba = original.fileTable[2].lba;
    ASSERT_EQ(original.fileTable[1].lba, mainLba);
    // Second names: the whole of MAIN.EXE, its head, and two sectors inside it.
    for (const auto& [name, lba, size, dir] : {std::tuple{"SAME.EXE", mainLba, 70000u, 1},
                                               {"HEAD.BIN", mainLba, 100u, 1},
                                               {"INNER.BIN", mainLba + 3, 4096u, 2}}) {
        FileEntry& dummy = original.fileTable[test::AddDummy(original, name, lba, size, dir)];
        dummy.flags |= FLAG_SIZE_SET;
        dummy.dosDate = 5 + 6 * 32 + (2024 - 1980) * 512;  // 5 June 2024 10:20:30
        dummy.dosTime = 10 * 2048 + 20 * 32 + 15;
    }
    original.volumeInfo.SetLabel("DISC");  // the import names the volume after the listing's folder
    const auto first = test::CompileToBytes(original, work / "first.bin");

    const fs::path disc = work / "disc";
    ExtractAll(original, first, disc);
    test::WriteText(disc / "LIST.TXT", ListingText(original, ListingFormat::ISOBUSTER));

    Project imported = test::NewProject();
    test::ScriptedUserPrompt prompt;
    ASSERT_EQ(ImportIsoBusterListing(imported, (disc / "LIST.TXT").string(), IMPORT_RESPECTIVE_LBA,
                                     CalendarTime{2030, 1, 1, 0, 0, 0}, log, prompt),
              0);
    EXPECT_EQ(log.count(), 0) << ErrorLogText(log);
    EXPECT_EQ(imported.volumeInfo.Label(), "DISC");
    imported.volumeInfo = original.volumeInfo;  // the import dates the volume with its own time
    const auto second = test::CompileToBytes(imported, work / "second.bin");
    EXPECT_EQ(test::DirPaths(imported), test::DirPaths(original));
    EXPECT_EQ(DiscFiles(imported), DiscFiles(original));
    // Only MAIN.EXE's data is written again; every other name points into it.
    for (const FileEntry& file : imported.fileTable) {
        EXPECT_EQ(file.IsDummy(), file.lba >= mainLba && file.lba < mainLba + 35 &&
                                      file.Name() != "MAIN.EXE")
            << file.Name();
    }
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        ASSERT_EQ(second[i], first[i]) << "sector " << i / 2352 << " byte " << i % 2352;
    }
}

}  // namespace
}  // namespace korvalin
