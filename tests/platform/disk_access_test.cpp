#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/folder_listing.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<FolderItem> items;
    EXPECT_TRUE(ListFolder(folder, items));
    std::vector<std::string> names;
    for (const FolderItem& item : items) {
        EXPECT_EQ(item.path, (fs::path(folder) / item.name).string());
        names.push_back(item.name);
    }
    return names;
}

TEST(FolderListing, OrdersByUpperCasedNameWhateverTheCreationOrder) {
    test::TempDir dir;
    for (const char* name : {"_u.bin", "b.txt", "Zed", "A.TXT", "a.txt", "10.BIN", "c"}) {
        test::WriteText(dir / name, "x");
    }
    EXPECT_EQ(
        Names(dir.path().string()),
        (std::vector<std::string>{"10.BIN", "A.TXT", "a.txt", "b.txt", "c", "Zed", "_u.bin"}));
}

TEST(FolderListing, KeepsFilesFoldersAndBrokenLinksButNotPipes) {
    test::TempDir dir;
    test::WriteText(dir / "file", "x");
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "folder", dir / "link-to-folder");
    fs::create_symlink(dir / "nothing", dir / "broken");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(Names(dir.path().string()),
              (std::vector<std::string>{"broken", "file", "folder", "link-to-folder"}));
    std::vector<FolderItem> items;
    EXPECT_FALSE(ListFolder((dir / "nothing").string(), items));
    EXPECT_FALSE(ListFolder((dir / "file").string(), items));
}

}  // namespace
}  // namespace korvalin
