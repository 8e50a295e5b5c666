// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/relocate_sources.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace korvalin {
namespace {

TEST(ReplaceSourcePrefix, RewritesWholeLeadingComponentsOnly) {
    struct Case {
        const char *source, *oldPrefix, *newPrefix, *expected;
    };
    const Case cases[] = {
        {"/old/place/a.bin", "/old/place", "/new", "/new/a.bin"},
        {"/old/place/a.bin", "/old/place/", "/new/", "/new/a.bin"},
        {"/old/place/a.bin", "/old/place", "/new/", "/new/a.bin"},
        {"/old/place", "/old/place", "/new", "/new"},
        {"/old/placement/a.bin", "/old/place", "/new", "/old/placement/a.bin"},
        {"/older/a.bin", "/old", "/new", "/older/a.bin"},
        {"/a/b.bin", "/", "/x", "/x/a/b.bin"},
    };
    for (const Case& c : cases) {
        Project project = test::NewProject();
        test::AddFile(project, "A.BIN", 1, 0, c.source);
        test::AddDummy(project, "PAD.BIN", 30);
        std::vector<int32_t> tooLong;
        const auto changes = ReplaceSourcePrefix(project, c.oldPrefix, c.newPrefix, tooLong);
        EXPECT_EQ(*project.fileTable[0].sourcePath, c.expected) << c.source << " " << c.oldPrefix;
        EXPECT_EQ(changes.size(), std::string(c.source) != c.expected ? 1u : 0u) << c.source;
        EXPECT_FALSE(project.fileTable[1].sourcePath);
        EXPECT_TRUE(tooLong.empty());
    }
    Project project = test::NewProject();
    test::AddFile(project, "A.BIN", 1, 0, "/old/a.bin");
    std::vector<int32_t> tooLong;
    EXPECT_TRUE(ReplaceSourcePrefix(project, "/old", "/" + std::string(520, 'n'), tooLong).empty());
    EXPECT_EQ(tooLong, std::vector<int32_t>{0});
    EXPECT_EQ(*project.fileTable[0].sourcePath, "/old/a.bin");
}

TEST(RelocateMissingSources, TakesTheLongestSuffixThatNamesAFileBesideTheProject) {
    test::TempDir dir;
    for (const char* name : {"data/a.bin", "a.bin", "c.bin", "present.bin", "game/windows.bin"}) {
        test::WriteText(dir / "moved" / name, name);
    }
    std::filesystem::create_directories(dir / "moved" / "data" / "c.bin");  // not a file
    Project project = test::NewProject();
    const std::string present = (dir / "moved" / "present.bin").string();
    test::AddFile(project, "A.BIN", 1, 0, "/old/game/data/a.bin");
    test::AddFile(project, "C.BIN", 1, 0, "/old/game/data/c.bin");
    test::AddFile(project, "P.BIN", 1, 0, present);
    test::AddFile(project, "GONE.BIN", 1, 0, "/old/game/gone.bin");
    test::AddFile(project, "W.BIN", 1, 0, "C:\\work\\game\\windows.bin");
    test::AddDummy(project, "PAD.BIN", 30);
    ASSERT_EQ(FindMissingSources(project), (std::vector<int32_t>{0, 1, 3, 4}));

    const auto changes = RelocateMissingSources(project, (dir / "moved" / "p.krv").string());
    EXPECT_EQ(changes.size(), 3u);
    const std::string moved = (dir / "moved").string();
    EXPECT_EQ(*project.fileTable[0].sourcePath, moved + "/data/a.bin");
    EXPECT_EQ(*project.fileTable[1].sourcePath, moved + "/c.bin");
    EXPECT_EQ(*project.fileTable[2].sourcePath, present);
    EXPECT_EQ(*project.fileTable[3].sourcePath, "/old/game/gone.bin");
    EXPECT_EQ(*project.fileTable[4].sourcePath, moved + "/game/windows.bin");
    EXPECT_EQ(FindMissingSources(project), std::vector<int32_t>{3});
}

}  // namespace
}  // namespace korvalin
