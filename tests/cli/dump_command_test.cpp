// SPDX-License-Identifier: GPL-3.0-or-later
// korvalin dump from the command line: a good image gives its summary and
// project; each kind of bad image, a cue sheet naming a missing file, a
// folder in use and a link in the way give their message, exit 1 and no project.

#include <algorithm>
#include <cstring>

#include "cli/cli_runner.h"
#include "image/byte_order.h"

namespace korvalin::test {
namespace {

namespace fs = std::filesystem;

// The root with DATA\ABCD.BIN (5000 bytes) and README.TXT, as a .iso.
std::vector<uint8_t> CompiledIso(const TempDir& dir) {
    Project project = NewProject();
    project.volumeInfo.SetLabel("GAME");
    const int32_t data = AddDir(project, "DATA");
    WriteBytes(dir / "abcd", std::vector<uint8_t>(5000, 9));
    WriteText(dir / "readme", "read me");
    AddFile(project, "ABCD.BIN", 5000, data, (dir / "abcd").string());
    AddFile(project, "README.TXT", 7, 0, (dir / "readme").string());
    return CompileTo(project, dir / "good.iso");
}

// Where `text` begins in the image's directory sectors (from LBA 22 on).
size_t Find(const std::vector<uint8_t>& image, const std::string& text) {
    const auto at = std::search(image.begin() + 22 * 2048, image.end(), text.begin(), text.end());
    EXPECT_NE(at, image.end()) << text;
    return static_cast<size_t>(at - image.begin());
}

TEST(DumpCommand, WritesTheProjectListingAndFilesAndSaysWhatItCouldNotKeep) {
    TempDir dir;
    CompiledIso(dir);
    const CliResult run = RunCli({"dump", (dir / "good.iso").string(), (dir / "out").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "2 directories, 2 files, 5007 bytes extracted to"));
    EXPECT_TRUE(fs::exists(dir / "out" / "GAME.krv"));
    EXPECT_EQ(ReadBytes(dir / "out" / "files" / "DATA" / "ABCD.BIN"), std::vector<uint8_t>(5000, 9));
    EXPECT_TRUE(Contains(ReadText(dir / "out" / "GAME.txt"), "23 , \\DATA\r\n"));

    const CliResult again = RunCli({"dump", (dir / "good.iso").string(), (dir / "out").string()});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(Contains(again.err, "is not empty; give --force"));
    // A link left in the way is never written through, even with --force.
    fs::remove_all(dir / "out" / "files" / "DATA");
    fs::create_directory(dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", dir / "out" / "files" / "DATA");
    const CliResult linked = RunCli({"dump", (dir / "good.iso").string(), (dir / "out").string(), "--force"});
    EXPECT_EQ(linked.status, 1);
    EXPECT_TRUE(Contains(linked.err, "is a link; a dump never writes through links"));
    EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}

TEST(DumpCommand, BadImagesGiveTheirMessageAndNoProject) {
    TempDir dir;
    const std::vector<uint8_t> good = CompiledIso(dir);
    const auto damaged = [&](const std::function<void(std::vector<uint8_t>&)>& damage) {
        std::vector<uint8_t> bytes = good;
        damage(bytes);
        return bytes;
    };
    const uint32_t rootLba = 22;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* message;
    } cases[] = {
        {"cut.iso", std::vector<uint8_t>(good.begin(), good.begin() + 25 * 2048),
         "runs past the end of the image: it is cut short"},
        {"noise.iso", std::vector<uint8_t>(40 * 2048, 0x5A), "not an ISO 9660 image"},
        {"loop.iso", damaged([&](std::vector<uint8_t>& b) {
             PutBoth32(&b[Find(b, "DATA") - 31], rootLba);  // DATA's record names the root's sectors
             b[18 * 2048 + 12] = rootLba;                   // and so does the L path table
         }),
         "lies on sectors of another directory: the hierarchy loops"},
        {"past.iso", damaged([&](std::vector<uint8_t>& b) { PutBoth32(&b[16 * 2048 + 156 + 10], 150); }),
         "record length 60 runs past the end of the directory extent"},
        {"record.iso", damaged([&](std::vector<uint8_t>& b) { b[Find(b, "README.TXT;1") - 1] = 200; }),
         "identifier length 200 does not fit"},
        {"escape.iso", damaged([&](std::vector<uint8_t>& b) { std::memcpy(&b[Find(b, "ABCD.BIN")], "../", 3); }),
         "the name \"../D.BIN;1\" is not a plain ISO 9660 name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir / c.name, c.bytes);
        const fs::path out = dir / (std::string(c.name) + ".out");
        const CliResult run = RunCli({"dump", (dir / c.name).string(), out.string()});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(Contains(run.err, std::string((dir / c.name).string()) + ": " ));
        EXPECT_TRUE(Contains(run.err, c.message));
        EXPECT_FALSE(fs::exists(out));
    }
    WriteText(dir / "gone.cue", "FILE \"gone.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n");
    const CliResult cue = RunCli({"dump", (dir / "gone.cue").string(), (dir / "cue.out").string()});
    EXPECT_EQ(cue.status, 1);
    EXPECT_TRUE(Contains(cue.err, "gone.cue names the file " + (dir / "gone.bin").string() + ", which does not exist"));
    EXPECT_EQ(RunCli({"verify", (dir / "gone.cue").string()}).status, 1);
    // A cue sheet naming an image that is there: verify checks its data track.
    WriteBytes(dir / "good.bin", std::vector<uint8_t>(150 * 2352, 0));
    WriteText(dir / "pregap.cue", "FILE good.bin BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                                  " TRACK 02 MODE2/2352\n  INDEX 01 00:01:00\n");
    const CliResult verified = RunCli({"verify", (dir / "pregap.cue").string()});
    EXPECT_TRUE(Contains(verified.out, "note: not checked: track 01 (AUDIO)"));
    EXPECT_TRUE(Contains(verified.out, "track 02 MODE2/2352 of the cue sheet, 75 sectors checked"));
}

}  // namespace
}  // namespace korvalin::test
