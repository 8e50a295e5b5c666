#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/file_info.h"
#include "platform/folder_listing.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::vector<FolderItem>& items) {
    std::vector<std::string> names;
    for (const FolderItem& item : items) names.push_back(item.name);
    return names;
}

void SetMtime(const fs::path& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(FileInfo, GivesKindSizeAndUtcTimeFollowingLinks) {
    test::TempDir dir;
    test::WriteBytes(dir / "a.bin", std::vector<uint8_t>(3000, 7));
    SetMtime(dir / "a.bin", 1717582830);  // 2024-06-05 10:20:30 UTC
    fs::create_directory(dir / "sub");
    fs::create_symlink(dir / "a.bin", dir / "link");
    fs::create_symlink(dir / "gone", dir / "broken");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

    FileInfo info;
    ASSERT_TRUE(QueryFileInfo((dir / "a.bin").string(), info));
    EXPECT_EQ(info.kind, FileKind::RegularFile);
    EXPECT_EQ(info.size, 3000u);
    EXPECT_EQ(info.lastWriteUtc, (CalendarTime{2024, 6, 5, 10, 20, 30}));

    ASSERT_TRUE(QueryFileInfo((dir / "link").string(), info));
    EXPECT_EQ(info.kind, FileKind::RegularFile);
    EXPECT_EQ(info.size, 3000u);
    ASSERT_TRUE(QueryFileInfo((dir / "sub").string(), info));
    EXPECT_EQ(info.kind, FileKind::Directory);
    ASSERT_TRUE(QueryFileInfo((dir / "pipe").string(), info));
    EXPECT_EQ(info.kind, FileKind::Other);

    EXPECT_FALSE(QueryFileInfo((dir / "broken").string(), info));
    EXPECT_FALSE(QueryFileInfo((dir / "none").string(), info));
    EXPECT_FALSE(QueryFileInfo((dir / "a.bin").string() + std::string(1, '\0') + "x", info));
    EXPECT_TRUE(PathEntryExists((dir / "broken").string()));
    EXPECT_FALSE(PathEntryExists((dir / "none").string()));
}

TEST(FileInfo, ReportsSizesBeyond32Bits) {
    test::TempDir dir;
    const int fd = ::open((dir / "big").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    const bool sized = ::ftruncate(fd, (off_t{1} << 32) + 5) == 0;
    ::close(fd);
    if (!sized) GTEST_SKIP() << "no sparse files here";
    FileInfo info;
    ASSERT_TRUE(QueryFileInfo((dir / "big").string(), info));
    EXPECT_EQ(info.size, (uint64_t{1} << 32) + 5);
}

TEST(FolderListing, OrdersByUpperCasedNameWhateverTheCreationOrder) {
    test::TempDir dir;
    // Created in an order unlike the listing's.
    for (const char* name : {"_u.bin", "b.txt", "Zed", "A.TXT", "a.txt", "10.BIN", "c"}) {
        test::WriteText(dir / name, "x");
    }
    std::vector<FolderItem> items;
    ASSERT_TRUE(ListFolder(dir.path().string(), items));
    EXPECT_EQ(Names(items), (std::vector<std::string>{"10.BIN", "A.TXT", "a.txt", "b.txt", "c",
                                                      "Zed", "_u.bin"}));
    EXPECT_EQ(items[0].path, (dir / "10.BIN").string());

    std::vector<FolderItem> again;
    ASSERT_TRUE(ListFolder(dir.path().string() + "/", again));
    EXPECT_EQ(again[0].path, (dir / "10.BIN").string());
}

TEST(FolderListing, KeepsFilesFoldersAndBrokenLinksButNotPipes) {
    test::TempDir dir;
    test::WriteText(dir / "file", "x");
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "folder", dir / "link-to-folder");
    fs::create_symlink(dir / "nothing", dir / "broken");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    std::vector<FolderItem> items;
    ASSERT_TRUE(ListFolder(dir.path().string(), items));
    EXPECT_EQ(Names(items),
              (std::vector<std::string>{"broken", "file", "folder", "link-to-folder"}));
    EXPECT_FALSE(ListFolder((dir / "nothing").string(), items));
    EXPECT_FALSE(ListFolder((dir / "file").string(), items));
}

TEST(FolderListing, FindsPathsIgnoringTheCaseOfEachComponent) {
    test::TempDir dir;
    fs::create_directories(dir / "data" / "Movies");
    test::WriteText(dir / "data" / "Movies" / "intro.str", "x");
    test::WriteText(dir / "data" / "EXACT.BIN", "x");
    FolderNameCache cache;
    const std::string base = dir.path().string() + "/";
    EXPECT_EQ(FindPathIgnoringCase(base, {"", "DATA", "MOVIES", "INTRO.STR"}, cache),
              (dir / "data" / "Movies" / "intro.str").string());
    EXPECT_EQ(FindPathIgnoringCase(base, {"data", "EXACT.BIN"}, cache),
              (dir / "data" / "EXACT.BIN").string());
    EXPECT_EQ(FindPathIgnoringCase(base, {}, cache), base);
    EXPECT_EQ(FindPathIgnoringCase(base, {"DATA", "NONE.BIN"}, cache), std::nullopt);
    EXPECT_EQ(FindPathIgnoringCase(base, {"NONE", "INTRO.STR"}, cache), std::nullopt);
}

}  // namespace
}  // namespace korvalin
