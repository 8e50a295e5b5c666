// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The compile's save dialog in the desktop: after the name is chosen, an
// output that would destroy the project or one of its sources is refused
// with the reason, and each companion file (.cue, .ims, .iml) that exists is
// asked about as the image itself was.

#include <optional>
#include <string>

#include "model/project.h"
#include "ui/desktop_prompt.h"

namespace korvalin {

class CompileOutputPrompt : public UserPrompt {
public:
    CompileOutputPrompt(DesktopPrompt& prompt, const Project& project, const std::string& projectPath)
        : prompt_(prompt), project_(project), projectPath_(projectPath) {}

    void ShowMessage(const std::string& text) override { prompt_.ShowMessage(text); }
    bool AskOkCancel(const std::string& text) override { return prompt_.AskOkCancel(text); }
    // Nothing when cancelled, refused, or a companion is not to be replaced.
    std::optional<std::string> AskSaveFile(const SaveFileRequest& request) override;

private:
    DesktopPrompt& prompt_;
    const Project& project_;
    std::string projectPath_;
};

}  // namespace korvalin
