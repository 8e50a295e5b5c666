// SPDX-License-Identifier: GPL-3.0-or-later
// A project folder that moved: compile and check find the sources beside the
// project, check lists the ones still missing, relocate rewrites the paths.

#include "cli/cli_runner.h"

namespace korvalin::test {
namespace {

namespace fs = std::filesystem;

// The source paths as the file holds them.
std::vector<std::string> Sources(const std::string& project) {
    const Project loaded = LoadProject(project);
    std::vector<std::string> sources;
    for (const FileEntry& file : loaded.fileTable) sources.push_back(file.sourcePath.value_or(""));
    return sources;
}

// A project in old/game/p.krv with its files in old/game/disc.
class CliMovedProject : public ::testing::Test {
  protected:
    void SetUp() override {
        test::WriteBytes(dir / "old/game/disc/SYSTEM.CNF", std::vector<uint8_t>(100, 0x53));
        test::WriteBytes(dir / "old/game/disc/DATA/MAIN.BIN", std::vector<uint8_t>(5000, 0x4d));
        ASSERT_EQ(RunCli({"new", Old("p.krv")}).status, 0);
        ASSERT_EQ(RunCli({"add", Old("p.krv"), Old("disc/SYSTEM.CNF"), Old("disc/DATA")}).status, 0);
    }
    std::string Old(const std::string& name) const { return (dir / "old/game" / name).string(); }
    std::string New(const std::string& name) const { return (dir / "new/game" / name).string(); }
    void MoveGame() {
        fs::create_directories(dir / "new");
        fs::rename(dir / "old/game", dir / "new/game");
    }
    test::TempDir dir;
};

TEST_F(CliMovedProject, CompilesTheSameImageAfterTheFolderMoved) {
    ASSERT_EQ(RunCli({"compile", Old("p.krv"), (dir / "before.bin").string()}).status, 0);
    MoveGame();
    const auto check = RunCli({"check", New("p.krv")});
    EXPECT_EQ(check.status, 0) << check.out;
    const auto compiled = RunCli({"compile", New("p.krv"), (dir / "after.bin").string()});
    ASSERT_EQ(compiled.status, 0) << compiled.err;
    EXPECT_EQ(test::ReadBytes(dir / "after.bin"), test::ReadBytes(dir / "before.bin"));
    // A command that saves writes the found paths.
    ASSERT_EQ(RunCli({"remove-warnings", New("p.krv")}).status, 0);
    EXPECT_EQ(Sources(New("p.krv")),
              (std::vector<std::string>{New("disc/SYSTEM.CNF"), New("disc/DATA/MAIN.BIN")}));

    fs::remove(New("disc/DATA/MAIN.BIN"));
    const auto missing = RunCli({"check", New("p.krv")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out,
              "\\DATA\\MAIN.BIN: source file not found: " + New("disc/DATA/MAIN.BIN") + "\n");
}

TEST_F(CliMovedProject, RelocateRewritesThePrefixAndSaves) {
    fs::create_directories(dir / "store");
    fs::rename(dir / "old/game/disc", dir / "store/disc");
    const std::string project = Old("p.krv");
    const std::vector<uint8_t> before = test::ReadBytes(project);
    const auto unmatched = RunCli({"relocate", project, Old("dis"), "/x"});
    EXPECT_EQ(unmatched.status, 1);
    EXPECT_TRUE(Contains(unmatched.err, "no source path"));
    EXPECT_EQ(test::ReadBytes(project), before);

    const std::string store = (dir / "store").string();
    const auto relocated = RunCli({"relocate", project, Old(""), store + "/"});
    ASSERT_EQ(relocated.status, 0) << relocated.err;
    EXPECT_TRUE(Contains(relocated.out, "\\SYSTEM.CNF: " + Old("disc/SYSTEM.CNF") + " -> " +
                                            store + "/disc/SYSTEM.CNF"));
    EXPECT_EQ(Sources(project), (std::vector<std::string>{store + "/disc/SYSTEM.CNF",
                                                          store + "/disc/DATA/MAIN.BIN"}));
    EXPECT_EQ(RunCli({"check", project}).status, 0);
    EXPECT_EQ(RunCli({"relocate", project, "/x"}).status, 2);
}

}  // namespace
}  // namespace korvalin::test
