// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio_samples.h"
#include "cli/cli_runner.h"

namespace korvalin::test {
namespace {

using Lines = std::vector<std::string>;

class CliTrack : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RunCli({"new", project}).status, 0);
        test::WriteBytes(dir / "a.wav", test::WavFile(test::Samples(2352 * 75, 1)));
        test::WriteBytes(dir / "b.raw", test::Samples(2352 * 10 + 1, 2));
        test::WriteBytes(dir / "mono.wav", test::WavFile(test::Samples(100, 3), 1));
    }
    nlohmann::json Tracks() const {
        const test::CliResult ls = RunCli({"track", "ls", project, "--json"});
        EXPECT_EQ(ls.status, 0) << ls.err;
        return nlohmann::json::parse(ls.out);
    }
    void ExpectRefused(const Lines& args, int status, const std::string& message) {
        test::ExpectRefused(args, status, message, {project});
    }
    std::string Path(const char* name) const { return (dir / name).string(); }

    test::TempDir dir;
    std::string project = (dir / "p.krv").string();
};

TEST_F(CliTrack, AddSetAndRemoveKeepTheTracksInOrder) {
    ASSERT_EQ(RunCli({"track", "add", project, Path("a.wav")}).status, 0);
    ASSERT_EQ(RunCli({"track", "add", project, Path("b.raw"), "--pregap", "0"}).status, 0);
    nlohmann::json listed = Tracks();
    const int data = listed["data_sectors"];
    ASSERT_EQ(listed["tracks"].size(), 2u);
    EXPECT_EQ(listed["tracks"][0]["number"], 2);
    EXPECT_EQ(listed["tracks"][0]["kind"], "wav");
    EXPECT_EQ(listed["tracks"][0]["pregap"], 150);
    EXPECT_EQ(listed["tracks"][0]["start_lba"], data + 150);
    EXPECT_EQ(listed["tracks"][1]["kind"], "raw");
    EXPECT_EQ(listed["tracks"][1]["sectors"], 11);
    EXPECT_EQ(listed["tracks"][1]["start_lba"], data + 150 + 75);
    EXPECT_EQ(listed["disc_sectors"], data + 150 + 75 + 11);

    ASSERT_EQ(RunCli({"track", "set", project, "3", "--move-to", "2", "--pregap", "00:01:00"}).status, 0);
    listed = Tracks();
    EXPECT_EQ(listed["tracks"][0]["source"], Path("b.raw"));
    EXPECT_EQ(listed["tracks"][0]["pregap"], 75);
    EXPECT_EQ(listed["tracks"][1]["start_lba"], data + 75 + 11 + 150);

    ASSERT_EQ(RunCli({"track", "set", project, "3", "--source", Path("b.raw")}).status, 0);
    ASSERT_EQ(RunCli({"track", "rm", project, "2"}).status, 0);
    listed = Tracks();
    ASSERT_EQ(listed["tracks"].size(), 1u);
    EXPECT_EQ(listed["tracks"][0]["source"], Path("b.raw"));
    EXPECT_EQ(listed["tracks"][0]["pregap"], 150);  // the pregap stays with the track

    const test::CliResult text = RunCli({"track", "ls", project});
    EXPECT_TRUE(Contains(text.out, "    2  "));
    EXPECT_TRUE(Contains(text.out, "00:00:11  00:02:00  " + Path("b.raw")));
}

TEST_F(CliTrack, WrongSourcesNumbersAndVariantsAreRefused) {
    ASSERT_EQ(RunCli({"track", "add", project, Path("a.wav")}).status, 0);
    ExpectRefused({"track", "add", project, Path("b.raw"), Path("mono.wav")}, 1,
                  "korvalin: " + Path("mono.wav") + ": is a WAV file of 1 channel(s), 44100 Hz");
    ExpectRefused({"track", "add", project, Path("none.wav")}, 1, "cannot be opened");
    ExpectRefused({"track", "rm", project, "3"}, 1,
                  "korvalin: " + project + ": no audio track 3 (it has 1, numbered 2 to 2)");
    ExpectRefused({"track", "set", project, "2", "--move-to", "1"}, 1, "no audio track 1");
    ExpectRefused({"track", "set", project, "2"}, 2, "needs --pregap, --source or --move-to");
    ExpectRefused({"track", "add", project, Path("b.raw"), "--pregap", "00:60:00"}, 2,
                  "expected a pregap");
    ExpectRefused({"track", "ls", project, "--pregap", "0"}, 2, "takes only --json");
}

TEST_F(CliTrack, DaFilesNameTheirTrackAndKeepItFromRemoval) {
    ASSERT_EQ(RunCli({"track", "add", project, Path("a.wav"), Path("b.raw")}).status, 0);
    ExpectRefused({"da", project, "/SONG.DA", "--track", "4"}, 1, "no audio track 4");
    ExpectRefused({"da", project, "/NONE/SONG.DA", "--track", "2"}, 1, "no such directory");
    const test::CliResult made = RunCli({"da", project, "/song.da", "--track", "3"});
    ASSERT_EQ(made.status, 0) << made.err;
    const nlohmann::json tree = LsJson(project);
    EXPECT_TRUE(Contains(tree.dump(), "SONG.DA"));
    EXPECT_TRUE(Contains(tree.dump(), std::to_string(int(Tracks()["tracks"][1]["start_lba"]))));
    EXPECT_EQ(tree["audioTracks"], Tracks()["tracks"]);
    EXPECT_EQ(tree["files"][0]["daTrack"], 3);
    ExpectRefused({"track", "rm", project, "3"}, 1, "track 3 is named by the DA file \\SONG.DA");
    ASSERT_EQ(RunCli({"track", "set", project, "3", "--move-to", "2"}).status, 0);
    ExpectRefused({"track", "rm", project, "2"}, 1, "named by the DA file");
}

TEST_F(CliTrack, MovedSourcesAreCheckedRelocatedAndTheImageVerifiedWithItsTracks) {
    ASSERT_EQ(RunCli({"track", "add", project, Path("a.wav"), Path("b.raw")}).status, 0);
    std::filesystem::create_directory(dir / "moved");
    std::filesystem::rename(dir / "b.raw", dir / "moved" / "b.raw");
    const std::vector<uint8_t> wav = test::ReadBytes(dir / "a.wav");
    std::filesystem::resize_file(dir / "a.wav", 1000);
    const test::CliResult check = RunCli({"check", project});
    EXPECT_EQ(check.status, 1);
    EXPECT_TRUE(Contains(check.out, "Audio track 02: its source " + Path("a.wav") + " holds 1000 bytes; its samples "
                                    "need " + std::to_string(wav.size())));
    EXPECT_TRUE(Contains(check.out, "Audio track 03: its source " + Path("b.raw") + " cannot be opened"));
    EXPECT_EQ(RunCli({"compile", project, Path("out.bin")}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.bin"));
    test::WriteBytes(dir / "a.wav", wav);

    const test::CliResult moved = RunCli({"relocate", project, Path("b.raw"), Path("moved/b.raw")});
    ASSERT_EQ(moved.status, 0) << moved.err;
    EXPECT_EQ(moved.out, "audio track 03: " + Path("b.raw") + " -> " + Path("moved/b.raw") + "\n");
    EXPECT_EQ(RunCli({"check", project}).status, 0);
    ASSERT_EQ(RunCli({"compile", project, Path("out.bin")}).status, 0);

    const test::CliResult verified = RunCli({"verify", Path("out.cue"), "--json"});
    ASSERT_EQ(verified.status, 0) << verified.out;
    const nlohmann::json report = nlohmann::json::parse(verified.out);
    const nlohmann::json tracks = Tracks()["tracks"];
    ASSERT_EQ(report["audioTracks"].size(), 2u);
    EXPECT_EQ(report["audioTracks"][1]["index1_lba"], tracks[1]["start_lba"]);
    EXPECT_EQ(report["audioTracks"][1]["index0_lba"], int(tracks[1]["start_lba"]) - 150);
    EXPECT_EQ(report["audioTracks"][1]["sectors"], 11);
    EXPECT_EQ(report["audioTracks"][1]["length"], "00:00:11");
    EXPECT_TRUE(Contains(RunCli({"verify", Path("out.cue")}).out,
                         "note: track 03 (AUDIO): INDEX 00 at " + std::string(report["audioTracks"][1]["index0"])));
}

}  // namespace
}  // namespace korvalin::test
