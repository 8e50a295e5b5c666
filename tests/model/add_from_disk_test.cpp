#include "model/add_from_disk.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using test::DirPaths;
using test::FilePaths;
using Lines = std::vector<std::string>;

struct AddResult {
    int code = -1;
    ErrorLog log;
    std::vector<int32_t> progress;
};

AddResult Drop(Project& project, const std::vector<fs::path>& paths) {
    AddResult result;
    std::vector<std::string> dropped;
    for (const fs::path& p : paths) dropped.push_back(p.string());
    result.code = AddFromDisk(project, dropped, result.log,
                              [&](int32_t position) { result.progress.push_back(position); });
    for (const DirEntry& dir : project.dirTable) EXPECT_FALSE(dir.sourcePath.has_value());
    return result;
}

TEST(AddFromDisk, FolderThenItsItemsInListingOrderThenTheNextLevel) {
    test::TempDir disk;
    const fs::path game = disk / "game";
    fs::create_directories(game / "zsub" / "deep");
    fs::create_directories(game / "asub");
    // Created in reverse, so that the order comes from the listing, not the disk.
    for (int i = 9; i >= 0; --i) test::WriteText(game / ("f" + std::to_string(i) + ".bin"), "abc");
    test::WriteText(game / "asub" / "in_a.txt", "12345");
    test::WriteText(game / "zsub" / "deep" / "x.bin", "");

    Project project = test::NewProject();
    const AddResult result = Drop(project, {game});
    EXPECT_EQ(result.code, ADD_FINISHED);
    EXPECT_EQ(result.log.count(), 0);
    EXPECT_EQ(DirPaths(project),
              (Lines{"\\GAME", "\\GAME\\ASUB", "\\GAME\\ZSUB", "\\GAME\\ZSUB\\DEEP"}));
    Lines files;
    for (int i = 0; i <= 9; ++i) files.push_back("\\GAME\\F" + std::to_string(i) + ".BIN");
    files.push_back("\\GAME\\ASUB\\IN_A.TXT");
    files.push_back("\\GAME\\ZSUB\\DEEP\\X.BIN");
    EXPECT_EQ(FilePaths(project), files);

    const FileEntry& inA = project.fileTable[10];
    EXPECT_EQ(inA.size, 5u);
    EXPECT_EQ(inA.lba, -1);
    EXPECT_EQ(inA.flags, 0);
    EXPECT_EQ(inA.recordLength, 58u);  // IN_A.TXT: 8 + 49 + 1
    EXPECT_EQ(inA.sourcePath, (game / "asub" / "in_a.txt").string());
    EXPECT_EQ(project.dirTable[1].size, 0u);
    EXPECT_EQ(project.dirTable[1].recordLength, 52u);
    // Bar at 1, then one step per file from 2.
    ASSERT_EQ(result.progress.size(), 13u);
    EXPECT_EQ(result.progress.front(), 1);
    EXPECT_EQ(result.progress.back(), 13);
}

TEST(AddFromDisk, DatesEntriesWithTheLastWriteTimeInUtc) {
    test::TempDir disk;
    test::WriteText(disk / "a.bin", "x");
    const timespec times[2] = {{1717582830, 0}, {1717582830, 0}};  // 2024-06-05 10:20:30 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, (disk / "a.bin").c_str(), times, 0), 0);
    test::WriteText(disk / "old.bin", "x");
    const timespec epoch[2] = {{0, 0}, {0, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (disk / "old.bin").c_str(), epoch, 0), 0);
    Project project = test::NewProject();
    Drop(project, {disk / "a.bin", disk / "old.bin"});
    ASSERT_EQ(project.fileCount(), 2);
    EXPECT_EQ(project.fileTable[0].dosDate, 5 + 32 * 6 + 512 * 44);
    EXPECT_EQ(project.fileTable[0].dosTime, 15 + 32 * 20 + 2048 * 10);
    // Before 1980 a DOS date cannot say: the earliest one is used.
    EXPECT_EQ(project.fileTable[1].dosDate, 1 + 32 * 1);
    EXPECT_EQ(project.fileTable[1].dosTime, 0);
}

TEST(AddFromDisk, DuplicatesAreLoggedAndFoldersMergeIntoExistingDirectories) {
    test::TempDir disk;
    fs::create_directories(disk / "one" / "GAME");
    fs::create_directories(disk / "two" / "game" / "movies");
    fs::create_directories(disk / "three" / "Game");
    test::WriteText(disk / "one" / "GAME" / "A.BIN", "first");
    test::WriteText(disk / "two" / "game" / "a.bin", "second, longer");
    test::WriteText(disk / "two" / "game" / "b.bin", "b");
    test::WriteText(disk / "two" / "game" / "movies" / "m.str", "m");
    test::WriteText(disk / "three" / "Game" / "c.bin", "c");

    Project project = test::NewProject();
    Drop(project, {disk / "one" / "GAME"});
    ASSERT_EQ(project.fileCount(), 1);
    // Two folders merge into GAME in the order they came.
    const AddResult again = Drop(project, {disk / "two" / "game", disk / "one" / "GAME" / "A.BIN",
                                           disk / "two" / "game" / "a.bin", disk / "three" / "Game"});
    EXPECT_EQ(again.code, ADD_FINISHED);
    EXPECT_EQ(again.log.lines(), (Lines{"* Directory name already exists: \\GAME",
                                        "ERROR: File already exists:  \\A.BIN ",
                                        "* Directory name already exists: \\GAME",
                                        "ERROR: File already exists:  \\GAME\\A.BIN "}));
    EXPECT_EQ(DirPaths(project), (Lines{"\\GAME", "\\GAME\\MOVIES"}));
    EXPECT_EQ(FilePaths(project), (Lines{"\\GAME\\A.BIN", "\\A.BIN", "\\GAME\\B.BIN",
                                         "\\GAME\\C.BIN", "\\GAME\\MOVIES\\M.STR"}));
    EXPECT_EQ(project.fileTable[0].size, 5u);  // the existing entry is untouched
}

TEST(AddFromDisk, IllegalNamesAreRefusedWithTheirShortenedForm) {
    test::TempDir disk;
    fs::create_directories(disk / "ABC.D");
    fs::create_directories(disk / "my dir");
    for (const char* name : {"LongFileName.txt", ".hidden", "readme.txt", "SLUS_123.45"}) {
        test::WriteText(disk / name, "x");
    }
    Project project = test::NewProject();
    project.currentDir = test::AddDir(project, "SUB");
    const AddResult result = Drop(project, {disk / "ABC.D", disk / "my dir", disk / "LongFileName.txt",
                                            disk / ".hidden", disk / "readme.txt",
                                            disk / "SLUS_123.45"});
    EXPECT_EQ(result.code, ADD_FINISHED);
    EXPECT_EQ(result.log.lines(), (Lines{" Illegal directory name for: \\SUB\\ABC.D ",
                                         "WARNING: illgal filename: \\SUB\\LONGFI~1.TXT ",
                                         "WARNING: illgal filename: \\SUB\\.HIDDEN "}));
    EXPECT_EQ(DirPaths(project), (Lines{"\\SUB", "\\SUB\\MYDIR"}));
    EXPECT_EQ(FilePaths(project), (Lines{"\\SUB\\README.TXT", "\\SUB\\SLUS_123.45"}));
}

TEST(AddFromDisk, MissingItemsLinksAndSpecialFiles) {
    test::TempDir disk;
    test::WriteText(disk / "real.bin", "12345678");
    fs::create_directory(disk / "folder");
    fs::create_symlink(disk / "real.bin", disk / "folder" / "link.bin");
    fs::create_symlink(disk / "nowhere", disk / "folder" / "broken.bin");
    ASSERT_EQ(::mkfifo((disk / "folder" / "pipe").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((disk / "dropped_pipe").c_str(), 0600), 0);
    Project project = test::NewProject();
    const AddResult result =
        Drop(project, {disk / "folder", disk / "absent.bin", disk / "dropped_pipe"});
    EXPECT_EQ(result.log.lines(),
              (Lines{"ERROR: File not found: " + (disk / "absent.bin").string() + " ",
                     "ERROR: Not a file or folder: " + (disk / "dropped_pipe").string() + " ",
                     "ERROR: File not found: " + (disk / "folder" / "broken.bin").string() + " "}));
    ASSERT_EQ(FilePaths(project), (Lines{"\\FOLDER\\LINK.BIN"}));
    EXPECT_EQ(project.fileTable[0].size, 8u);  // the link's target
    EXPECT_EQ(project.fileTable[0].sourcePath, (disk / "folder" / "link.bin").string());
}

TEST(AddFromDisk, StopsAtTheTableLimits) {
    test::TempDir disk;
    fs::create_directory(disk / "three");
    for (const char* name : {"a.bin", "b.bin", "c.bin"}) test::WriteText(disk / "three" / name, "x");
    Project project = test::NewProject();
    for (int i = 0; i < 4095; ++i) test::AddFile(project, "F" + std::to_string(i), 1);
    const AddResult result = Drop(project, {disk / "three"});
    EXPECT_EQ(result.code, ADD_STOPPED_ON_LIMIT);
    EXPECT_EQ(project.fileCount(), 4096);
    EXPECT_EQ(FilePaths(project).back(), "\\THREE\\A.BIN");
    EXPECT_EQ(result.log.lines(), (Lines{"  Too many files(more than  4096)"}));
    // A full table stops a drop silently before its first item.
    const AddResult full = Drop(project, {disk / "three" / "b.bin"});
    EXPECT_EQ(full.code, ADD_STOPPED_ON_LIMIT);
    EXPECT_EQ(full.log.count(), 0);
    // Filling the table with the very last item is no stop.
    project.fileTable.pop_back();
    EXPECT_EQ(Drop(project, {disk / "three" / "b.bin"}).code, ADD_FINISHED);

    Project dirs = test::NewProject();
    for (int i = 1; i < 1022; ++i) test::AddDir(dirs, "D" + std::to_string(i));
    fs::create_directories(disk / "c" / "x");
    fs::create_directories(disk / "c" / "y");
    const AddResult nested = Drop(dirs, {disk / "c"});
    EXPECT_EQ(nested.code, ADD_STOPPED_ON_LIMIT);
    EXPECT_EQ(nested.log.lines(), (Lines{"Too many directories(more than 1024)"}));
    EXPECT_EQ(DirPaths(dirs).back(), "\\C\\X");
}

TEST(AddFromDisk, GivesUpTheRestOfAFolderBelowTheDepthLimit) {
    test::TempDir disk;
    fs::path level = disk.path();
    for (int i = 1; i <= 7; ++i) level /= "L" + std::to_string(i);
    fs::create_directories(level / "L8");
    test::WriteText(level / "AAA.BIN", "a");
    test::WriteText(level / "ZZZ.BIN", "z");
    test::WriteText(level / "L8" / "IN8.BIN", "8");
    Project project = test::NewProject();
    const AddResult result = Drop(project, {disk / "L1"});
    EXPECT_EQ(result.code, ADD_FINISHED);
    EXPECT_EQ(project.dirCount(), 8);  // the root and seven levels
    EXPECT_EQ(FilePaths(project), (Lines{"\\L1\\L2\\L3\\L4\\L5\\L6\\L7\\AAA.BIN"}));
    EXPECT_EQ(result.log.lines(),
              (Lines{"ATTENTION: Too many sub-directories(cannot copy these paths)   " +
                     (level / "L8").string() + " "}));

    // Dropped directly on a directory that deep, only the item is skipped.
    Project deep = test::NewProject();
    for (int i = 1; i <= 7; ++i) deep.currentDir = test::AddDir(deep, "D", deep.currentDir);
    const AddResult skipped = Drop(deep, {level / "L8", level / "AAA.BIN"});
    EXPECT_EQ(skipped.log.count(), 1);
    EXPECT_EQ(deep.fileCount(), 1);
}

TEST(AddFromDisk, OverlongPathsAreRefused) {
    test::TempDir disk;
    // Pad with folders so that .../DATA is 507 characters: its pattern just fits.
    fs::path padding = disk.path();
    size_t remaining = 507 - 5 - padding.string().size();
    while (remaining > 0) {
        size_t take = std::min<size_t>(remaining, 200);
        if (remaining - take == 1) --take;
        padding /= std::string(take - 1, 'd');
        remaining -= take;
    }
    const fs::path folder = padding / "DATA";
    ASSERT_EQ(folder.string().size(), 507u);
    fs::create_directories(folder);
    test::WriteText(folder / "f", "x");  // 509 characters: fits too
    const fs::path tooLongFolder = padding / "DATA1";
    fs::create_directories(tooLongFolder);
    Project project = test::NewProject();
    const std::string overlong = "/" + std::string(600, 'p');
    const AddResult result = Drop(project, {overlong, folder, tooLongFolder});
    EXPECT_EQ(result.log.lines(),
              (Lines{"ERROR: Path too long (more than 511 characters): " + overlong + " ",
                     "ERROR: Folder path too long to read its contents: " +
                         tooLongFolder.string() + " "}));
    EXPECT_EQ(project.dirCount(), 2);
    EXPECT_EQ(project.fileCount(), 1);
}

TEST(AddFromDisk, FileOfFourGibibytesIsAddedWithTheLowBitsOfItsSize) {
    test::TempDir disk;
    const fs::path big = disk / "big.bin";
    const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    const bool sized = ::ftruncate(fd, off_t{1} << 32) == 0;
    ::close(fd);
    if (!sized) GTEST_SKIP() << "no sparse files here";
    Project project = test::NewProject();
    const AddResult result = Drop(project, {big});
    ASSERT_EQ(project.fileCount(), 1);
    EXPECT_EQ(project.fileTable[0].size, 0u);
    EXPECT_EQ(result.log.lines(),
              (Lines{"File is too large, over 4GB in size) : " + big.string() + " "}));
}

}  // namespace
}  // namespace korvalin
