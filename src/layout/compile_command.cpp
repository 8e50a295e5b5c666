// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/compile_command.h"

#include "image/compile_image.h"
#include "layout/precompile_check.h"

namespace korvalin {

CompileCommandResult RunCompileCommand(Project& project, UserPrompt& prompt, const ProgressCallback& progress,
                                       bool syncToDisk) {
    CompileCommandResult result;
    // The answer counts only after the checks, which report in any case.
    const bool proceed = project.layoutState.lbaDisplaced != 1 || prompt.AskOkCancel(DISPLACED_WARNING);
    const std::vector<std::string> messages = CompileReadinessCheck(project);
    for (const std::string& message : messages) prompt.ShowMessage(message);
    if (!messages.empty()) {
        result.code = COMPILE_COMMAND_CHECK_FAILED;
        return result;
    }
    for (const std::string& warning : PreCompileWarnings(project)) prompt.ShowMessage(warning);
    if (!proceed) return result;

    const std::optional<std::string> chosen =
        prompt.AskSaveFile({IMAGE_DEFAULT_NAME, IMAGE_DEFAULT_EXTENSION, IMAGE_FILE_FILTER});
    if (!chosen) return result;

    CompileState state;
    state.imagePath = *chosen;
    state.progressCallback = progress;
    state.syncToDisk = syncToDisk;
    CompileImage(project, state);
    prompt.ShowMessage(state.compileMessage);
    result.code = COMPILE_COMMAND_RAN;
    result.imagePath = state.imagePath;
    result.compileMessage = state.compileMessage;
    return result;
}

}  // namespace korvalin
