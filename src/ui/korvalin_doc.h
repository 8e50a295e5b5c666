// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document: the one open project and the file it came from.

#include <string>

#include "model/calendar_time.h"
#include "model/project.h"
#include "model/user_prompt.h"

namespace korvalin {

class CKorvalinDoc {
public:
    Project& project() { return project_; }
    const Project& project() const { return project_; }
    // Empty for a project that was never saved or opened.
    const std::string& path() const { return path_; }
    // Changed since it was started, opened or last saved.
    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // A new untitled project: the root only, label "NEW", dated `utcNow`.
    void OnNewDocument(const CalendarTime& utcNow);
    // Loads `path` beside the open project and takes it only when the whole
    // file was read; on failure the open project and its path stay as they
    // were and `message` says which file is wrong and why.
    bool OnOpenDocument(const std::string& path, const CalendarTime& utcNow, std::string& message);

    // Save: to the project's path, or, for an untitled project, to a name
    // asked for first. Save As: always asks. Cancelling the dialog or a
    // failed write (whose message is shown) returns false and keeps the path.
    bool OnFileSave(UserPrompt& prompt);
    bool OnFileSaveAs(UserPrompt& prompt);
    bool SaveProject(const std::string& path, UserPrompt& prompt);

private:
    bool AskName(const char* filter, UserPrompt& prompt, std::string& chosen) const;

    Project project_;
    std::string path_;
    bool modified_ = false;
};

}  // namespace korvalin
