#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::RunCli;
namespace fs = std::filesystem;

class CliCompile : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteBytes(dir / "a.bin", std::vector<uint8_t>(5000, 0x11));
        test::WriteBytes(dir / "b.bin", std::vector<uint8_t>(3000, 0x22));
        test::AddFile(project, "A.BIN", 5000, 0, (dir / "a.bin").string());
        test::AddFile(project, "B.BIN", 3000, 0, (dir / "b.bin").string());
    }
    std::string Save() {
        std::string message;
        EXPECT_TRUE(SaveProjectFile(projectPath, project, message)) << message;
        return projectPath;
    }
    Project Load() {
        Project loaded;
        std::string message;
        EXPECT_TRUE(OpenProjectFile(projectPath, loaded, CalendarTime{2024, 1, 1, 0, 0, 0}, message));
        return loaded;
    }

    test::TempDir dir;
    Project project = test::NewProject();
    std::string projectPath = (dir / "p.krv").string();
};

TEST_F(CliCompile, CheckAndCompilePrintTheirResults) {
    const auto clean = RunCli({"check", Save()});
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "");
    const std::string image = (dir / "game.bin").string();
    const auto compiled = RunCli({"compile", projectPath, image});
    EXPECT_EQ(compiled.status, 0) << compiled.err;
    EXPECT_EQ(compiled.out, "CD Image Created Sucessfully!  \n");
    EXPECT_EQ(compiled.err, "");  // no progress bar when stderr is not a terminal
    EXPECT_EQ(test::ReadBytes(image).size(), 28u * 2352);  // root 22, A 23-25, B 26-27
    EXPECT_TRUE(fs::exists(dir / "game.cue"));

    project.fileTable[1].recordLength = 7;
    const auto broken = RunCli({"check", Save()});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, "Error de tamaño en directorio del elemento file 1 - B.BIN\n");
    const auto refused = RunCli({"compile", projectPath, (dir / "other.iso").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Error de tamaño en directorio del elemento file 1 - B.BIN\n");
    EXPECT_FALSE(fs::exists(dir / "other.iso"));

    project.fileTable[1].recordLength = 54;
    fs::remove(dir / "b.bin");
    const auto missing = RunCli({"compile", Save(), (dir / "game.iso").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Cannot open file  " + (dir / "b.bin").string() + " \n");
    EXPECT_EQ(missing.out, "");
}

TEST_F(CliCompile, DisplacedPinsNeedYes) {
    test::Pin(project.fileTable[0], 30);
    test::Pin(project.fileTable[1], 31);  // on A.BIN's range: the layout displaces it
    const std::string image = (dir / "game.bin").string();
    const auto refused = RunCli({"compile", Save(), image});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("ATTENTION: some LBA settings have been displaced   ¿Contintue with "
                               "construction? "),
              std::string::npos);
    EXPECT_FALSE(fs::exists(image));
    const auto forced = RunCli({"compile", projectPath, image, "--yes"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_TRUE(fs::exists(image));
}

TEST_F(CliCompile, ClearingCommandsLayOutAndSave) {
    test::Pin(project.fileTable[0], 40);
    project.fileTable[1].flags = FLAG_DISPLACED;
    ASSERT_EQ(RunCli({"remove-warnings", Save()}).status, 0);
    EXPECT_EQ(Load().fileTable[0].flags, FLAG_LBA_SET);
    EXPECT_EQ(Load().fileTable[1].flags, 0);
    ASSERT_EQ(RunCli({"reset-lbas", projectPath}).status, 0);
    EXPECT_EQ(Load().fileTable[0].flags, 0);
    EXPECT_EQ(Load().fileTable[0].lba, 23);  // laid out anew before saving
    EXPECT_EQ(RunCli({"reset-lbas", (dir / "none.krv").string()}).status, 1);
}

}  // namespace
}  // namespace korvalin
