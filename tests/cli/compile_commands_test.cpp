// SPDX-License-Identifier: GPL-3.0-or-later
// check, compile, remove-warnings, reset-lbas and verify.

#include "cli/cli_runner.h"
#include "image/tiny_image.h"

namespace korvalin::test {
namespace {

namespace fs = std::filesystem;

// Two files, A.BIN (5000 bytes) and B.BIN (3000 bytes), in a saved project.
class CliCompile : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const auto& [name, size] : {std::pair{"A.BIN", 5000}, {"B.BIN", 3000}}) {
            test::WriteBytes(dir / name, std::vector<uint8_t>(size, 0x11));
            test::AddFile(project, name, size, 0, (dir / name).string());
        }
    }
    std::string Save() {
        SaveProject(projectPath, project);
        return projectPath;
    }
    FileEntry LoadFile(int index) { return LoadProject(projectPath).fileTable.at(index); }

    test::TempDir dir;
    Project project = test::NewProject();
    std::string projectPath = (dir / "p.krv").string();
};

TEST_F(CliCompile, CheckAndCompilePrintTheirResults) {
    const auto clean = RunCli({"check", Save()});
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "");
    const auto compiled = RunCli({"compile", projectPath, (dir / "game.bin").string()});
    EXPECT_EQ(compiled.status, 0) << compiled.err;
    EXPECT_EQ(compiled.out, "CD Image Created Sucessfully!  \n");
    EXPECT_EQ(compiled.err, "");  // no progress bar when stderr is not a terminal
    EXPECT_EQ(test::ReadBytes(dir / "game.bin").size(), 28u * 2352);  // root 22, A 23-25, B 26-27
    EXPECT_TRUE(fs::exists(dir / "game.cue"));

    project.fileTable[1].recordLength = 7;
    const auto broken = RunCli({"check", Save()});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, "Error de tamaño en directorio del elemento file 1 - B.BIN\n");
    const auto refused = RunCli({"compile", projectPath, (dir / "other.iso").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, broken.out);
    EXPECT_FALSE(fs::exists(dir / "other.iso"));
    project.fileTable[1].recordLength = 54;
    fs::remove(dir / "B.BIN");
    const auto missing = RunCli({"compile", Save(), (dir / "game.iso").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Cannot open file  " + (dir / "B.BIN").string() + " \n");
}

TEST_F(CliCompile, DisplacedPinsNeedYesAndTheClearingCommandsSaveTheirResult) {
    test::Pin(project.fileTable[0], 30);
    test::Pin(project.fileTable[1], 31);  // on A.BIN's range: the layout displaces it
    const std::string image = (dir / "game.bin").string();
    const auto refused = RunCli({"compile", Save(), image});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Contains(refused.err,
                         "ATTENTION: some LBA settings have been displaced   "
                         "¿Contintue with construction? "));
    EXPECT_FALSE(fs::exists(image));
    EXPECT_EQ(RunCli({"compile", projectPath, image, "--yes"}).status, 0);
    EXPECT_TRUE(fs::exists(image));

    // Laid out first, B.BIN is displaced; the mark is then cleared.
    ASSERT_EQ(RunCli({"remove-warnings", projectPath}).status, 0);
    EXPECT_EQ(LoadFile(0).flags, FLAG_LBA_SET);
    EXPECT_EQ(LoadFile(1).flags, 0);
    ASSERT_EQ(RunCli({"reset-lbas", projectPath}).status, 0);
    EXPECT_EQ(LoadFile(0).flags, 0);
    EXPECT_EQ(LoadFile(0).lba, 23);  // laid out anew before saving
    EXPECT_EQ(RunCli({"reset-lbas", (dir / "none.krv").string()}).status, 1);
}

TEST(CliVerify, SummaryListingJsonQuietAndExitStatus) {
    test::TempDir dir;
    std::vector<uint8_t> raw = test::BuildTinyImage().Raw();
    test::WriteBytes(dir / "tiny.bin", raw);
    raw[test::RawOffset(40, 2200)] ^= 1;
    const std::string bad = (dir / "bad.bin").string();
    test::WriteBytes(bad, raw);
    const auto ok = RunCli({"verify", (dir / "tiny.bin").string()});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, (dir / "tiny.bin").string() +
                          ": raw 2352-byte sectors (sync pattern at sector 16), 92 sectors "
                          "checked; 2 directories, 67 files; 0 problems\n");
    EXPECT_EQ(ok.err, "");  // no progress bar when stderr is not a terminal
    const auto listed = RunCli({"verify", bad});
    EXPECT_EQ(listed.status, 1);
    EXPECT_TRUE(Contains(listed.out, "LBA 40: P parity does not match the data\n"));
    EXPECT_EQ(nlohmann::json::parse(RunCli({"verify", bad, "--json"}).out)["problems"][0]["lba"],
              40);
    EXPECT_EQ(RunCli({"verify", "--quiet", bad}).out, "");
    EXPECT_EQ(RunCli({"verify", (dir / "none.bin").string()}).status, 1);
    EXPECT_EQ(RunCli({"verify", bad, "--json", "--quiet"}).status, 2);
}

}  // namespace
}  // namespace korvalin::test
