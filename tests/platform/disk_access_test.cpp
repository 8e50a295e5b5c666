#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/folder_listing.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

TEST(FolderListing, OrdersByUpperCasedNameAndKeepsFilesFoldersAndLinksButNotPipes) {
    test::TempDir dir;
    for (const char* name : {"_u.bin", "b.txt", "Zed", "A.TXT", "a.txt", "10.BIN"}) {
        test::WriteText(dir / name, "x");
    }
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "nothing", dir / "broken");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    std::vector<FolderItem> items;
    ASSERT_TRUE(ListFolder(dir.path().string(), items));
    std::vector<std::string> names;
    for (const FolderItem& item : items) {
        EXPECT_EQ(item.path, (dir / item.name).string());
        names.push_back(item.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"10.BIN", "A.TXT", "a.txt", "b.txt", "broken",
                                               "folder", "Zed", "_u.bin"}));
    EXPECT_FALSE(ListFolder((dir / "none").string(), items));
    EXPECT_FALSE(ListFolder((dir / "Zed").string(), items));
}

}  // namespace
}  // namespace korvalin
