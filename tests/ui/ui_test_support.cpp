#include "ui_test_support.h"

#include <stdexcept>

#include "model/project_file.h"

namespace korvalin::test {

bool ScriptedPrompt::AskOkCancel(const std::string& text) {
    messages.push_back(text);
    if (okCancelAnswers.empty()) {
        unanswered.push_back(text);
        return false;
    }
    const bool answer = okCancelAnswers.front();
    okCancelAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPrompt::AskSaveFile(const SaveFileRequest& request) {
    saveRequests.push_back(request);
    if (saveAnswers.empty()) {
        unanswered.push_back("save dialog");
        return std::nullopt;
    }
    std::optional<std::string> answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPrompt::AskOpenFile(const OpenFileRequest& request) {
    openRequests.push_back(request);
    if (openAnswers.empty()) {
        unanswered.push_back("open dialog");
        return std::nullopt;
    }
    std::optional<std::string> answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

bool ScriptedPrompt::EditVolumeLabel(VolumeLabelEditorState& state) {
    if (!volumeLabelEditor) {
        unanswered.push_back("volume label editor");
        return false;
    }
    return volumeLabelEditor(state);
}

bool ScriptedPrompt::EditEntry(Project& project, EntryEditorState& state) {
    ++entryEditorRuns;
    if (!entryEditor) {
        unanswered.push_back("entry editor");
        return false;
    }
    return entryEditor(project, state);
}

int32_t ScriptedPrompt::AskImportMode() {
    if (importModes.empty()) {
        unanswered.push_back("import options");
        return 0;
    }
    const int32_t mode = importModes.front();
    importModes.pop_front();
    return mode;
}

AppHarness::AppHarness(const CalendarTime& now)
    : settings_(std::make_unique<QSettings>(dir_.filePath("settings.ini"), QSettings::IniFormat)),
      app_(std::make_unique<CKorvalinApp>(*settings_, [now] { return now; })) {
    auto prompt = std::make_unique<ScriptedPrompt>();
    prompt_ = prompt.get();
    app_->SetPrompt(std::move(prompt));
}

void AppHarness::Start(const QString& project) { app_->InitInstance(project); }

void SaveProjectAs(Project& project, const QString& path) {
    std::string message;
    if (!SaveProjectFile(path.toStdString(), project, message)) throw std::runtime_error(message);
}

}  // namespace korvalin::test
