// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/compile_output_prompt.h"

#include "image/compile_outputs.h"

namespace korvalin {

std::optional<std::string> CompileOutputPrompt::AskSaveFile(const SaveFileRequest& request) {
    // The dialog has asked about the chosen name already.
    std::optional<std::string> chosen = prompt_.AskSaveFile(request);
    if (!chosen) return chosen;
    const std::string unsafe = UnsafeCompileOutput(project_, projectPath_, *chosen);
    if (!unsafe.empty()) {
        prompt_.ShowMessage(unsafe);
        return std::nullopt;
    }
    for (const std::string& existing : ExistingCompileOutputs(*chosen)) {
        if (existing != *chosen && !prompt_.AskReplaceFile(existing)) return std::nullopt;
    }
    return chosen;
}

}  // namespace korvalin
