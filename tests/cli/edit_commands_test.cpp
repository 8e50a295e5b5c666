#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "layout/recompute_layout.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::RunCli;

// A saved project: \DATA\ (with \DATA\SUB\ and \DATA\IN.BIN), \MAIN.ELF,
// \SYSTEM.CNF, laid out.
class CliEdit : public ::testing::Test {
protected:
    void SetUp() override {
        Project project = test::NewProject();
        const int32_t data = test::AddDir(project, "DATA");
        test::AddDir(project, "SUB", data);
        test::AddFile(project, "IN.BIN", 4096, data, "/game/in.bin");
        test::AddFile(project, "MAIN.ELF", 3 * 2048, 0, "/game/main.elf");
        test::AddFile(project, "SYSTEM.CNF", 60, 0, "/game/system.cnf");
        RecomputeLayout(project);
        std::string message;
        ASSERT_TRUE(SaveProjectFile(path, project, message)) << message;
    }

    Project Load() const {
        Project project;
        std::string message;
        EXPECT_TRUE(OpenProjectFile(path, project, CalendarTime{2024, 1, 1, 0, 0, 0}, message));
        return project;
    }

    // Runs a command that must be refused with `status` and `message`,
    // leaving the project file as it was.
    void ExpectRefused(const std::vector<std::string>& args, int status, const std::string& message) {
        const std::vector<uint8_t> before = test::ReadBytes(path);
        const test::CliResult result = RunCli(args);
        EXPECT_EQ(result.status, status) << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(test::ReadBytes(path), before);
    }

    test::TempDir dir;
    std::string path = (dir / "p.krv").string();
};

TEST_F(CliEdit, MkdirAndDummyCreateEntriesInTheNamedDirectory) {
    ASSERT_EQ(RunCli({"mkdir", path, "/data/movies"}).status, 0);
    ASSERT_EQ(RunCli({"mkdir", path, "\\PINNED", "--lba", "300"}).status, 0);
    const int32_t elfLba = Load().fileTable[1].lba;
    ASSERT_EQ(RunCli({"dummy", path, "\\copy.elf", "--lba", std::to_string(elfLba)}).status, 0);
    ASSERT_EQ(RunCli({"dummy", path, "/DATA/PAD.BIN", "--lba", "5", "--size", "100"}).status, 0);
    const Project project = Load();
    ASSERT_EQ(project.dirCount(), 5);
    EXPECT_EQ(test::DirPaths(project).at(2), "\\DATA\\MOVIES");
    EXPECT_EQ(project.dirTable[3].flags, 0);
    EXPECT_EQ(project.dirTable[4].flags, FLAG_LBA_SET);
    EXPECT_EQ(project.dirTable[4].lba, 300);
    ASSERT_EQ(project.fileCount(), 5);
    EXPECT_EQ(test::FieldsOf(project.fileTable[3]),
              (test::RecordFields{8, "COPY.ELF", project.fileTable[3].dosDate,
                                  project.fileTable[3].dosTime, elfLba, FLAG_DUMMY | FLAG_LBA_SET,
                                  1, 3 * 2048, 58, std::nullopt}));
    EXPECT_EQ(project.fileTable[4].flags, FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET);
    EXPECT_EQ(project.fileTable[4].size, 100u);
    EXPECT_EQ(project.fileTable[4].parent, 2u);

    ExpectRefused({"mkdir", path, "\\DATA\\SUB"}, 1, " Duplicate name ");
    ExpectRefused({"mkdir", path, "\\NOPE\\NEW"}, 1, "\\NOPE\\");
    ExpectRefused({"mkdir", path, "\\MAIN.ELF\\NEW"}, 1, "is a file");
    ExpectRefused({"mkdir", path, "\\X", "--lba", "abc"}, 2, "--lba");
    ExpectRefused({"dummy", path, "\\X.BIN", "--lba", "5", "--size", "1000000000"}, 1,
                  "Filesize should be less than 1GB!");
    ExpectRefused({"dummy", path, "\\X.BIN"}, 2, "--lba");
}

TEST_F(CliEdit, EditRenamesPinsAndDatesAnEntry) {
    ASSERT_EQ(RunCli({"edit", path, "/system.cnf", "--name", "system2.cnf", "--lba", "500",
                      "--date", "10/05/2003", "--time", "00:15:08"})
                  .status,
              0);
    FileEntry cnf = Load().fileTable[2];
    EXPECT_EQ(cnf.Name(), "SYSTEM2.CNF");
    EXPECT_EQ(cnf.recordLength, 11u + 49);
    EXPECT_EQ(cnf.flags, FLAG_LBA_SET);
    EXPECT_EQ(cnf.lba, 500);
    // Shown at 00:15 on 10 May: stored at 23:15 of day 9.
    EXPECT_EQ(UnpackDos(cnf.dosDate, cnf.dosTime), (CalendarTime{2003, 5, 9, 23, 15, 8}));
    ASSERT_EQ(RunCli({"edit", path, "\\SYSTEM2.CNF", "--unpin"}).status, 0);
    cnf = Load().fileTable[2];
    EXPECT_EQ(cnf.flags, 0);
    EXPECT_NE(cnf.lba, 500);  // placed again by the layout
    EXPECT_EQ(UnpackDos(cnf.dosDate, cnf.dosTime), (CalendarTime{2003, 5, 9, 23, 15, 8}));

    ExpectRefused({"edit", path, "\\MAIN.ELF", "--name", "SYSTEM2.CNF"}, 1, " Duplicate Name ");
    ExpectRefused({"edit", path, "\\DATA", "--name", "DATA.1"}, 1, "Illegal name ");
    ExpectRefused({"edit", path, "\\MAIN.ELF", "--lba", "22"}, 1, "LBA not valid!!");
    ExpectRefused({"edit", path, "\\MAIN.ELF", "--size", "5"}, 1, "not a dummy file");
    ExpectRefused({"edit", path, "\\GONE.BIN"}, 1, "\\GONE.BIN: no such file or directory");
    ExpectRefused({"edit", path, "\\"}, 1, "root directory");
    ExpectRefused({"edit", path, "\\MAIN.ELF", "--date", "30/02/2004"}, 2, "--date");
    ExpectRefused({"edit", path, "\\MAIN.ELF", "--time", "24:00:00"}, 2, "--time");
    ExpectRefused({"edit", path, "\\MAIN.ELF", "--lba", "30", "--unpin"}, 2, "excludes");
}

TEST_F(CliEdit, RmMvAndSwapRearrangeTheTree) {
    ExpectRefused({"mv", path, "\\MAIN.ELF", "\\DATA\\IN.BIN"}, 1, "is a file");
    ASSERT_EQ(RunCli({"mv", path, "\\SYSTEM.CNF", "\\DATA\\SUB"}).status, 0);
    EXPECT_EQ(Load().fileTable[2].parent, 3u);
    ExpectRefused({"mv", path, "\\DATA\\SUB\\SYSTEM.CNF", "\\DATA\\SUB"}, 1,
                  " Directory already has a file with the same name as:  SYSTEM.CNF ");
    ExpectRefused({"swap", path, "\\MAIN.ELF", "\\DATA"}, 1, "is a directory");
    const int32_t inLba = Load().fileTable[0].lba;
    ASSERT_EQ(RunCli({"swap", path, "\\MAIN.ELF", "\\DATA\\IN.BIN"}).status, 0);
    EXPECT_EQ(test::FilePaths(Load()),
              (std::vector<std::string>{"\\MAIN.ELF", "\\DATA\\IN.BIN", "\\DATA\\SUB\\SYSTEM.CNF"}));
    EXPECT_EQ(Load().fileTable[0].lba, inLba);  // laid out first now

    ExpectRefused({"rm", path, "\\MAIN.ELF", "\\NOPE"}, 1, "\\NOPE: no such file or directory");
    ExpectRefused({"rm", path, "/"}, 1, "root directory");
    ASSERT_EQ(RunCli({"rm", path, "/data"}).status, 0);
    EXPECT_EQ(Load().dirCount(), 1);
    EXPECT_EQ(test::FilePaths(Load()), (std::vector<std::string>{"\\MAIN.ELF"}));
}

TEST_F(CliEdit, LabelShowsOrSetsTheVolume) {
    const test::CliResult shown = RunCli({"label", path});
    ASSERT_EQ(shown.status, 0);
    EXPECT_NE(shown.out.find("label: NEW"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("time:  11:20:30"), std::string::npos) << shown.out;
    ASSERT_EQ(RunCli({"label", path, "my game", "--date", "01/05/2003", "--time", "00:15:00"}).status,
              0);
    const Project project = Load();
    EXPECT_EQ(project.volumeInfo.Label(), "MY GAME");
    EXPECT_EQ(project.volumeUtcTime, (CalendarTime{2003, 5, 0, 23, 15, 0}));
    ExpectRefused({"label", path, std::string(33, 'A')}, 2, "32 characters");
    ASSERT_EQ(RunCli({"label", path, std::string(32, 'a')}).status, 0);
    EXPECT_EQ(Load().volumeInfo.Label(), std::string(32, 'A'));
}

}  // namespace
}  // namespace korvalin
