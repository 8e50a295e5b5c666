// SPDX-License-Identifier: GPL-3.0-or-later
// new, ls, save-as, add and import: what they save and print, and their exit codes.

#include "cli/cli_runner.h"

namespace korvalin::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The file paths `ls --json` lists.
Lines FilePaths(const std::string& project) {
    const nlohmann::json json = LsJson(project);
    Lines paths;
    for (const auto& e : json["files"]) paths.push_back(e["path"]);
    return paths;
}

TEST(CliProject, NewLsAndSaveAs) {
    test::TempDir dir;
    const std::string path = (dir / "p.krv").string();
    ASSERT_EQ(RunCli({"new", path}).status, 0);
    EXPECT_EQ(test::ReadBytes(path).size(), 37833u);
    const auto again = RunCli({"new", path});  // not replaced by accident
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(Contains(again.err, "already exists"));

    Project project = test::NewProject();
    test::AddFile(project, "MAIN.ELF", 5000, test::AddDir(project, "DATA"), "/game/main.elf");
    test::Pin(project.fileTable[test::AddFile(project, "SYSTEM.CNF", 60)], 40);
    test::AddDummy(project, "PAD.BIN", 40);
    SaveProject(path, project);
    const auto json = LsJson(path);  // laid out before it is listed
    EXPECT_EQ(json["layout"]["totalSectors"], 41);
    EXPECT_EQ(json["files"][0]["lba"], 24);
    EXPECT_EQ(json["files"][0]["source"], "/game/main.elf");
    EXPECT_EQ(json["files"][2]["size"], 60);  // the dummy reports SYSTEM.CNF's size
    const std::string text = RunCli({"ls", path}).out;
    for (const char* part : {"\\DATA\\MAIN.ELF", "* 40", "+ 40", "'dummy'",
                             "Time: 00:02   TOC: 94KB/ LBA:41  Files:3 Folders:2 "}) {
        EXPECT_TRUE(Contains(text, part));
    }
    ASSERT_EQ(RunCli({"save-as", path, (dir / "b.krv").string()}).status, 0);
    EXPECT_EQ(test::ReadBytes(dir / "b.krv"), test::ReadBytes(path));

    test::WriteText(dir / "junk.krv", "this is not a project");
    const auto junk = RunCli({"ls", (dir / "junk.krv").string()});
    EXPECT_EQ(junk.status, 1);
    EXPECT_TRUE(Contains(junk.err, (dir / "junk.krv").string()));
    EXPECT_EQ(RunCli({"save-as", (dir / "none.krv").string(), (dir / "c.krv").string()}).status, 1);
    EXPECT_FALSE(fs::exists(dir / "c.krv"));
    EXPECT_EQ(RunCli({"ls"}).status, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).status, 2);
}

TEST(CliAdd, AddsIntoADirectoryReportsTheLogAndExitsOneOnlyWhenStopped) {
    test::TempDir dir;
    const std::string project = (dir / "p.krv").string();
    test::WriteText(dir / "game" / "system.cnf", "BOOT2 = cdrom0:\\MAIN.ELF;1\n");
    test::WriteText(dir / "game" / "data" / "LongFileName.txt", "x");
    test::WriteText(dir / "extra.bin", "e");
    ASSERT_EQ(RunCli({"new", project}).status, 0);
    const auto added = RunCli({"add", project, (dir / "game").string() + "/"});
    EXPECT_EQ(added.status, 0);  // refused items are reported, the add itself succeeded
    EXPECT_EQ(added.err,
              "ATTENTION\n    the elements listed here have not been included!     \n\n"
              "WARNING: illgal filename: \\GAME\\DATA\\LONGFI~1.TXT \n");
    const auto into =
        RunCli({"add", project, "--into", "/game/data", (dir / "extra.bin").string()});
    EXPECT_EQ(into.status, 0) << into.err;
    EXPECT_EQ(into.err, "");
    EXPECT_EQ(FilePaths(project), (Lines{"\\GAME\\SYSTEM.CNF", "\\GAME\\DATA\\EXTRA.BIN"}));
    EXPECT_EQ(RunCli({"add", project, "--into", "\\NOPE", (dir / "extra.bin").string()}).status, 1);
    EXPECT_EQ(RunCli({"add", project}).status, 2);

    // Stopping on the file limit saves what was added and exits 1.
    Project full = test::NewProject();
    for (int i = 0; i < 4095; ++i) test::AddFile(full, "F" + std::to_string(i), 1);
    SaveProject(project, full);
    for (const char* name : {"a.bin", "b.bin"}) test::WriteText(dir / "two" / name, "x");
    const auto stopped = RunCli({"add", project, (dir / "two").string()});
    EXPECT_EQ(stopped.status, 1);
    EXPECT_TRUE(Contains(stopped.err, "  Too many files(more than  4096)"));
    EXPECT_EQ(FilePaths(project).back(), "\\TWO\\A.BIN");
}

TEST(CliImport, CreatesTheProjectOrLeavesItAloneWhenTheImportEndsOnAnError) {
    test::TempDir dir;
    const fs::path disc = dir / "MYGAME";
    test::WriteText(disc / "C.BIN", "c");
    test::WriteText(disc / "DATA" / "A.BIN", "a");
    const std::string listing = (disc / "LIST.TXT").string();
    const std::string project = (dir / "p.krv").string();
    test::WriteText(listing, "300 , \\C.BIN\n24 , \\DATA\\A.BIN\n25 , \\DATA\\GONE.BIN\n");
    const auto imported = RunCli({"import", listing, project, "--mode", "1"});
    EXPECT_EQ(imported.status, 0);  // a missing file is reported, not fatal
    EXPECT_TRUE(
        Contains(imported.err, "Cannot find filename:  " + (disc / "DATA" / "GONE.BIN").string()));
    EXPECT_EQ(FilePaths(project), (Lines{"\\DATA\\A.BIN", "\\C.BIN"}));

    const auto before = test::ReadBytes(project);
    fs::create_directory(disc / "X.DIR");
    test::WriteText(listing, "24 , \\DATA\\A.BIN\n30 , \\X.DIR\n");
    const auto failed = RunCli({"import", listing, project});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(Contains(failed.err, "Illegal directory name for:  \\X.DIR \n"));
    EXPECT_EQ(test::ReadBytes(project), before);
    const auto unreadable =
        RunCli({"import", (dir / "none.txt").string(), (dir / "o.krv").string()});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_TRUE(Contains(unreadable.err, "none.txt"));
    EXPECT_FALSE(fs::exists(dir / "o.krv"));
}

}  // namespace
}  // namespace korvalin::test
