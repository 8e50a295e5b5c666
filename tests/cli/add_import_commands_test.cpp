#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using test::RunCli;
using Lines = std::vector<std::string>;

Lines FilePaths(const std::string& project) {
    const auto listed = RunCli({"ls", project, "--json"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    const auto json = nlohmann::json::parse(listed.out);
    Lines paths;
    for (const auto& e : json["files"]) paths.push_back(e["path"]);
    return paths;
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
    const auto unknown = RunCli({"add", project, "--into", "\\NOPE", (dir / "extra.bin").string()});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("NOPE"), std::string::npos);
    EXPECT_EQ(RunCli({"add", project}).status, 2);

    // Stopping on the file limit saves what was added and exits 1.
    Project full = test::NewProject();
    for (int i = 0; i < 4095; ++i) test::AddFile(full, "F" + std::to_string(i), 1);
    std::string message;
    ASSERT_TRUE(SaveProjectFile(project, full, message));
    for (const char* name : {"a.bin", "b.bin"}) test::WriteText(dir / "two" / name, "x");
    const auto stopped = RunCli({"add", project, (dir / "two").string()});
    EXPECT_EQ(stopped.status, 1);
    EXPECT_NE(stopped.err.find("  Too many files(more than  4096)"), std::string::npos);
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
    EXPECT_NE(imported.err.find("Cannot find filename:  " + (disc / "DATA" / "GONE.BIN").string()),
              std::string::npos);
    EXPECT_EQ(FilePaths(project), (Lines{"\\DATA\\A.BIN", "\\C.BIN"}));
    EXPECT_EQ(RunCli({"import", listing, project, "--mode", "3"}).status, 2);

    const auto before = test::ReadBytes(project);
    fs::create_directory(disc / "X.DIR");
    test::WriteText(listing, "24 , \\DATA\\A.BIN\n30 , \\X.DIR\n");
    const auto failed = RunCli({"import", listing, project});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("Illegal directory name for:  \\X.DIR \n"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(project), before);
    const auto unreadable =
        RunCli({"import", (dir / "none.txt").string(), (dir / "o.krv").string()});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_NE(unreadable.err.find("none.txt"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "o.krv"));
}

}  // namespace
}  // namespace korvalin
