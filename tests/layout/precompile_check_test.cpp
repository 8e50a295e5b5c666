// SPDX-License-Identifier: GPL-3.0-or-later
// The pre-compile check, the commands that clear LBA marks, and the compile
// command that runs the check before it asks for the image.

#include "layout/precompile_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "image/compile_image.h"
#include "layout/clear_lba_marks.h"
#include "layout/compile_command.h"
#include "layout/recompute_layout.h"
#include "test_support.h"

namespace korvalin {
namespace {

using Messages = std::vector<std::string>;

TEST(PreCompileCheck, EachBrokenFieldOfATableHasItsMessage) {
    Project consistent = test::NewProject();
    test::AddFile(consistent, "A.B", 5000, test::AddDir(consistent, "DATA"));
    test::AddDummy(consistent, "PAD.BIN", 40);  // a dummy needs no source
    RecomputeLayout(consistent);
    EXPECT_TRUE(PreCompileCheck(consistent).empty());

    using Breakage = std::pair<std::function<void(Project&)>, const char*>;
    const Breakage breakages[] = {
        {[](Project& p) { p.dirTable[1].sourcePath = "/left/over"; },
         "Elemento no nulo en ruta en elemento path 1 - DATA"},
        {[](Project& p) { p.dirTable[1].nameLength = 5; },
         " Filesize error in elemental name in path of 1 - DATA"},
        {[](Project& p) { p.dirTable[1].recordLength = 51; },
         "Error de tamaño en directorio del elemento path 1 - DATA long 4"},
        {[](Project& p) { p.dirTable[1].parent = 3; },
         "Crtitical error in parent element of path 1 - DATA"},
        {[](Project& p) { p.dirTable[1].parent = 0; },
         "Crtitical error in parent element of path 1 - DATA"},
        {[](Project& p) { p.fileTable[0].sourcePath.reset(); },
         "ERROR: Null element in element path of 0 - A.B"},
        {[](Project& p) { p.fileTable[0].nameLength = 4; },
         "Filesize error in filename of elemental path 0 - A.B"},
        {[](Project& p) { p.fileTable[0].recordLength = 53; },
         "Error de tamaño en directorio del elemento file 0 - A.B"},
        {[](Project& p) { p.fileTable[0].parent = 9; },
         "Critical error in the parent element file 0 - A.B"},
        {[](Project& p) { p.dirTable[1].parent = 2; },
         "Critical error: the parent links of directory \\DATA\\DATA form a cycle"},
        {[](Project& p) { p.fileTable[1].size = 0x80000000u; },
         "Filesize error: \\PAD.BIN holds 2147483648 bytes; a file must be smaller than 2 GiB"},
        {[](Project& p) { test::Pin(p.dirTable[0], 30); },
         "LBA error: the root directory is pinned at LBA 30; it must lie at the first data LBA, 22"},
        {[](Project& p) { p.dirTable[1].lba = 21; },
         "LBA error: \\DATA lies at LBA 21, below the first data LBA 22 (system area, volume "
         "descriptors, path tables)"},
        {[](Project& p) { p.fileTable[1].lba = -1; },
         "LBA error: \\PAD.BIN lies at LBA -1, below the first data LBA 22 (system area, volume "
         "descriptors, path tables)"},
        {[](Project& p) { p.fileTable[0].lba = INT32_MAX - 2; },
         "LBA error: \\DATA\\A.B ends at LBA 2147483647; an image ends at LBA 2147483646 at the "
         "latest"},
    };
    for (const auto& [breakIt, message] : breakages) {
        Project p = consistent;
        breakIt(p);
        EXPECT_EQ(PreCompileCheck(p), Messages{message});
    }
    // Longer than a CD: a warning only.
    EXPECT_TRUE(PreCompileWarnings(consistent).empty());
    consistent.layoutState.totalSectors = 360001;
    EXPECT_TRUE(PreCompileCheck(consistent).empty());
    EXPECT_EQ(PreCompileWarnings(consistent),
              Messages{"Warning: the image takes 360001 sectors, more than the 360000 (80 minutes) a "
                       "CD holds"});
}

TEST(PreCompileCheck, OnlyTheFirstTableProblemAndAlwaysTheExtents) {
    Project p = test::NewProject();
    test::AddDir(p, "ONE");
    test::AddDir(p, "TWO");
    test::Pin(p.fileTable[test::AddFile(p, "OUTER.BIN", 10 * 2048)], 100);
    test::Pin(p.fileTable[test::AddFile(p, "INNER.BIN", 2 * 2048)], 102);
    RecomputeLayout(p);
    // The layout displaced INNER.BIN; put it back inside OUTER.BIN.
    p.extentTable[4] = {FileId(1), 102, 103, EXTENT_PINNED_FILE};
    p.dirTable[1].sourcePath = "/x";
    p.dirTable[2].sourcePath = "/y";
    p.fileTable[0].sourcePath.reset();  // not reported: the file check is skipped
    // Extents: 0-2 directories, 3 OUTER.BIN, 4 INNER.BIN.
    EXPECT_EQ(PreCompileCheck(p),
              (Messages{"Elemento no nulo en ruta en elemento path 1 - ONE",
                        "LBA error in the subtable4 y 3", "In filenameINNER.BIN LBA's 102 103",
                        " Collision with file  OUTER.BIN LBA's 100 109"}));
}

TEST(PreCompileCheck, AnySharedSectorCollidesButTheWindowOfAnEmptyFile) {
    Project p = test::NewProject();
    const int32_t a = test::AddDir(p, "A");
    const int32_t b = test::AddDir(p, "B");
    test::AddFile(p, "F.BIN", 1);
    test::AddFile(p, "E.BIN", 0);
    p.extentTable = {{a, 100, 103, EXTENT_PINNED_DIR},
                     {FileId(1), 101, 101, EXTENT_PLACED_FILE},  // empty: holds nothing
                     {b, 104, 110, EXTENT_PINNED_DIR},
                     {FileId(0), 102, 102, EXTENT_PINNED_FILE}};
    EXPECT_EQ(CheckExtents(p),
              (Messages{"LBA error in the subtable3 y 0", "In filenameF.BIN LBA's 102 102",
                        "collision with pathA LBA's 100 103"}));
    p.extentTable[3] = {FileId(0), 111, 111, EXTENT_PINNED_FILE};
    EXPECT_TRUE(CheckExtents(p).empty());

    // Every position is examined, however long the table.
    p.extentTable.clear();
    for (int32_t i = 0; i < 5000; ++i) {
        p.extentTable.push_back({FileId(0), 10 * i, 10 * i + 1, EXTENT_PLACED_FILE});
    }
    p.extentTable[4999] = {b, 10 * 4998 + 1, 10 * 4998 + 5, EXTENT_PLACED_DIR};
    EXPECT_EQ(CheckExtents(p).front(), "LBA error in the subtable4999 y 4998");
}

TEST(ClearLbaMarks, ResetClearsPinsAndWarningsButNotTheRootOrOtherFlags) {
    Project p = test::NewProject();
    test::AddDir(p, "D");
    test::AddFile(p, "F.BIN", 1);
    test::AddDummy(p, "X.BIN", 50, 4096);
    p.dirTable[0].flags = FLAG_LBA_SET;
    p.dirTable[1].flags = FLAG_DISPLACED;
    p.fileTable[0].flags = FLAG_LBA_SET;
    p.fileTable[1].flags |= FLAG_SIZE_SET | FLAG_DISPLACED;
    const auto flags = [](const Project& q) {
        return std::vector<int>{q.dirTable[0].flags, q.dirTable[1].flags, q.fileTable[0].flags,
                                q.fileTable[1].flags};
    };
    Project warned = p;
    RemoveWarnings(warned);
    EXPECT_EQ(flags(warned), (std::vector<int>{FLAG_LBA_SET, 0, FLAG_LBA_SET,
                                               FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET}));
    ResetLbas(p);
    EXPECT_EQ(flags(p), (std::vector<int>{FLAG_LBA_SET, 0, 0, FLAG_DUMMY | FLAG_SIZE_SET}));
}

TEST(CompileCommand, WarnsAboutTheLastDisplacementChecksAsksForTheImageAndCompiles) {
    test::TempDir dir;
    test::WriteBytes(dir / "a.bin", std::vector<uint8_t>(3000, 0x5A));
    Project project = test::NewProject();
    test::AddFile(project, "A.BIN", 3000, 0, (dir / "a.bin").string());
    test::AddDummy(project, "PAD.BIN", 30, 4096);  // reserves 30-31: the image reaches them
    RecomputeLayout(project);
    test::ScriptedUserPrompt prompt;
    prompt.saveAnswer = (dir / "out.bin").string();
    EXPECT_EQ(RunCompileCommand(project, prompt, nullptr).code, COMPILE_COMMAND_RAN);
    EXPECT_TRUE(prompt.asked.empty());
    ASSERT_EQ(prompt.saveRequests.size(), 1u);
    EXPECT_EQ(prompt.saveRequests[0].defaultName, "image");
    EXPECT_EQ(prompt.saveRequests[0].filter,
              "BIN Files (*.bin)|*.bin|ISO Files (*.iso)|*.iso|IML Files (*.iml)|*.iml||");
    EXPECT_EQ(prompt.shown, std::vector<std::string>{COMPILE_SUCCESS_MESSAGE});
    EXPECT_TRUE(std::filesystem::exists(dir / "out.cue"));
    EXPECT_EQ(std::filesystem::file_size(dir / "out.bin"), 32u * 2352);

    // A displacement reported by the last layout run (running it again would
    // clear the report: nothing is pinned). Cancel still runs the checks.
    prompt = test::ScriptedUserPrompt();
    project.layoutState.lbaDisplaced = 1;
    prompt.okAnswer = false;
    EXPECT_EQ(RunCompileCommand(project, prompt, nullptr).code, COMPILE_COMMAND_CANCELLED);
    EXPECT_EQ(prompt.asked, std::vector<std::string>{"ATTENTION: some LBA settings have been "
                                                     "displaced   ¿Contintue with construction? "});
    EXPECT_TRUE(prompt.shown.empty() && prompt.saveRequests.empty());
    project.fileTable[0].recordLength = 1;
    EXPECT_EQ(RunCompileCommand(project, prompt, nullptr).code, COMPILE_COMMAND_CHECK_FAILED);
    EXPECT_EQ(prompt.shown, std::vector<std::string>{
                                "Error de tamaño en directorio del elemento file 0 - A.BIN"});
    EXPECT_TRUE(prompt.saveRequests.empty());
    // OK to the warning compiles and shows the result whatever it says.
    project.fileTable[0].recordLength = 54;
    prompt = test::ScriptedUserPrompt();
    prompt.saveAnswer = (dir / "missing folder" / "x.iso").string();
    EXPECT_EQ(RunCompileCommand(project, prompt, nullptr).code, COMPILE_COMMAND_RAN);
    EXPECT_EQ(prompt.shown,
              std::vector<std::string>{"no es posible crear: " + *prompt.saveAnswer + " "});
}

}  // namespace
}  // namespace korvalin
