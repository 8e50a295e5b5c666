// SPDX-License-Identifier: GPL-3.0-or-later
// The kept-sectors side file and its project record: what is written reads
// back, a cut or damaged file is refused without reading past its end, and
// the record's path follows the project file from folder to folder.

#include "model/kept_sectors.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "model/extension_kept_sectors.h"
#include "model/project_extension.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

TEST(KeptSectorsFile, ReadsBackAndRefusesEveryCutOrDisorder) {
    std::vector<uint8_t> noise(2352), plain(2352, 0x11);
    uint32_t state = 1;
    for (uint8_t& byte : noise)
        byte = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    KeptSectors kept;
    kept.sectorBytes = 2352;
    kept.layoutSectors = 40;
    kept.treeHash = 0x123456789ABCDEF0ULL;
    kept.sectors.push_back(PackKeptSector(16, plain.data(), noise.data(), 2352));  // compresses
    kept.sectors.push_back(PackKeptSector(41, noise.data(), nullptr, 2352));       // stored plain
    const std::vector<uint8_t> bytes = EncodeKeptSectors(kept);

    KeptSectors back;
    std::string problem;
    ASSERT_TRUE(DecodeKeptSectors(bytes, back, problem)) << problem;
    EXPECT_EQ(back.treeHash, kept.treeHash);
    EXPECT_EQ(back.layoutSectors, 40);
    ASSERT_EQ(back.sectors.size(), 2u);
    EXPECT_EQ(back.sectors[0].flags, 0);
    EXPECT_EQ(back.sectors[0].generatedHash, HashBytes(noise.data(), 2352));
    EXPECT_EQ(back.sectors[1].flags, KEPT_PAST_END | KEPT_PLAIN);
    std::vector<uint8_t> out(2352);
    for (size_t i = 0; i < 2; ++i) {
        ASSERT_TRUE(UnpackKeptSector(back.sectors[i], out.data(), 2352));
        EXPECT_EQ(out, i == 0 ? plain : noise);
    }
    EXPECT_TRUE(back.AnyIn(41, 1) && !back.AnyIn(17, 24));

    for (size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_FALSE(DecodeKeptSectors(std::vector<uint8_t>(bytes.begin(), bytes.begin() + length),
                                       back, problem));
    }
    std::swap(kept.sectors[0], kept.sectors[1]);
    EXPECT_FALSE(DecodeKeptSectors(EncodeKeptSectors(kept), back, problem));
    EXPECT_NE(problem.find("out of order"), std::string::npos);
}

TEST(KeptSectorsFile, TheRecordFollowsTheProjectFromFolderToFolder) {
    test::TempDir dir;
    std::filesystem::create_directories(dir / "a/b");
    std::filesystem::create_directories(dir / "c");
    Project project = test::NewProject();
    project.keptSectors = {(dir / "a/GAME.ksec").string(), "", 3, 100, 42};
    std::string message;
    ASSERT_TRUE(SaveProjectFile((dir / "a/b/GAME.krv").string(), project, message)) << message;
    EXPECT_EQ(project.keptSectors.storedPath, "../GAME.ksec");
    Project loaded;
    ASSERT_TRUE(
        OpenProjectFile((dir / "a/b/GAME.krv").string(), loaded, {2030, 1, 1, 0, 0, 0}, message))
        << message;
    ASSERT_TRUE(SaveProjectFile((dir / "c/COPY.krv").string(), loaded, message)) << message;
    ASSERT_TRUE(
        OpenProjectFile((dir / "c/COPY.krv").string(), loaded, {2030, 1, 1, 0, 0, 0}, message))
        << message;
    EXPECT_EQ(loaded.keptSectors.path, (dir / "a/GAME.ksec").string());
    EXPECT_EQ(loaded.keptSectors.count, 3u);
    EXPECT_EQ(loaded.keptSectors.checksum, 42u);

    ExtensionRecord record = KeptSectorsRecord(loaded.keptSectors);
    EXPECT_EQ(record.flags, EXTENSION_RECORD_REQUIRED);
    record.payload.resize(20);
    EXPECT_FALSE(TakeKeptSectorsRecord(record, loaded.keptSectors, message));
}

}  // namespace
}  // namespace korvalin
