// A disc compiled, listed as IsoBuster lists it, extracted, imported in mode 0
// and compiled again gives the same image. (An empty file would not survive:
// it shares the LBA of the file after it, which the import then takes for a
// second name of the empty file's data.)

#include <gtest/gtest.h>

#include "image/compile_image.h"
#include "image/sample_disc.h"
#include "import/isobuster_import.h"
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

// Extracts an entry to `folder` under its disc path, with its source's date.
fs::path Extract(const Project& project, int32_t id, const fs::path& folder) {
    const fs::path target = folder / RelativePath(project, id);
    if (IsDirId(id)) {
        fs::create_directories(target);
    } else {
        fs::copy_file(*EntryById(project, id).sourcePath, target);
        fs::last_write_time(target, fs::last_write_time(*EntryById(project, id).sourcePath));
    }
    return target;
}

TEST(ImportRoundTrip, ModeZeroRebuildsTheSameImage) {
    test::TempDir work;
    const fs::path game = work / "GAME";
    test::WriteText(game / "SYSTEM.CNF", "BOOT = cdrom:\\MAIN.EXE;1\r\n");
    test::WriteBytes(game / "MAIN.EXE", std::vector<uint8_t>(70000, 0x5A));
    test::WriteBytes(game / "DATA" / "LEVEL.DAT", std::vector<uint8_t>(4096, 0x11));
    test::WriteText(game / "DATA" / "SUB" / "NOTE.TXT", "note");
    fs::last_write_time(game / "DATA" / "SUB", fs::last_write_time(game / "DATA" / "SUB" / "NOTE.TXT"));

    Project original = test::NewProject();
    ErrorLog log;
    const std::vector<std::string> items = {(game / "SYSTEM.CNF").string(),
                                            (game / "MAIN.EXE").string(),
                                            (game / "DATA").string()};
    ASSERT_EQ(AddFromDisk(original, items, log), 0);
    ASSERT_EQ(log.count(), 0);
    const fs::path disc = work / "disc";
    original.volumeInfo.SetLabel("DISC");  // the import names the volume after the listing's folder
    const auto first = test::CompileToBytes(original, work / "first.bin");

    // The listing: directories, then files, each in table order, as "LBA , \PATH".
    std::string listing;
    std::vector<std::pair<fs::path, fs::file_time_type>> folderTimes;
    for (int32_t d = 1; d < original.dirCount(); ++d) {
        const fs::path folder = Extract(original, d, disc);
        listing += std::to_string(original.dirTable[d].lba) + " , " + DiscPathOfEntry(original, d) + "\n";
        folderTimes.emplace_back(folder, fs::last_write_time(game / RelativePath(original, d)));
    }
    for (int32_t f = 0; f < original.fileCount(); ++f) {
        Extract(original, FileId(f), disc);
        listing += std::to_string(original.fileTable[f].lba) + " , " +
                   DiscPathOfEntry(original, FileId(f)) + "\n";
    }
    for (auto& [folder, time] : folderTimes) fs::last_write_time(folder, time);
    test::WriteText(disc / "LIST.TXT", listing);

    Project imported = test::NewProject();
    test::ScriptedUserPrompt prompt;
    ASSERT_EQ(ImportIsoBusterListing(imported, (disc / "LIST.TXT").string(), IMPORT_RESPECTIVE_LBA,
                                     CalendarTime{2030, 1, 1, 0, 0, 0}, log, prompt),
              0);
    EXPECT_EQ(log.count(), 0) << ErrorLogText(log);
    EXPECT_EQ(imported.volumeInfo.Label(), "DISC");
    imported.volumeInfo = original.volumeInfo;  // the import dates the volume with its own time
    EXPECT_EQ(test::DirPaths(imported), test::DirPaths(original));
    EXPECT_EQ(test::FilePaths(imported), test::FilePaths(original));
    EXPECT_TRUE(test::CompileToBytes(imported, work / "second.bin") == first);
}

}  // namespace
}  // namespace korvalin
