// SPDX-License-Identifier: GPL-3.0-or-later
// The raw XA mark: what it takes from the source, how the project file
// keeps it, and which files on disk look like raw XA.

#include "model/xa_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>

#include "model/project_extension.h"
#include "model/project_archive.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::Store;

// `count` sectors whose subheaders are `sub` twice.
std::vector<uint8_t> Sectors(int count, std::array<uint8_t, 4> sub) {
    std::vector<uint8_t> bytes(static_cast<size_t>(count) * XA_SOURCE_SECTOR_BYTES, 0x33);
    for (int i = 0; i < count; ++i) {
        std::memcpy(&bytes[static_cast<size_t>(i) * XA_SOURCE_SECTOR_BYTES], sub.data(), 4);
        std::memcpy(&bytes[static_cast<size_t>(i) * XA_SOURCE_SECTOR_BYTES + 4], sub.data(), 4);
    }
    return bytes;
}

TEST(RawXaFile, TheMarkFollowsTheSourceAndTheProjectFileKeepsItAsARequiredRecord) {
    test::TempDir work;
    test::WriteBytes(work / "movie.str", Sectors(5, {1, 0, 0x64, 1}));
    test::WriteBytes(work / "odd.bin", std::vector<uint8_t>(5 * XA_SOURCE_SECTOR_BYTES + 1));
    Project project = test::NewProject();
    test::AddFile(project, "ODD.BIN", 5 * XA_SOURCE_SECTOR_BYTES + 1, 0, (work / "odd.bin").string());
    const int32_t movie = test::AddFile(project, "MOVIE.STR", 5 * XA_SOURCE_SECTOR_BYTES, 0, (work / "movie.str").string());
    const std::vector<uint8_t> plain = Store(project);

    EXPECT_NE(SetRawXa(project.fileTable[0], true).find("odd.bin: holds 11681 bytes, not a whole number"),
              std::string::npos);
    EXPECT_FALSE(project.fileTable[0].rawXa);
    EXPECT_EQ(SetRawXa(project.fileTable[movie], true), "");
    EXPECT_EQ(project.fileTable[movie].size, 5 * 2048u);
    EXPECT_TRUE(ProjectHasRawXaFiles(project));

    const std::vector<uint8_t> marked = Store(project);
    ASSERT_EQ(marked.size(), plain.size() + 16 + 8 + 8);
    // Tag 3, required, 8 bytes: one entry, 4096 + 1.
    EXPECT_EQ(std::vector<uint8_t>(marked.end() - 16, marked.end()),
              test::Hex("03 00 01 00 08 00 00 00  01 00 00 00 01 10 00 00"));
    Project loaded = test::NewProject();
    std::string problem;
    ASSERT_EQ(test::Load(marked, loaded, &problem), 0) << problem;
    EXPECT_FALSE(loaded.fileTable[0].rawXa);
    EXPECT_TRUE(loaded.fileTable[1].rawXa);
    EXPECT_EQ(Store(loaded), marked);

    // Unmarked, the size is the source's again and the file is the plain format.
    EXPECT_EQ(SetRawXa(loaded.fileTable[1], false), "");
    EXPECT_EQ(loaded.fileTable[1].size, 5 * XA_SOURCE_SECTOR_BYTES);
    EXPECT_EQ(Store(loaded), plain);

    // A record naming an entry that is not a file of the project, or cut short.
    for (const auto& [at, value, expected] :
         std::vector<std::tuple<size_t, uint8_t, const char*>>{{marked.size() - 3, 0x20, "names entry 8193"},
                                                               {marked.size() - 3, 0x00, "names entry 1"},
                                                               {marked.size() - 8, 0x02, "too few for its 2 entries"}}) {
        std::vector<uint8_t> broken = marked;
        broken[at] = value;
        Project project2 = test::NewProject();
        EXPECT_NE(test::Load(broken, project2, &problem), 0);
        EXPECT_NE(problem.find(expected), std::string::npos) << problem;
    }
}

TEST(RawXaFile, OnlyWholeSectorsWithConsistentSaneSubheadersLookLikeRawXa) {
    test::TempDir work;
    const std::vector<std::pair<std::vector<uint8_t>, bool>> cases = {
        {Sectors(3, {1, 1, 0x64, 1}), true},    // XA audio
        {Sectors(20, {1, 0, 0x48, 0}), true},   // real-time data, Form 1
        {Sectors(3, {0, 0, 0, 0}), false},      // zeros say nothing
        {Sectors(3, {1, 1, 0x44, 1}), false},   // audio in Form 1
        {Sectors(3, {1, 1, 0x0E, 1}), false},   // data, audio and video at once
        {Sectors(3, {1, 40, 0x48, 0}), false},  // channel past 31
        {std::vector<uint8_t>(100, 0), false},
        {{}, false},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        test::WriteBytes(work / std::to_string(i), cases[i].first);
        EXPECT_EQ(LooksLikeRawXa((work / std::to_string(i)).string()), cases[i].second) << i;
    }
    std::vector<uint8_t> differing = Sectors(3, {1, 1, 0x64, 1});
    differing[XA_SOURCE_SECTOR_BYTES + 6] = 0x65;  // the second sector's copies differ
    test::WriteBytes(work / "differing", differing);
    EXPECT_FALSE(LooksLikeRawXa((work / "differing").string()));
    EXPECT_FALSE(LooksLikeRawXa((work / "missing").string()));
}

}  // namespace
}  // namespace korvalin
