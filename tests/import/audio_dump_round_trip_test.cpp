// SPDX-License-Identifier: GPL-3.0-or-later
// A disc with audio tracks dumped from its cue sheet, one image file for all
// tracks or one per track, compiles again to the same image and cue sheet;
// verify places the tracks where the compile put them.

#include <gtest/gtest.h>

#include <filesystem>

#include "audio_samples.h"
#include "image/image_verifier.h"
#include "image/sample_disc.h"
#include "import/dump_disc.h"
#include "model/message_format.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

std::string TextOf(const fs::path& path) {
    const std::vector<uint8_t> bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class AudioDumpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::AddThreeTracks(disc.project, sources.path());
        // A DA file on the second track, in a folder.
        disc.project.fileTable[test::AddDummy(disc.project, "SONG.DA", 0, 0, 1)].daTrack = 3;
        image = test::CompileToBytes(disc.project, work / "disc.bin");
        places = PlaceAudioTracks(disc.project);
    }

    // Dumps `cue` and compiles the project it wrote to OUT/again.bin.
    Project DumpAndCompile(const fs::path& cue, const fs::path& out) {
        DumpOptions options{cue.string(), out.string(), "", false};
        DumpResult result;
        std::string message;
        EXPECT_EQ(DumpDiscImage(options, result, message), 0) << message;
        EXPECT_EQ(result.audioTracks, 3);
        EXPECT_TRUE(result.unrepresented.empty()) << result.unrepresented.front();
        Project dumped;
        EXPECT_TRUE(OpenProjectFile(result.projectPath, dumped, CalendarTime{2030, 1, 1, 0, 0, 0}, message))
            << message;
        EXPECT_EQ(test::CompileToBytes(dumped, out / "again.bin"), image);
        std::vector<std::pair<std::string, int32_t>> daFiles;
        for (const FileEntry& file : dumped.fileTable) {
            if (file.daTrack != 0) daFiles.emplace_back(file.Name(), file.daTrack);
        }
        EXPECT_EQ(daFiles, (std::vector<std::pair<std::string, int32_t>>{{"SONG.DA", 3}}));
        return dumped;
    }

    test::TempDir sources;
    test::TempDir work;
    test::SampleDisc disc = test::MakeSampleDisc(sources, false);
    std::vector<uint8_t> image;
    std::vector<AudioTrackPlace> places;
};

TEST_F(AudioDumpTest, OneFileForAllTracksRoundTrips) {
    const Project dumped = DumpAndCompile(work / "disc.cue", work / "out");
    ASSERT_EQ(dumped.audioTracks.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(dumped.audioTracks[i].pregapSectors, disc.project.audioTracks[i].pregapSectors);
        EXPECT_EQ(dumped.audioTracks[i].sourcePath,
                  (work / "out" / "tracks" / FormatMessage("TRACK%02zu.wav", i + 2)).string());
    }
    std::string cue = TextOf(work / "disc.cue");
    cue.replace(cue.find("disc.bin"), 8, "again.bin");
    EXPECT_EQ(TextOf(work / "out" / "again.cue"), cue);
}

TEST_F(AudioDumpTest, OneFilePerTrackRoundTrips) {
    // Track 1 alone, then each audio track's file beginning with its pregap.
    const auto slice = [this](int64_t from, int64_t to) {
        return std::vector<uint8_t>(image.begin() + from * 2352, image.begin() + to * 2352);
    };
    const int64_t data = disc.project.layoutState.totalSectors;
    test::WriteBytes(work / "split" / "disc (Track 1).bin", slice(0, data));
    std::string cue = "FILE \"disc (Track 1).bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n";
    for (size_t i = 0; i < 3; ++i) {
        const std::string name = FormatMessage("disc (Track %zu).bin", i + 2);
        test::WriteBytes(work / "split" / name, slice(places[i].pregapLba, places[i].startLba + places[i].sectors));
        cue += "FILE \"" + name + "\" BINARY\n" + FormatMessage("  TRACK %02zu AUDIO\n", i + 2);
        const int32_t pregap = places[i].startLba - places[i].pregapLba;
        if (pregap > 0) cue += "    INDEX 00 00:00:00\n";
        cue += "    INDEX 01 " + MsfText(pregap) + "\n";
    }
    test::WriteText(work / "split" / "disc.cue", cue);
    DumpAndCompile(work / "split" / "disc.cue", work / "out");
}

TEST_F(AudioDumpTest, PregapsLeftToTheBurnerAreDumpedAndCompiledAsSilence) {
    // The same disc with no pregap in its file: PREGAP lines stand for them.
    const int64_t data = disc.project.layoutState.totalSectors;
    std::vector<uint8_t> bare(image.begin(), image.begin() + data * 2352);
    // Track 1's PREGAP lies before sector 0 and moves nothing.
    std::string cue = "FILE \"bare.bin\" BINARY\n  TRACK 01 MODE2/2352\n    PREGAP 00:02:00\n    INDEX 01 00:00:00\n";
    for (size_t i = 0; i < 3; ++i) {
        cue += FormatMessage("  TRACK %02zu AUDIO\n", i + 2);
        const int32_t pregap = places[i].startLba - places[i].pregapLba;
        if (pregap > 0) cue += "    PREGAP " + MsfText(pregap) + "\n";
        cue += "    INDEX 01 " + MsfText(static_cast<int64_t>(bare.size() / 2352)) + "\n";
        bare.insert(bare.end(), image.begin() + int64_t{places[i].startLba} * 2352,
                    image.begin() + (int64_t{places[i].startLba} + places[i].sectors) * 2352);
    }
    test::WriteBytes(work / "bare.bin", bare);
    test::WriteText(work / "bare.cue", cue);
    DumpAndCompile(work / "bare.cue", work / "out");

    const VerifyReport stored = VerifyImage((work / "disc.cue").string(), VerifyOptions{});
    const VerifyReport burned = VerifyImage((work / "bare.cue").string(), VerifyOptions{});
    EXPECT_TRUE(stored.Sound()) << stored.problems.front().text;
    EXPECT_TRUE(burned.Sound());
    EXPECT_EQ(burned.notes, stored.notes);
    ASSERT_EQ(stored.audioTracks.size(), 3u);
    const AudioTrackPlace& two = places[0];
    EXPECT_EQ(stored.notes[0], FormatMessage("track 02 (AUDIO): INDEX 00 at %s (LBA %d), INDEX 01 at %s (LBA %d), "
                                             "%d sectors (%s)",
                                             MsfText(two.pregapLba).c_str(), two.pregapLba,
                                             MsfText(two.startLba).c_str(), two.startLba, two.sectors,
                                             MsfText(two.sectors).c_str()));
    EXPECT_EQ(stored.audioTracks[2].discLba, places[2].startLba);
}

TEST_F(AudioDumpTest, AMissingTrackFileStopsTheDump) {
    test::WriteText(work / "gone.cue", "FILE disc.bin BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n"
                                       "FILE nothing.bin BINARY\n  TRACK 02 AUDIO\n    INDEX 01 00:00:00\n");
    DumpOptions options{(work / "gone.cue").string(), (work / "out").string(), "", false};
    DumpResult result;
    std::string message;
    EXPECT_EQ(DumpDiscImage(options, result, message), 1);
    EXPECT_EQ(message, (work / "gone.cue").string() + " names the file " + (work / "nothing.bin").string() +
                           ", which does not exist");
    EXPECT_FALSE(fs::exists(result.projectPath));
}

}  // namespace
}  // namespace korvalin
