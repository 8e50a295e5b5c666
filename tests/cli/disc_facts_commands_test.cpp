// SPDX-License-Identifier: GPL-3.0-or-later
// `edit --date` to the second and `ls --json` showing a dumped disc's kept
// metadata.

#include "cli/cli_runner.h"

namespace korvalin::test {
namespace {

using Json = nlohmann::json;

TEST(CliDiscFacts, EditSetsTheDateToTheSecondAndLsShowsWhatIsKept) {
    test::TempDir dir;
    const std::string path = (dir / "p.krv").string();
    Project project = test::NewProject();
    test::AddFile(project, "A.BIN", 10, test::AddDir(project, "SUB"));
    project.dirTable[1].discFacts.extentSize = 4096;
    project.volumeTexts.fields[VOLUME_PUBLISHER_ID] = std::vector<uint8_t>(128, ' ');
    (*project.volumeTexts.fields[VOLUME_PUBLISHER_ID])[0] = 'P';
    project.volumeTexts.fields[VOLUME_MODIFICATION_DATE] =
        std::vector<uint8_t>{'1', '9', '9', '9', '1', '2', '3', '1', '2', '3', '5', '9', '5', '9', '0', '7', 0xEC};
    RecomputeLayout(project);
    SaveProject(path, project);

    ASSERT_EQ(RunCli({"edit", path, "/sub/a.bin", "--date", "1999-12-31 23:59:59-05:00"}).status, 0);
    const Json out = LsJson(path);
    EXPECT_EQ(out["files"][0]["disc"], Json::parse(R"({"date": "1999-12-31T23:59:59-05:00", "dateInUse": true})"));
    EXPECT_EQ(out["files"][0]["date"], "1999-12-31T23:59:58");  // the DOS date follows, to 2 seconds
    EXPECT_EQ(out["dirs"][1]["disc"]["extentSize"], 4096);
    EXPECT_EQ(out["dirs"][0].count("disc"), 0u);
    EXPECT_EQ(out["volumeTexts"], Json::parse(R"({"publisher": "P", "modified": "1999-12-31T23:59:59.07-05:00"})"));

    const test::CliResult refused = RunCli({"edit", path, "/sub/a.bin", "--date", "2001-02-03 04:05:06", "--time", "01:00:00"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(test::Contains(refused.err, "--time goes with a --date DD/MM/YYYY"));
    EXPECT_EQ(RunCli({"edit", path, "/sub/a.bin", "--date", "2001-02-03 04:05:06+00:10"}).status, 2);

    // Descriptor texts: set, dropped, refused when unknown or too long.
    ASSERT_EQ(RunCli({"label", path, "--text", "publisher=", "--text", "application=MY APP"}).status, 0);
    EXPECT_TRUE(test::Contains(RunCli({"label", path}).out, "application: MY APP\n"));
    EXPECT_EQ(LsJson(path)["volumeTexts"].dump(),
              R"({"application":"MY APP","modified":"1999-12-31T23:59:59.07-05:00"})");
    EXPECT_EQ(RunCli({"label", path, "--text", "label=X"}).status, 2);
    EXPECT_EQ(RunCli({"label", path, "--text", "system=" + std::string(33, 'S')}).status, 2);
    EXPECT_EQ(RunCli({"label", path, "--date", "1999-12-31 23:59:59"}).status, 2);
}

}  // namespace
}  // namespace korvalin::test
