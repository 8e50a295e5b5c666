// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_runner.h"

namespace korvalin::test {
namespace {

using Lines = std::vector<std::string>;

// A saved project: \DATA\ (with \DATA\SUB\ and \DATA\IN.BIN), \MAIN.ELF,
// \SYSTEM.CNF, laid out.
class CliEdit : public ::testing::Test {
  protected:
    void SetUp() override {
        Project project = test::NewProject();
        const int32_t data = test::AddDir(project, "DATA");
        test::AddDir(project, "SUB", data);
        test::AddFile(project, "IN.BIN", 4096, data);
        test::AddFile(project, "MAIN.ELF", 3 * 2048);
        test::AddFile(project, "SYSTEM.CNF", 60);
        RecomputeLayout(project);
        SaveProject(path, project);
    }
    Project Load() const { return LoadProject(path); }

    // A command that succeeds, or one refused with `status` and `message`
    // that leaves the project file as it was.
    void Run(const Lines& args) { ASSERT_EQ(RunCli(args).status, 0) << args[0]; }
    void ExpectRefused(const Lines& args, int status, const std::string& message) {
        test::ExpectRefused(args, status, message, {path});
    }

    test::TempDir dir;
    std::string path = (dir / "p.krv").string();
};

TEST_F(CliEdit, MkdirDummyAndEditSaveTheEditedEntryLaidOut) {
    Run({"mkdir", path, "/data/movies", "--lba", "300"});
    const int32_t elfLba = Load().fileTable[1].lba;
    Run({"dummy", path, "\\copy.elf", "--lba", std::to_string(elfLba)});
    Run({"dummy", path, "/DATA/PAD.BIN", "--lba", "5", "--size", "100"});
    Run({"edit", path, "/system.cnf", "--name", "system2.cnf", "--lba", "500", "--date",
         "10/05/2003", "--time", "00:15:08"});
    Project project = Load();
    EXPECT_EQ(test::DirPaths(project).back(), "\\DATA\\MOVIES");
    EXPECT_EQ(project.dirTable.back().lba, 300);
    EXPECT_EQ(test::FilePaths(project), (Lines{"\\DATA\\IN.BIN", "\\MAIN.ELF", "\\SYSTEM2.CNF",
                                               "\\COPY.ELF", "\\DATA\\PAD.BIN"}));
    EXPECT_EQ(project.fileTable[3].size, 3u * 2048);  // the size of the file it names
    EXPECT_EQ(project.fileTable[4].flags, FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET);
    const FileEntry& cnf = project.fileTable[2];
    EXPECT_EQ(cnf.recordLength, 11u + 49);
    EXPECT_EQ(cnf.lba, 500);
    // Shown at 00:15 on 10 May: stored at 23:15 of day 9.
    EXPECT_EQ(UnpackDos(cnf.dosDate, cnf.dosTime), (CalendarTime{2003, 5, 9, 23, 15, 8}));
    Run({"edit", path, "\\SYSTEM2.CNF", "--unpin"});
    EXPECT_EQ(Load().fileTable[2].flags, 0);

    ExpectRefused({"mkdir", path, "\\DATA\\SUB"}, 1, " Duplicate name ");
    ExpectRefused({"mkdir", path, "\\MAIN.ELF\\NEW"}, 1, "is a file");
    ExpectRefused({"edit", path, "\\MAIN.ELF", "--lba", "22"}, 1, "LBA not valid!!");
    ExpectRefused({"edit", path, "\\MAIN.ELF", "--size", "5"}, 1, "not a dummy file");
    ExpectRefused({"edit", path, "\\GONE.BIN"}, 1, "\\GONE.BIN: no such file or directory");
    ExpectRefused({"dummy", path, "\\X.BIN"}, 2, "--lba");
    ExpectRefused({"edit", path, "\\MAIN.ELF", "--date", "30/02/2004"}, 2, "--date");
    ExpectRefused({"edit", path, "\\MAIN.ELF", "--lba", "30", "--unpin"}, 2, "excludes");
}

TEST_F(CliEdit, RmMvSwapAndLabel) {
    Run({"mv", path, "\\SYSTEM.CNF", "\\DATA\\SUB"});
    ExpectRefused({"mv", path, "\\DATA\\SUB\\SYSTEM.CNF", "\\DATA\\SUB"}, 1,
                  " Directory already has a file with the same name as:  SYSTEM.CNF ");
    ExpectRefused({"swap", path, "\\MAIN.ELF", "\\DATA"}, 1, "is a directory");
    const int32_t inLba = Load().fileTable[0].lba;
    Run({"swap", path, "\\MAIN.ELF", "\\DATA\\IN.BIN"});
    EXPECT_EQ(test::FilePaths(Load()),
              (Lines{"\\MAIN.ELF", "\\DATA\\IN.BIN", "\\DATA\\SUB\\SYSTEM.CNF"}));
    EXPECT_EQ(Load().fileTable[0].lba, inLba);  // laid out first now
    ExpectRefused({"rm", path, "\\MAIN.ELF", "\\NOPE"}, 1, "\\NOPE: no such file or directory");
    Run({"rm", path, "/data"});
    EXPECT_EQ(Load().dirCount(), 1);
    EXPECT_EQ(test::FilePaths(Load()), (Lines{"\\MAIN.ELF"}));

    const test::CliResult shown = RunCli({"label", path});
    EXPECT_EQ(shown.out, "label: NEW\ndate:  05/06/2024\ntime:  11:20:30\n");
    Run({"label", path, "my game", "--date", "01/05/2003", "--time", "00:15:00"});
    EXPECT_EQ(Load().volumeInfo.Label(), "MY GAME");
    EXPECT_EQ(Load().volumeUtcTime, (CalendarTime{2003, 5, 0, 23, 15, 0}));
    ExpectRefused({"label", path, std::string(33, 'A')}, 2, "32 characters");
}

}  // namespace
}  // namespace korvalin::test
