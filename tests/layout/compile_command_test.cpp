#include "layout/compile_command.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "image/compile_image.h"
#include "layout/recompute_layout.h"
#include "test_support.h"

namespace korvalin {
namespace {

class CompileCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        test::WriteBytes(dir / "a.bin", std::vector<uint8_t>(3000, 0x5A));
        test::AddFile(project, "A.BIN", 3000, 0, (dir / "a.bin").string());
        RecomputeLayout(project);
        prompt.saveAnswer = (dir / "out.bin").string();
    }
    test::TempDir dir;
    Project project = test::NewProject();
    test::ScriptedPrompt prompt;
};

TEST_F(CompileCommand, WithoutDisplacementGoesStraightToTheSaveDialogAndCompiles) {
    std::vector<int32_t> progress;
    const CompileCommandResult result =
        RunCompileCommand(project, prompt, [&](int32_t lba) { progress.push_back(lba); });
    EXPECT_TRUE(prompt.asked.empty());
    ASSERT_EQ(prompt.saveRequests.size(), 1u);
    EXPECT_EQ(prompt.saveRequests[0].defaultName, "image");
    EXPECT_EQ(prompt.saveRequests[0].defaultExtension, "bin");
    EXPECT_EQ(prompt.saveRequests[0].filter, "BIN Files (*.bin)|*.bin|ISO Files (*.iso)|*.iso||");
    EXPECT_EQ(result.code, COMPILE_COMMAND_RAN);
    EXPECT_EQ(result.compileMessage, COMPILE_SUCCESS_MESSAGE);
    EXPECT_EQ(prompt.shown, std::vector<std::string>{COMPILE_SUCCESS_MESSAGE});
    EXPECT_EQ(progress.back(), project.layoutState.totalSectors - 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "out.cue"));
}

TEST_F(CompileCommand, CancelToTheDisplacedWarningStillRunsTheChecks) {
    // A displacement reported by the last layout run; running it again
    // would clear the report (nothing is pinned).
    project.layoutState.lbaDisplaced = 1;
    prompt.okAnswer = false;
    EXPECT_EQ(RunCompileCommand(project, prompt, nullptr).code, COMPILE_COMMAND_CANCELLED);
    EXPECT_EQ(prompt.asked, std::vector<std::string>{"ATTENTION: some LBA settings have been "
                                                     "displaced   ¿Contintue with construction? "});
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_TRUE(prompt.saveRequests.empty());

    project.fileTable[0].recordLength = 1;
    EXPECT_EQ(RunCompileCommand(project, prompt, nullptr).code, COMPILE_COMMAND_CHECK_FAILED);
    EXPECT_EQ(prompt.shown, std::vector<std::string>{
                                "Error de tamaño en directorio del elemento file 0 - A.BIN"});
    EXPECT_TRUE(prompt.saveRequests.empty());
}

TEST_F(CompileCommand, OkToTheWarningCompilesAndShowsTheResultWhateverItSays) {
    project.layoutState.lbaDisplaced = 1;
    prompt.saveAnswer = (dir / "missing folder" / "x.iso").string();
    EXPECT_EQ(RunCompileCommand(project, prompt, nullptr).code, COMPILE_COMMAND_RAN);
    EXPECT_EQ(prompt.shown,
              std::vector<std::string>{"no es posible crear: " + *prompt.saveAnswer + " "});
    prompt.saveAnswer.reset();  // Cancel in the save dialog
    EXPECT_EQ(RunCompileCommand(project, prompt, nullptr).code, COMPILE_COMMAND_CANCELLED);
}

}  // namespace
}  // namespace korvalin
