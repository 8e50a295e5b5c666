#pragma once
// Scripted answers in place of the desktop's dialogs, and a started
// application over a temporary settings file.

#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/calendar_time.h"
#include "ui/desktop_prompt.h"
#include "ui/korvalin_app.h"

namespace korvalin::test {

// Answers queued by the test, in order; every question is recorded. A
// question with no queued answer counts as cancelled and is noted in
// `unanswered`.
class ScriptedPrompt : public DesktopPrompt {
public:
    struct MessageBoxShown {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };
    std::vector<std::string> messages;  // every message box's text and every question
    std::vector<MessageBoxShown> boxes;  // the OK-only message boxes
    std::deque<bool> okCancelAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<SaveFileRequest> saveRequests;
    std::deque<std::optional<std::string>> openAnswers;
    std::vector<OpenFileRequest> openRequests;
    std::function<bool(VolumeLabelEditorState&)> volumeLabelEditor;
    // Stands for the entry editor's modal run (it may drive a real
    // EntryEditorDialog without exec()).
    std::function<bool(Project&, EntryEditorState&)> entryEditor;
    int entryEditorRuns = 0;
    std::deque<int32_t> importModes;
    std::vector<ErrorLog> errorLogs;
    int aboutShown = 0;
    std::vector<std::string> unanswered;

    void ShowMessage(const std::string& text) override {
        ShowMessageBox(text, "Korvalin", MessageIcon::None);
    }
    void ShowMessageBox(const std::string& text, const std::string& caption,
                        MessageIcon icon) override {
        messages.push_back(text);
        boxes.push_back({text, caption, icon});
    }
    bool AskOkCancel(const std::string& text) override;
    std::optional<std::string> AskSaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override;
    bool EditVolumeLabel(VolumeLabelEditorState& state) override;
    bool EditEntry(Project& project, EntryEditorState& state) override;
    int32_t AskImportMode() override;
    void ShowErrorLog(const ErrorLog& log) override { errorLogs.push_back(log); }
    void ShowAbout() override { ++aboutShown; }
};

// 12 March 2024, 09:30 UTC: outside the season's greeting.
constexpr CalendarTime MARCH_12{2024, 3, 12, 9, 30, 0};

// An application with its own settings file and a fixed clock.
class AppHarness {
public:
    explicit AppHarness(const CalendarTime& now = MARCH_12);
    // Creates the main window and opens `project` or starts a new project.
    void Start(const QString& project = QString());

    CKorvalinApp& app() { return *app_; }
    CMainFrame& frame() { return *app_->MainFrame(); }
    ScriptedPrompt& prompt() { return *prompt_; }
    Project& project() { return app_->Document().project(); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }
    QSettings& settings() { return *settings_; }

private:
    QTemporaryDir dir_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<CKorvalinApp> app_;
    ScriptedPrompt* prompt_ = nullptr;
};

// Saves `project` as a .krv file; fails the test on error.
void SaveProjectAs(Project& project, const QString& path);

}  // namespace korvalin::test
