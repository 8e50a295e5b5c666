// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/korvalin_doc.h"

#include <memory>

#include "model/project_file.h"
#include "model/relocate_sources.h"
#include "ui/program_texts.h"

namespace korvalin {

void CKorvalinDoc::OnNewDocument(const CalendarTime& utcNow) {
    StartNewProject(project_, utcNow);
    path_.clear();
    modified_ = false;
}

bool CKorvalinDoc::OnOpenDocument(const std::string& path, const CalendarTime& utcNow,
                                  std::string& message) {
    auto loaded = std::make_unique<Project>();
    // A file without a system area keeps the one in memory.
    loaded->systemArea = project_.systemArea;
    if (!OpenProjectFile(path, *loaded, utcNow, message)) return false;
    project_ = std::move(*loaded);
    RelocateMissingSources(project_, path);  // a moved project folder still compiles
    path_ = path;
    modified_ = false;
    return true;
}

bool CKorvalinDoc::OnFileSave(UserPrompt& prompt) { return SaveProject(path_, prompt); }

bool CKorvalinDoc::OnFileSaveAs(UserPrompt& prompt) {
    std::string chosen;
    if (!AskName(PROJECT_SAVE_AS_FILTER, prompt, chosen)) return false;
    return SaveProject(chosen, prompt);
}

bool CKorvalinDoc::SaveProject(const std::string& path, UserPrompt& prompt) {
    std::string target = path;
    if (target.empty() && !AskName(PROJECT_FILE_FILTER, prompt, target)) return false;
    std::string message;
    if (!SaveProjectFile(target, project_, message)) {
        prompt.ShowMessage(message);
        return false;
    }
    path_ = target;
    modified_ = false;
    return true;
}

bool CKorvalinDoc::AskName(const char* filter, UserPrompt& prompt, std::string& chosen) const {
    SaveFileRequest request;
    request.defaultName = path_.empty() ? std::string(NEW_PROJECT_BASE_NAME) : path_;
    request.defaultExtension = PROJECT_EXTENSION;
    request.filter = filter;
    std::optional<std::string> answer = prompt.AskSaveFile(request);
    if (!answer) return false;
    chosen = *answer;
    return true;
}

}  // namespace korvalin
