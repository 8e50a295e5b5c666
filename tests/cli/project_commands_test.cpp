#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::RunCli;

TEST(CliProject, NewLsAndSaveAs) {
    test::TempDir dir;
    const std::string path = (dir / "p.krv").string();
    ASSERT_EQ(RunCli({"new", path}).status, 0);
    EXPECT_EQ(test::ReadBytes(path).size(), 37833u);
    // An existing project is not replaced by accident.
    const auto again = RunCli({"new", path});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already exists"), std::string::npos);

    Project project = test::NewProject();
    test::AddFile(project, "MAIN.ELF", 5000, test::AddDir(project, "DATA"),
                  "C:\\\\game\\\\main.elf");
    test::Pin(project.fileTable[test::AddFile(project, "SYSTEM.CNF", 60)], 40);
    test::AddDummy(project, "PAD.BIN", 40);
    std::string message;
    ASSERT_TRUE(SaveProjectFile(path, project, message));
    // The project is laid out before it is listed.
    const auto listed = RunCli({"ls", path, "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const auto json = nlohmann::json::parse(listed.out);
    EXPECT_EQ(json["label"], "NEW");
    EXPECT_EQ(json["layout"]["totalSectors"], 41);
    EXPECT_EQ(json["dirs"][1]["path"], "\\DATA");
    EXPECT_EQ(json["dirs"][1]["lba"], 23);
    EXPECT_EQ(json["files"][0]["path"], "\\DATA\\MAIN.ELF");
    EXPECT_EQ(json["files"][0]["lba"], 24);
    EXPECT_EQ(json["files"][0]["source"], "C:\\game\\main.elf");
    EXPECT_EQ(json["files"][2]["source"], nullptr);
    EXPECT_EQ(json["files"][2]["size"], 60);  // the dummy reports SYSTEM.CNF's size
    EXPECT_EQ(json["extents"][0]["kind"], EXTENT_PLACED_DIR);
    const std::string text = RunCli({"ls", path}).out;
    for (const char* part : {"\\DATA\\MAIN.ELF", "* 40", "+ 40", "'dummy'",
                             "Time: 00:02   TOC: 94KB/ LBA:41  Files:3 Folders:2 "}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    }

    ASSERT_EQ(RunCli({"save-as", path, (dir / "b.krv").string()}).status, 0);
    EXPECT_EQ(test::ReadBytes(dir / "b.krv"), test::ReadBytes(path));
}

TEST(CliProject, BadFilesExitOneAndUsageErrorsExitTwo) {
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
