// SPDX-License-Identifier: GPL-3.0-or-later
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
    Lines log;
    std::vector<int32_t> progress;
};

AddResult Drop(Project& project, const std::vector<fs::path>& paths) {
    AddResult result;
    ErrorLog log;
    const std::vector<std::string> dropped(paths.begin(), paths.end());
    result.code = AddFromDisk(project, dropped, log,
                              [&](int32_t position) { result.progress.push_back(position); });
    result.log = log.lines();
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
    const timespec times[2] = {{1717582830, 0}, {1717582830, 0}};  // 2024-06-05 10:20:30 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, (game / "asub" / "in_a.txt").c_str(), times, 0), 0);
    const timespec epoch[2] = {{0, 0}, {0, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (game / "f0.bin").c_str(), epoch, 0), 0);

    Project project = test::NewProject();
    const AddResult result = Drop(project, {game});
    EXPECT_EQ(result.code, ADD_FINISHED);
    EXPECT_TRUE(result.log.empty());
    EXPECT_EQ(DirPaths(project),
              (Lines{"\\GAME", "\\GAME\\ASUB", "\\GAME\\ZSUB", "\\GAME\\ZSUB\\DEEP"}));
    Lines files;
    for (int i = 0; i <= 9; ++i) files.push_back("\\GAME\\F" + std::to_string(i) + ".BIN");
    files.push_back("\\GAME\\ASUB\\IN_A.TXT");
    files.push_back("\\GAME\\ZSUB\\DEEP\\X.BIN");
    EXPECT_EQ(FilePaths(project), files);
    // Dated in UTC; before 1980 a DOS date cannot say: the earliest one is used.
    EXPECT_EQ(test::FieldsOf(project.fileTable[10]),
              (test::RecordFields{8, "IN_A.TXT", 5 + 32 * 6 + 512 * 44, 15 + 32 * 20 + 2048 * 10,
                                  -1, 0, 3, 5, 58, (game / "asub" / "in_a.txt").string()}));
    EXPECT_EQ(project.fileTable[0].dosDate, 1 + 32 * 1);
    EXPECT_EQ(project.fileTable[0].dosTime, 0);
    EXPECT_EQ(project.dirTable[1].recordLength, 52u);
    EXPECT_EQ(result.progress.back(), 13);  // bar at 1, then one step per file from 2
}

TEST(AddFromDisk, DuplicatesAreLoggedAndFoldersMergeIntoExistingDirectories) {
    test::TempDir disk;
    test::WriteText(disk / "one" / "GAME" / "A.BIN", "first");
    test::WriteText(disk / "two" / "game" / "a.bin", "second, longer");
    test::WriteText(disk / "two" / "game" / "b.bin", "b");
    test::WriteText(disk / "two" / "game" / "movies" / "m.str", "m");
    test::WriteText(disk / "three" / "Game" / "c.bin", "c");

    Project project = test::NewProject();
    Drop(project, {disk / "one" / "GAME"});
    ASSERT_EQ(project.fileCount(), 1);
    // Two folders merge into GAME in the order they came.
    const AddResult again =
        Drop(project, {disk / "two" / "game", disk / "one" / "GAME" / "A.BIN",
                       disk / "two" / "game" / "a.bin", disk / "three" / "Game"});
    EXPECT_EQ(again.code, ADD_FINISHED);
    EXPECT_EQ(again.log, (Lines{"* Directory name already exists: \\GAME",
                                "ERROR: File already exists:  \\A.BIN ",
                                "* Directory name already exists: \\GAME",
                                "ERROR: File already exists:  \\GAME\\A.BIN "}));
    EXPECT_EQ(DirPaths(project), (Lines{"\\GAME", "\\GAME\\MOVIES"}));
    EXPECT_EQ(FilePaths(project), (Lines{"\\GAME\\A.BIN", "\\A.BIN", "\\GAME\\B.BIN",
                                         "\\GAME\\C.BIN", "\\GAME\\MOVIES\\M.STR"}));
    EXPECT_EQ(project.fileTable[0].size, 5u);  // the existing entry is untouched
}

TEST(AddFromDisk, RefusedItemsAreLoggedAndTheRestAdded) {
    test::TempDir disk;
    for (const char* folder : {"ABC.D", "my dir", "folder"}) fs::create_directory(disk / folder);
    for (const char* name : {"LongFileName.txt", ".hidden", "readme.txt", "SLUS_123.45", "real"}) {
        test::WriteText(disk / name, "12345678");
    }
    fs::create_symlink(disk / "real", disk / "folder" / "link.bin");
    fs::create_symlink(disk / "nowhere", disk / "folder" / "broken.bin");
    ASSERT_EQ(::mkfifo((disk / "folder" / "pipe").c_str(), 0600), 0);  // passed over silently
    ASSERT_EQ(::mkfifo((disk / "pipe").c_str(), 0600), 0);
    const fs::path big = disk / "big.bin";
    const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_EQ(::ftruncate(fd, off_t{1} << 32), 0);  // 4 GiB, sparse
    ::close(fd);
    // Pad with folders so that .../DATA is 507 characters: its search pattern
    // just fits 512 bytes, and a file in it (509 characters) too.
    fs::path padding = disk.path();
    while (padding.string().size() < 301) padding /= std::string(199, 'd');
    padding /= std::string(501 - padding.string().size(), 'd');
    ASSERT_EQ((padding / "DATA").string().size(), 507u);
    test::WriteText(padding / "DATA" / "f", "x");
    fs::create_directories(padding / "DATA1");
    const std::string overlong = "/" + std::string(600, 'p');

    Project project = test::NewProject();
    project.currentDir = test::AddDir(project, "SUB");
    const AddResult result = Drop(
        project, {disk / "ABC.D", disk / "my dir", disk / "LongFileName.txt", disk / ".hidden",
                  disk / "readme.txt", disk / "SLUS_123.45", disk / "absent.bin", disk / "pipe",
                  overlong, padding / "DATA", padding / "DATA1", big, disk / "folder"});
    EXPECT_EQ(result.code, ADD_FINISHED);
    EXPECT_EQ(result.log,
              (Lines{" Illegal directory name for: \\SUB\\ABC.D ",
                     "WARNING: illgal filename: \\SUB\\LONGFI~1.TXT ",
                     "WARNING: illgal filename: \\SUB\\.HIDDEN ",
                     "ERROR: File not found: " + (disk / "absent.bin").string() + " ",
                     "ERROR: Not a file or folder: " + (disk / "pipe").string() + " ",
                     "ERROR: Path too long (more than 511 characters): " + overlong + " ",
                     "ERROR: Folder path too long to read its contents: " +
                         (padding / "DATA1").string() + " ",
                     "File is too large, over 4GB in size) : " + big.string() + " ",
                     "ERROR: File not found: " + (disk / "folder" / "broken.bin").string() + " "}));
    EXPECT_EQ(DirPaths(project), (Lines{"\\SUB", "\\SUB\\MYDIR", "\\SUB\\DATA", "\\SUB\\FOLDER"}));
    EXPECT_EQ(FilePaths(project),
              (Lines{"\\SUB\\README.TXT", "\\SUB\\SLUS_123.45", "\\SUB\\BIG.BIN", "\\SUB\\DATA\\F",
                     "\\SUB\\FOLDER\\LINK.BIN"}));
    EXPECT_EQ(project.fileTable[2].size, 0u);  // the low 32 bits of 4 GiB
    EXPECT_EQ(project.fileTable[4].size, 8u);  // the link's target
    EXPECT_EQ(project.fileTable[4].sourcePath, (disk / "folder" / "link.bin").string());
}

TEST(AddFromDisk, StopsAtTheTableLimitsAndGivesUpBelowTheDepthLimit) {
    test::TempDir disk;
    fs::create_directories(disk / "c" / "x");
    fs::create_directories(disk / "c" / "y");
    for (const char* name : {"a.bin", "b.bin", "c.bin"})
        test::WriteText(disk / "three" / name, "x");
    Project project = test::NewProject();
    for (int i = 0; i < 4095; ++i) test::AddFile(project, "F" + std::to_string(i), 1);
    const AddResult result = Drop(project, {disk / "three"});
    EXPECT_EQ(result.code, ADD_STOPPED_ON_LIMIT);
    EXPECT_EQ(FilePaths(project).back(), "\\THREE\\A.BIN");
    EXPECT_EQ(result.log, (Lines{"  Too many files(more than  4096)"}));
    // A full table stops a drop silently before its first item.
    const AddResult full = Drop(project, {disk / "three" / "b.bin"});
    EXPECT_EQ(full.code, ADD_STOPPED_ON_LIMIT);
    EXPECT_TRUE(full.log.empty());
    // Filling the table with the very last item is no stop.
    project.fileTable.pop_back();
    EXPECT_EQ(Drop(project, {disk / "three" / "b.bin"}).code, ADD_FINISHED);

    project = test::NewProject();
    for (int i = 1; i < 1022; ++i) test::AddDir(project, "D" + std::to_string(i));
    const AddResult nested = Drop(project, {disk / "c"});
    EXPECT_EQ(nested.code, ADD_STOPPED_ON_LIMIT);
    EXPECT_EQ(nested.log, (Lines{"Too many directories(more than 1024)"}));
    EXPECT_EQ(DirPaths(project).back(), "\\C\\X");

    fs::path level = disk.path();
    for (int i = 1; i <= 7; ++i) level /= "L" + std::to_string(i);
    for (const char* name : {"AAA.BIN", "ZZZ.BIN", "L8/IN8.BIN"})
        test::WriteText(level / name, "x");
    project = test::NewProject();
    const AddResult deep = Drop(project, {disk / "L1"});
    EXPECT_EQ(deep.code, ADD_FINISHED);
    EXPECT_EQ(project.dirCount(), 8);  // the root and seven levels
    EXPECT_EQ(FilePaths(project), (Lines{"\\L1\\L2\\L3\\L4\\L5\\L6\\L7\\AAA.BIN"}));
    EXPECT_EQ(deep.log, (Lines{"ATTENTION: Too many sub-directories(cannot copy these paths)   " +
                               (level / "L8").string() + " "}));
    // Dropped directly on a directory that deep, only the item is skipped.
    project.currentDir = 7;
    EXPECT_EQ(Drop(project, {level / "L8", level / "ZZZ.BIN"}).log.size(), 1u);
    EXPECT_EQ(project.fileCount(), 2);
}

}  // namespace
}  // namespace korvalin
