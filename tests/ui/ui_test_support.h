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
    std::vector<std::string> messages;
    std::deque<bool> okCancelAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<SaveFileRequest> saveRequests;
    std::deque<std::optional<std::string>> openAnswers;
    std::vector<OpenFileRequest> openRequests;
    std::function<bool(VolumeLabelValues&)> volumeLabelEditor;
    std::vector<ErrorLog> errorLogs;
    int aboutShown = 0;
    std::vector<std::string> unanswered;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskOkCancel(const std::string& text) override;
    std::optional<std::string> AskSaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override;
    bool EditVolumeLabel(VolumeLabelValues& values) override;
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
