// SPDX-License-Identifier: GPL-3.0-or-later
// What the commands refuse so that no input is destroyed, no number
// misread and no concurrent update lost.

#include <sys/stat.h>
#include <unistd.h>

#include <future>

#include "cli/cli_runner.h"
#include "platform/file_lock.h"

namespace korvalin::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A saved project p.krv holding A.BIN (5000 bytes) and B.BIN (3000 bytes).
class CliSafety : public ::testing::Test {
  protected:
    void SetUp() override {
        Project project = test::NewProject();
        for (const auto& [name, size] : {std::pair{"A.BIN", 5000}, {"B.BIN", 3000}}) {
            test::WriteBytes(dir / name, std::vector<uint8_t>(size, 0x11));
            test::AddFile(project, name, size, 0, (dir / name).string());
        }
        SaveProject(path, project);
    }
    nlohmann::json Ls() { return LsJson(path); }
    // Refused, leaving the project and the sources as they were.
    std::string ExpectRefused(const Lines& args, int status, const std::string& part) {
        return test::ExpectRefused(args, status, part, {path, dir / "A.BIN"});
    }
    std::string In(const std::string& name) const { return (dir / name).string(); }

    test::TempDir dir;
    std::string path = (dir / "p.krv").string();
};

TEST_F(CliSafety, NumbersAreDecimalAndAnythingElseIsAUsageError) {
    ASSERT_EQ(RunCli({"mkdir", path, "/ONE", "--lba", "0100"}).status, 0);
    ASSERT_EQ(RunCli({"dummy", path, "/PAD.BIN", "--lba", "89", "--size", "010"}).status, 0);
    const auto json = Ls();
    EXPECT_EQ(json["dirs"][1]["lba"], 100);
    EXPECT_EQ(json["files"][2]["lba"], 89);
    EXPECT_EQ(json["files"][2]["size"], 10);
    for (const char* bad : {"0x40", "0X40", "089", "0098", "1e3", "+5", "-5", "5x", " 5", "", "4.0",
                            "99999999999999999999"}) {
        ExpectRefused({"edit", path, "/ONE", "--lba", bad}, 2, "--lba");
    }
    ExpectRefused({"edit", path, "/PAD.BIN", "--size", "0x10"}, 2, "--size");
    ExpectRefused({"import", In("list.txt"), path, "--mode", "0x1"}, 2, "--mode");
    ExpectRefused({"import", In("list.txt"), path, "--mode", "3"}, 2, "--mode");
}

TEST_F(CliSafety, CompileNeverWritesOverItsInputsNorAnEarlierImageWithoutForce) {
    ASSERT_EQ(::link(path.c_str(), In("hard.bin").c_str()), 0);        // the project, renamed
    fs::create_symlink(dir / "A.BIN", dir / "link.bin");               // a source, through a link
    ASSERT_EQ(::link(In("B.BIN").c_str(), In("side.cue").c_str()), 0);  // side.bin's cue sheet
    fs::create_symlink(dir / "p.krv", dir / "disc.ims");               // disc.iml's image
    test::WriteText(dir / "old.iml", "an earlier IML file");
    // image argument, the file the message names, what it says; --force never helps
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {In("hard.bin"), In("hard.bin"), "is the project file"},
        {In("link.bin"), In("link.bin"), "is the source of \\A.BIN"},
        {In("side.bin"), In("side.cue"), "is the source of \\B.BIN"},
        {In("disc.iml"), In("disc.ims"), "is the project file"},
        {In("out.cue"), In("out.cue"), "cannot end in .cue or .krv"},
        {In("OUT.KRV"), In("OUT.KRV"), "cannot end in .cue or .krv"},
    };
    for (const auto& [image, named, what] : cases) {
        EXPECT_TRUE(Contains(ExpectRefused({"compile", path, image, "--force"}, 1, named), what));
    }
    ExpectRefused({"compile", path, In("old.iml")}, 1,
                  In("old.iml") + ": already exists (use --force to replace it)");
    EXPECT_EQ(test::ReadBytes(dir / "old.iml").size(), 19u);
    EXPECT_EQ(RunCli({"compile", path, In("old.iml"), "--force"}).status, 0);
    EXPECT_EQ(RunCli({"compile", path, In("new.bin")}).status, 0);
    ExpectRefused({"compile", path, In("new.bin")}, 1, In("new.bin") + ": already exists");
    fs::remove(dir / "new.bin");  // the cue sheet left alone is refused as well
    ExpectRefused({"compile", path, In("new.bin")}, 1, In("new.cue") + ": already exists");
}

TEST_F(CliSafety, PipesDevicesAndFoldersAreRefusedNotWaitedOn) {
    ASSERT_EQ(::mkfifo(In("pipe").c_str(), 0600), 0);
    fs::create_directory(dir / "folder");
    test::WriteText(dir / "list.txt", "23 , \\A.BIN\n");
    // command, the file its message names
    const std::pair<Lines, std::string> cases[] = {
        {{"ls", In("pipe")}, In("pipe")},
        {{"ls", In("folder")}, In("folder")},
        {{"ls", "/dev/zero"}, "/dev/zero"},
        {{"verify", In("pipe")}, In("pipe")},
        {{"verify", In("folder")}, In("folder")},
        {{"import", In("pipe"), path}, In("pipe")},
        {{"import", In("list.txt"), In("pipe")}, In("pipe")},
        {{"compile", In("pipe"), In("x.bin")}, In("pipe")},
        {{"compile", path, In("pipe"), "--force"}, In("pipe")},
        {{"mkdir", In("pipe"), "/NEW"}, In("pipe")},
    };
    for (const auto& [args, named] : cases) ExpectRefused(args, 1, named);
    // A source replaced by a pipe stops the compile with the source named.
    fs::remove(dir / "B.BIN");
    ASSERT_EQ(::mkfifo(In("B.BIN").c_str(), 0600), 0);
    ExpectRefused({"compile", path, In("y.bin")}, 1, "Cannot open file  " + In("B.BIN") + " ");
}

TEST_F(CliSafety, ConcurrentEditsAreSerialisedByTheProjectLock) {
    std::vector<std::future<test::CliResult>> runs;
    for (int i = 0; i < 20; ++i) {
        const std::string name = "/D" + std::to_string(i);
        runs.push_back(std::async(std::launch::async, [this, name] {
            return RunCli({"mkdir", path, name});
        }));
    }
    int made = 0;
    for (auto& run : runs) {
        const test::CliResult result = run.get();
        if (result.status == 0) {
            ++made;
        } else {
            EXPECT_EQ(result.err, "korvalin: " + path + ": project is in use\n");
        }
    }
    EXPECT_EQ(Ls()["dirs"].size(), static_cast<size_t>(made) + 1);  // every success kept
    EXPECT_GT(made, 0);

    FileLock held;  // another program in the middle of its edit
    ASSERT_EQ(held.Acquire(path, std::chrono::milliseconds(0)), LockResult::Locked);
    ExpectRefused({"rm", path, "/A.BIN"}, 1, "korvalin: " + path + ": project is in use");
}

TEST_F(CliSafety, SavingCommandsNormalisePathsWarnAboutDisplacedPinsAndHonourStrict) {
    test::WriteText(dir / "game" / "sys.cnf", "x");
    test::WriteText(dir / "game" / "LongFileName.txt", "x");
    test::WriteText(dir / "extra" / "C.BIN", "c");
    const auto added = RunCli({"add", path, In("game/."), In("game/../extra/C.BIN/"), "--strict"});
    EXPECT_EQ(added.status, 1);  // something was logged; what was added is saved
    EXPECT_TRUE(Contains(added.err, "illgal filename"));
    const auto json = Ls();
    EXPECT_EQ(json["dirs"][1]["path"], "\\GAME");
    EXPECT_EQ(json["files"][2]["source"], In("extra/C.BIN"));  // given items first
    EXPECT_EQ(json["files"][3]["source"], In("game/sys.cnf"));
    EXPECT_EQ(RunCli({"add", path, In("game/sys.cnf"), "--into", "/game", "--strict"}).status, 1);

    ASSERT_EQ(RunCli({"edit", path, "/A.BIN", "--lba", "30"}).status, 0);
    const auto displaced = RunCli({"edit", path, "/B.BIN", "--lba", "31"});
    EXPECT_EQ(displaced.status, 0);
    EXPECT_EQ(displaced.err, "korvalin: warning: pinned LBA displaced: \\B.BIN\n");

    test::WriteText(dir / "disc" / "LIST.TXT", "23 , \\A.BIN\n24 , \\GONE.BIN\n");
    test::WriteText(dir / "disc" / "A.BIN", "a");
    const auto imported = RunCli({"import", In("disc/../disc/LIST.TXT"), path, "--strict"});
    EXPECT_EQ(imported.status, 1);
    EXPECT_TRUE(Contains(imported.err, "Cannot find filename:  " + In("disc/GONE.BIN")));
    EXPECT_EQ(Ls()["label"], "DISC");
}

}  // namespace
}  // namespace korvalin::test
