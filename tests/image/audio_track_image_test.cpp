// SPDX-License-Identifier: GPL-3.0-or-later
// A data track followed by three audio tracks, as the compile writes it and
// as cd-info and bchunk (when installed) read it back.

#include <gtest/gtest.h>

#include "audio_samples.h"
#include "image/audio_track_writer.h"
#include "image/compile_image.h"
#include "image/compile_outputs.h"
#include "image/image_verifier.h"
#include "image/sample_disc.h"
#include "image/tool_run.h"
#include "layout/precompile_check.h"
#include "layout/recompute_layout.h"
#include "model/message_format.h"

namespace korvalin {
namespace {

using test::Installed;
using test::RunTool;
using test::ShellQuote;

class AudioImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plain = test::CompileToBytes(disc.project, out / "plain.bin");
        pcm = test::AddThreeTracks(disc.project, sources.path());
        image = test::CompileToBytes(disc.project, out / "disc.bin");
        places = PlaceAudioTracks(disc.project);
    }
    std::vector<uint8_t> Sectors(int64_t lba, int64_t count) const {
        return std::vector<uint8_t>(image.begin() + lba * 2352, image.begin() + (lba + count) * 2352);
    }
    std::string Out(const char* name) const { return ShellQuote((out / name).string()); }

    test::TempDir sources;
    test::TempDir out;
    test::SampleDisc disc = test::MakeSampleDisc(sources, false);
    std::vector<uint8_t> plain;
    std::vector<std::vector<uint8_t>> pcm;
    std::vector<uint8_t> image;
    std::vector<AudioTrackPlace> places;
};

TEST_F(AudioImageTest, DataTrackThenSilentPregapsThenPaddedSamples) {
    const int32_t data = disc.project.layoutState.totalSectors;
    ASSERT_EQ(plain.size(), size_t(data) * 2352);
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + data * 2352), plain);
    ASSERT_EQ(image.size(), size_t(DiscEndLba(disc.project)) * 2352);
    int64_t lba = data;
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(places[i].pregapLba, lba);
        const int64_t pregap = places[i].startLba - places[i].pregapLba;
        EXPECT_EQ(Sectors(lba, pregap), std::vector<uint8_t>(size_t(pregap) * 2352, 0)) << i;
        std::vector<uint8_t> padded = pcm[i];
        padded.resize(size_t(places[i].sectors) * 2352, 0);
        EXPECT_EQ(Sectors(places[i].startLba, places[i].sectors), padded) << i;
        lba = places[i].startLba + places[i].sectors;
    }
    EXPECT_EQ(test::TextOf(out / "disc.cue"),
              FormatMessage("FILE \"disc.bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n"
                            "    INDEX 01 00:00:00\r\n"
                            "  TRACK 02 AUDIO\r\n    INDEX 00 %s\r\n    INDEX 01 %s\r\n"
                            "  TRACK 03 AUDIO\r\n    INDEX 01 %s\r\n"
                            "  TRACK 04 AUDIO\r\n    INDEX 00 %s\r\n    INDEX 01 %s\r\n",
                            MsfText(data).c_str(), MsfText(data + 150).c_str(),
                            MsfText(places[1].startLba).c_str(), MsfText(places[2].pregapLba).c_str(),
                            MsfText(places[2].startLba).c_str()));
}

// Audio sectors are not Mode 2 data: the .bin alone is checked through the
// cue sheet beside it, and is sound; without that cue sheet it is not.
TEST_F(AudioImageTest, VerifyOfTheBinGoesThroughTheCueSheetBesideIt) {
    const std::string bin = (out / "disc.bin").string();
    const VerifyReport report = VerifyImage(bin, VerifyOptions{});
    EXPECT_TRUE(report.Sound());
    EXPECT_EQ(report.audioTracks.size(), 3u);
    ASSERT_FALSE(report.notes.empty());
    EXPECT_EQ(report.notes[0], "checked through the cue sheet beside it, " + (out / "disc.cue").string() +
                                   ", which places audio tracks after the data track");
    std::filesystem::remove(out / "disc.cue");
    EXPECT_FALSE(VerifyImage(bin, VerifyOptions{}).Sound());
}

TEST_F(AudioImageTest, CdInfoFindsEveryTrackWhereTheCueSheetPutsIt) {
    if (!Installed("cd-info")) GTEST_SKIP() << "no cd-info";
    const test::ToolRun said =
        RunTool("cd-info --no-device-info --no-cddb --no-analyze --cue-file " + Out("disc.cue"));
    EXPECT_TRUE(test::Says(said, {"  1: 00:02:00  000000 XA"}));
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(test::Says(said, {FormatMessage("  %zu: %s  %06d audio", i + 2,
                                                    MsfText(places[i].startLba + 150).c_str(),
                                                    places[i].startLba)}));
    }
}

TEST_F(AudioImageTest, BchunkSplitsOutTheSourceSamples) {
    if (!Installed("bchunk")) GTEST_SKIP() << "no bchunk";
    const test::ToolRun said = RunTool("bchunk -w " + Out("disc.bin") + " " + Out("disc.cue") + " " + Out("split"));
    ASSERT_EQ(said.status, 0) << said.out;
    EXPECT_EQ(test::ReadBytes(out / "split01.iso").size(),
              size_t(disc.project.layoutState.totalSectors) * 2048);
    for (size_t i = 0; i < 3; ++i) {
        // bchunk ends each track where the next one's first index is.
        const int64_t end = i + 1 < 3 ? places[i + 1].pregapLba : DiscEndLba(disc.project);
        std::vector<uint8_t> expected = pcm[i];
        expected.resize(size_t(end - places[i].startLba) * 2352, 0);
        const auto wav = test::ReadBytes(out / FormatMessage("split%02zu.wav", i + 2));
        ASSERT_GE(wav.size(), 44u) << i;
        EXPECT_EQ(std::vector<uint8_t>(wav.begin() + 44, wav.end()), expected) << i;
    }
}

TEST_F(AudioImageTest, AnotherVariantAMissingSourceOrATooLongDiscStopsTheCompile) {
    for (const char* name : {"disc.iso", "disc.iml"}) {
        const std::string chosen = (out / name).string();
        const std::string expected = chosen + ": a disc with audio tracks compiles only to a .bin image";
        EXPECT_EQ(UnsafeCompileOutput(disc.project, "", chosen), expected);
        EXPECT_EQ(test::CompileMessage(disc.project, chosen), expected);
        EXPECT_FALSE(std::filesystem::exists(chosen));
    }
    std::filesystem::remove(sources / "two.raw");
    EXPECT_EQ(test::CompileMessage(disc.project, out / "again.bin"),
              "Cannot open file  " + (sources / "two.raw").string() + " ");
    EXPECT_FALSE(std::filesystem::exists(out / "again.cue"));

    disc.project.audioTracks[0].pregapSectors = 360000;
    EXPECT_TRUE(PreCompileCheck(disc.project).empty());
    EXPECT_EQ(PreCompileWarnings(disc.project).size(), 1u);  // longer than a CD
    disc.project.audioTracks[0].pregapSectors = MAX_DISC_SECTORS - 1;
    const std::vector<std::string> messages = PreCompileCheck(disc.project);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("past 99:59:74"), std::string::npos);
}

}  // namespace
}  // namespace korvalin
