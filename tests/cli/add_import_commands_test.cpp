#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

nlohmann::json Ls(const std::string& project) {
    const auto listed = RunCli({"ls", project, "--json"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    return nlohmann::json::parse(listed.out);
}

std::vector<std::string> Paths(const nlohmann::json& entries) {
    std::vector<std::string> paths;
    for (const auto& e : entries) paths.push_back(e["path"]);
    return paths;
}

TEST(CliAdd, AddsFoldersIntoADirectoryAndReportsTheLog) {
    test::TempDir dir;
    const std::string project = (dir / "p.krv").string();
    fs::create_directories(dir / "game" / "data");
    test::WriteText(dir / "game" / "system.cnf", "BOOT2 = cdrom0:\\MAIN.ELF;1\n");
    test::WriteText(dir / "game" / "data" / "LongFileName.txt", "x");
    test::WriteText(dir / "extra.bin", std::string(5000, 'e'));
    ASSERT_EQ(RunCli({"new", project}).status, 0);

    const auto added = RunCli({"add", project, (dir / "game").string() + "/"});
    EXPECT_EQ(added.status, 0);  // refused items are reported, the add itself succeeded
    EXPECT_EQ(added.err,
              "ATTENTION\n    the elements listed here have not been included!     \n\n"
              "WARNING: illgal filename: \\GAME\\DATA\\LONGFI~1.TXT \n");
    const auto into = RunCli({"add", project, "--into", "/game/data", (dir / "extra.bin").string()});
    EXPECT_EQ(into.status, 0) << into.err;
    EXPECT_TRUE(into.err.empty());

    const auto json = Ls(project);
    EXPECT_EQ(Paths(json["dirs"]), (std::vector<std::string>{"\\", "\\GAME", "\\GAME\\DATA"}));
    EXPECT_EQ(Paths(json["files"]),
              (std::vector<std::string>{"\\GAME\\SYSTEM.CNF", "\\GAME\\DATA\\EXTRA.BIN"}));
    EXPECT_EQ(json["files"][1]["source"], (dir / "extra.bin").string());
    EXPECT_EQ(json["files"][1]["size"], 5000);
    EXPECT_GT(json["files"][1]["lba"], 22);  // laid out before saving

    const auto unknown = RunCli({"add", project, "--into", "\\NOPE", (dir / "extra.bin").string()});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("NOPE"), std::string::npos);
    const auto onFile =
        RunCli({"add", project, "--into", "\\GAME\\SYSTEM.CNF", (dir / "extra.bin").string()});
    EXPECT_EQ(onFile.status, 1);
    EXPECT_EQ(RunCli({"add", project}).status, 2);
}

TEST(CliAdd, StoppingOnTheFileLimitSavesWhatWasAddedAndExitsOne) {
    test::TempDir dir;
    Project full = test::NewProject();
    for (int i = 0; i < 4095; ++i) test::AddFile(full, "F" + std::to_string(i), 1);
    std::string message;
    ASSERT_TRUE(SaveProjectFile((dir / "p.krv").string(), full, message));
    fs::create_directory(dir / "three");
    for (const char* name : {"a.bin", "b.bin", "c.bin"}) test::WriteText(dir / "three" / name, "x");

    const auto result = RunCli({"add", (dir / "p.krv").string(), (dir / "three").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("  Too many files(more than  4096)"), std::string::npos);
    EXPECT_EQ(Ls((dir / "p.krv").string())["files"].size(), 4096u);
}

class CliImport : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(disc_ / "DATA");
        test::WriteText(disc_ / "C.BIN", std::string(3000, 'c'));
        test::WriteText(disc_ / "DATA" / "A.BIN", "a");
        test::WriteText(disc_ / "DATA" / "B.BIN", "b");
        test::WriteText(disc_ / "LIST.TXT", "300 , \\C.BIN\n24 , \\DATA\\A.BIN\n150 , \\DATA\\B.BIN\n");
    }
    test::TempDir dir_;
    fs::path disc_ = dir_ / "MYGAME";
    std::string project_ = (dir_ / "p.krv").string();
    std::string listing_ = (dir_ / "MYGAME" / "LIST.TXT").string();
};

TEST_F(CliImport, CreatesTheProjectWithPinnedLbasOrTheirOrder) {
    const auto imported = RunCli({"import", listing_, project_});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_TRUE(imported.err.empty());
    auto json = Ls(project_);
    EXPECT_EQ(json["label"], "MYGAME");
    EXPECT_EQ(Paths(json["files"]),
              (std::vector<std::string>{"\\C.BIN", "\\DATA\\A.BIN", "\\DATA\\B.BIN"}));
    EXPECT_EQ(json["files"][0]["lba"], 300);
    EXPECT_EQ(json["files"][0]["flags"], 1);
    EXPECT_EQ(json["dirs"][1]["lba"], 23);  // placed by the layout

    ASSERT_EQ(RunCli({"import", listing_, project_, "--mode", "1"}).status, 0);
    json = Ls(project_);
    EXPECT_EQ(Paths(json["files"]),
              (std::vector<std::string>{"\\DATA\\A.BIN", "\\DATA\\B.BIN", "\\C.BIN"}));
    EXPECT_EQ(json["files"][0]["flags"], 0);
    EXPECT_EQ(RunCli({"import", listing_, project_, "--mode", "3"}).status, 2);
}

TEST_F(CliImport, AnImportEndedByAnErrorLeavesTheProjectFileAlone) {
    ASSERT_EQ(RunCli({"import", listing_, project_}).status, 0);
    const auto before = test::ReadBytes(project_);
    fs::create_directory(disc_ / "X.DIR");
    test::WriteText(disc_ / "LIST.TXT", "24 , \\DATA\\A.BIN\n30 , \\X.DIR\n");
    const auto failed = RunCli({"import", listing_, project_});
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("Illegal directory name for:  \\X.DIR \n"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(project_), before);

    test::WriteText(disc_ / "LIST.TXT", "24 , \\DATA\\A.BIN\n25 , \\DATA\\GONE.BIN\n");
    const auto missing = RunCli({"import", listing_, project_});
    EXPECT_EQ(missing.status, 0);  // a missing file is reported, not fatal
    EXPECT_NE(missing.err.find("Cannot find filename:  " + (disc_ / "DATA" / "GONE.BIN").string()),
              std::string::npos);
    EXPECT_EQ(Ls(project_)["files"].size(), 1u);

    const std::string other = (dir_ / "other.krv").string();
    const auto unreadable = RunCli({"import", (dir_ / "none.txt").string(), other});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_NE(unreadable.err.find("none.txt"), std::string::npos);
    EXPECT_FALSE(fs::exists(other));
}

}  // namespace
}  // namespace korvalin
