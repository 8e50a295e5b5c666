// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/da_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "audio_samples.h"
#include "image/sample_disc.h"
#include "layout/precompile_check.h"
#include "layout/recompute_layout.h"
#include "model/extension_da_files.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

class DaFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            const auto source = sources / ("t" + std::to_string(i) + ".raw");
            test::WriteBytes(source, test::Samples(2352 * (10 + i) + 7, i));
            AudioTrack track;
            std::string problem;
            ASSERT_TRUE(ProbeAudioSource(source.string(), track, problem)) << problem;
            disc.project.audioTracks.push_back(track);
        }
        RecomputeLayout(disc.project);
        dataSectors = disc.project.layoutState.totalSectors;
        song = test::AddDummy(disc.project, "SONG.DA", 0);
        disc.project.fileTable[song].daTrack = 3;
        RecomputeLayout(disc.project);
    }
    const FileEntry& Song() const { return disc.project.fileTable[song]; }

    test::TempDir sources;
    test::SampleDisc disc = test::MakeSampleDisc(sources, false);
    int32_t dataSectors = 0;
    int32_t song = 0;
};

TEST_F(DaFileTest, FollowsItsTrackWithoutTakingDataSectors) {
    EXPECT_EQ(disc.project.layoutState.totalSectors, dataSectors);
    const std::vector<AudioTrackPlace> places = PlaceAudioTracks(disc.project);
    EXPECT_EQ(Song().lba, places[1].startLba);
    EXPECT_EQ(Song().size, 12u * 2048);

    // Moving tracks keeps it on its track; the track it names stays.
    MoveAudioTrack(disc.project, 1, 0);
    EXPECT_EQ(Song().daTrack, 2);
    MoveAudioTrack(disc.project, 2, 0);
    EXPECT_EQ(Song().daTrack, 3);
    RecomputeLayout(disc.project);
    EXPECT_EQ(Song().lba, PlaceAudioTracks(disc.project)[1].startLba);
    EXPECT_EQ(RemoveAudioTrack(disc.project, 1), "\\SONG.DA");
    EXPECT_EQ(disc.project.audioTracks.size(), 3u);
    EXPECT_EQ(RemoveAudioTrack(disc.project, 0), "");
    EXPECT_EQ(Song().daTrack, 2);

    // A DA file left without its track stops the compile.
    disc.project.fileTable[song].daTrack = 9;
    const std::vector<std::string> messages = PreCompileCheck(disc.project);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The DA file \\SONG.DA names audio track 9, which the project does not have");
}

TEST_F(DaFileTest, ItsRecordCarriesTheTrackAndTheCdDaAttribute) {
    const std::vector<uint8_t> image = test::CompileToBytes(disc.project, sources / "disc.bin");
    const std::string name = "SONG.DA;1";
    const auto at = std::search(image.begin(), image.end(), name.begin(), name.end()) - image.begin();
    ASSERT_LT(at, static_cast<long>(image.size()));
    const uint8_t* record = image.data() + at - 33;
    const auto le32 = [](const uint8_t* p) { return uint32_t(p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24); };
    EXPECT_EQ(le32(record + 2), uint32_t(Song().lba));
    EXPECT_EQ(le32(record + 10), Song().size);
    const uint8_t* xa = record + record[0] - 14;
    EXPECT_EQ(xa[4] << 8 | xa[5], 0x4555);
    EXPECT_EQ(std::string(xa + 6, xa + 8), "XA");
}

TEST_F(DaFileTest, SurvivesSaveAndLoadAndDamagedRecordsAreRefused) {
    ProjectArchive stored;
    ASSERT_EQ(SerializeProject(disc.project, stored), 0);
    Project loaded = test::NewProject();
    ProjectArchive reading{false, stored.bytes, ""};
    ASSERT_EQ(SerializeProject(loaded, reading), 0) << reading.problem;
    EXPECT_EQ(loaded.fileTable[song].daTrack, 3);

    const std::pair<ExtensionRecord, const char*> cases[] = {
        {DaFileRecord(song, 1), "names track 1"},
        {DaFileRecord(song, 100), "names track 100"},
        {DaFileRecord(disc.project.fileCount(), 2), "which is no file of the project"},
        {DaFileRecord(-FILE_ID_BASE, 2), "names entry 0, which is no file"},  // the root
        {ExtensionRecord{0x0007, 1, {0, 0x10, 0, 0}}, "has 4 bytes, fewer than 8"},
    };
    for (const auto& [record, expected] : cases) {
        std::string problem;
        EXPECT_FALSE(TakeDaFileRecord(record, 5, loaded, problem)) << expected;
        EXPECT_NE(problem.find(expected), std::string::npos) << problem;
    }
}

}  // namespace
}  // namespace korvalin
