#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "layout/recompute_layout.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::RunCli;

TEST(CliNewAndLs, NewProjectListsTheRootAt22) {
    test::TempDir dir;
    const std::string path = (dir / "p.krv").string();
    ASSERT_EQ(RunCli({"new", path}).status, 0);
    EXPECT_EQ(test::ReadBytes(path).size(), 37833u);

    const auto listed = RunCli({"ls", path, "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const auto json = nlohmann::json::parse(listed.out);
    EXPECT_EQ(json["label"], "NEW");
    EXPECT_EQ(json["layout"]["totalSectors"], 23);
    EXPECT_EQ(json["layout"]["firstFileLba"], 23);
    EXPECT_EQ(json["layout"]["pathTableBytes"], 10);
    ASSERT_EQ(json["dirs"].size(), 1u);
    EXPECT_EQ(json["dirs"][0]["path"], "\\");
    EXPECT_EQ(json["dirs"][0]["lba"], 22);
    EXPECT_EQ(json["dirs"][0]["size"], 2048);
    EXPECT_EQ(json["extents"][0]["kind"], EXTENT_PLACED_DIR);
    EXPECT_TRUE(json["files"].empty());

    const auto text = RunCli({"ls", path});
    EXPECT_NE(text.out.find("Time: 00:02   TOC: 52KB/ LBA:23  Files:0 Folders:1 "), std::string::npos);

    // An existing project is not replaced by accident.
    const auto again = RunCli({"new", path});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already exists"), std::string::npos);
}

TEST(CliLs, ShowsEntriesWithPathsMarkersAndSources) {
    test::TempDir dir;
    Project project = test::NewProject();
    const int32_t data = test::AddDir(project, "DATA");
    test::AddFile(project, "MAIN.ELF", 5000, data, "/game/main.elf");
    const int32_t pinned = test::AddFile(project, "SYSTEM.CNF", 60, 0, "/game/system.cnf");
    project.fileTable[pinned].flags = FLAG_LBA_SET;
    project.fileTable[pinned].lba = 40;
    test::AddDummy(project, "PAD.BIN", 40);
    std::string message;
    ASSERT_TRUE(SaveProjectFile((dir / "p.krv").string(), project, message));

    const auto json = nlohmann::json::parse(RunCli({"ls", (dir / "p.krv").string(), "--json"}).out);
    ASSERT_EQ(json["files"].size(), 3u);
    EXPECT_EQ(json["files"][0]["path"], "\\DATA\\MAIN.ELF");
    EXPECT_EQ(json["files"][0]["lba"], 24);
    EXPECT_EQ(json["files"][0]["source"], "/game/main.elf");
    EXPECT_EQ(json["files"][2]["source"], nullptr);
    EXPECT_EQ(json["files"][2]["size"], 60);  // the dummy reports SYSTEM.CNF's size
    EXPECT_EQ(json["dirs"][1]["path"], "\\DATA");

    const auto text = RunCli({"ls", (dir / "p.krv").string()}).out;
    EXPECT_NE(text.find("\\DATA\\MAIN.ELF"), std::string::npos);
    EXPECT_NE(text.find("* 40"), std::string::npos);
    EXPECT_NE(text.find("+ 40"), std::string::npos);
    EXPECT_NE(text.find("'dummy'"), std::string::npos);
    EXPECT_NE(text.find("Files:3 Folders:2 "), std::string::npos);
}

TEST(CliSaveAs, ReproducesTheBytesOfTheLoadedFile) {
    test::TempDir dir;
    Project project = test::NewProject();
    test::AddFile(project, "A.BIN", 10, 0, "C:\\\\X\\\\A.BIN");
    RecomputeLayout(project);
    std::string message;
    ASSERT_TRUE(SaveProjectFile((dir / "a.krv").string(), project, message));
    ASSERT_EQ(RunCli({"save-as", (dir / "a.krv").string(), (dir / "b.krv").string()}).status, 0);
    EXPECT_EQ(test::ReadBytes(dir / "a.krv"), test::ReadBytes(dir / "b.krv"));
}

TEST(CliErrors, BadFilesExitOneAndUsageErrorsExitTwo) {
    test::TempDir dir;
    test::WriteText(dir / "junk.krv", "this is not a project");
    const auto junk = RunCli({"ls", (dir / "junk.krv").string()});
    EXPECT_EQ(junk.status, 1);
    EXPECT_NE(junk.err.find("junk.krv"), std::string::npos);
    EXPECT_NE(junk.err.find("korvalindataCD"), std::string::npos);

    const auto missing = RunCli({"save-as", (dir / "none.krv").string(), (dir / "b.krv").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "b.krv"));

    EXPECT_EQ(RunCli({"ls"}).status, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).status, 2);
    EXPECT_EQ(RunCli({}).status, 2);
    const auto help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("save-as"), std::string::npos);
    const auto version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("1.5.4"), std::string::npos);
}

}  // namespace
}  // namespace korvalin
