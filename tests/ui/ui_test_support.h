// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one fixture of the desktop tests: a started main window over its own
// settings file and a fixed clock, scripted answers in place of its dialogs,
// and ways to read and drive its two views.

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <vector>

#include "model/list_rows.h"
#include "test_support.h"
#include "ui/entry_editor_dialog.h"
#include "ui/korvalin_app.h"
#include "ui/korvalin_view.h"
#include "ui/left_view.h"
#include "image/image_verifier.h"
#include "ui/main_frame.h"

namespace korvalin::test {

// Answers queued by the test, in order; a question with no queued answer
// counts as cancelled. Every message and question is recorded.
class ScriptedPrompt : public DesktopPrompt {
public:
    std::vector<std::string> messages;  // every message box's text and every question
    std::vector<MessageIcon> icons;     // of the message boxes
    std::deque<bool> okCancelAnswers, replaceAnswers, yesNoAnswers;
    std::deque<std::optional<bool>> yesNoCancelAnswers;
    std::deque<std::optional<std::string>> textAnswers;
    std::deque<SaveChangesAnswer> saveChangesAnswers;
    std::deque<std::optional<std::string>> saveAnswers, openAnswers, folderAnswers;
    std::deque<std::vector<std::string>> filesAnswers;
    std::deque<std::optional<int32_t>> importModeAnswers;  // none queued: OK at its default
    std::vector<SaveFileRequest> saveRequests;
    std::vector<OpenFileRequest> openRequests;
    std::function<bool(VolumeLabelEditorState&)> volumeLabelEditor;
    std::function<bool(Project&, EntryEditorState&)> entryEditor;  // stands for the modal run
    std::function<bool(Project&)> systemAreaEditor;
    std::function<bool(Project&)> audioTracksEditor;
    std::function<bool(Project&)> volumeTextsEditor;
    int entryEditorRuns = 0;
    std::vector<ErrorLog> errorLogs;
    std::vector<std::pair<std::string, VerifyReport>> verifyReports;
    std::vector<const Project*> verifiedProjects;

    void ShowMessage(const std::string& s) override { ShowMessageBox(s, {}, MessageIcon::None); }
    void ShowMessageBox(const std::string& text, const std::string&, MessageIcon icon) override {
        messages.push_back(text);
        icons.push_back(icon);
    }
    bool AskOkCancel(const std::string& text) override { return Ask(text, okCancelAnswers, false); }
    std::optional<std::string> AskSaveFileName(const SaveFileRequest& request) override {
        saveRequests.push_back(request);
        return Next(saveAnswers, {});
    }
    bool AskReplaceFile(const std::string& path) override {
        return Ask("replace " + path, replaceAnswers, false);
    }
    bool AskYesNo(const std::string& text) override { return Ask(text, yesNoAnswers, false); }
    std::optional<bool> AskYesNoCancel(const std::string& text) override {
        return Ask(text, yesNoCancelAnswers, {});
    }
    std::optional<std::string> AskText(const std::string&, const std::string& label,
                                       const std::string&) override {
        return Ask(label, textAnswers, {});
    }
    SaveChangesAnswer AskSaveChanges() override {
        return Ask(SAVE_CHANGES_QUESTION, saveChangesAnswers, SaveChangesAnswer::Cancel);
    }
    std::vector<std::string> AskFilesToAdd() override { return Next(filesAnswers, {}); }
    std::optional<std::string> AskFolderToAdd() override { return Next(folderAnswers, {}); }
    std::optional<std::string> AskFolder(const std::string&) override { return Next(folderAnswers, {}); }
    std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override {
        openRequests.push_back(request);
        return Next(openAnswers, {});
    }
    bool EditVolumeLabel(VolumeLabelEditorState& state) override {
        return volumeLabelEditor && volumeLabelEditor(state);
    }
    bool EditSystemArea(Project& p) override { return systemAreaEditor && systemAreaEditor(p); }
    bool EditAudioTracks(Project& p) override { return audioTracksEditor && audioTracksEditor(p); }
    bool EditVolumeTexts(Project& p) override { return volumeTextsEditor && volumeTextsEditor(p); }
    bool EditEntry(Project& project, EntryEditorState& state) override {
        ++entryEditorRuns;
        return entryEditor && entryEditor(project, state);
    }
    std::optional<int32_t> AskImportMode() override { return Next(importModeAnswers, {0}); }
    void ShowErrorLog(const ErrorLog& log) override { errorLogs.push_back(log); }
    void ShowAbout() override {}
    void ShowVerifyReport(const std::string& path, const VerifyReport& report,
                          const Project* compiled) override {
        verifyReports.emplace_back(path, report);
        verifiedProjects.push_back(compiled);
    }

private:
    // The question recorded, then the next queued answer.
    template <typename T>
    T Ask(const std::string& question, std::deque<T>& answers, T cancelled) {
        messages.push_back(question);
        return Next(answers, cancelled);
    }
    template <typename T>
    static T Next(std::deque<T>& answers, T cancelled) {
        if (answers.empty()) return cancelled;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// 12 March 2024, 09:30 UTC: outside the season's greeting.
constexpr CalendarTime MARCH_12{2024, 3, 12, 9, 30, 0};
// The status bar's summary of a new project: the root alone, 23 sectors.
inline const QString NEW_PROJECT_SUMMARY("Time: 00:02   TOC: 52KB/ LBA:23  Files:0 Folders:1 ");

// Menu texts, "-" for a separator.
QStringList ActionTexts(const QList<QAction*>& actions);

// The strip image that `icon` shows in `mode` at scale 1, or -1.
int StripIndexOf(const QIcon& icon, QIcon::Mode mode = QIcon::Normal);

class Window {
public:
    // Started as from a command line naming `project`, a file in the window's
    // own temporary folder, or on a new project when there is none.
    explicit Window(const CalendarTime& now = MARCH_12, const QString& project = QString());

    CKorvalinApp& app() { return *app_; }
    // The title as the window shows it: "[*]" is "*" with unsaved changes.
    QString Title();
    CMainFrame& frame() { return *app_->MainFrame(); }
    ScriptedPrompt& prompt() { return *prompt_; }
    Project& project() { return app_->Document().project(); }
    QSettings& settings() { return *settings_; }
    CKorvalinView* list() { return frame().ListView(); }
    CLeftView* tree() { return frame().TreeView(); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }
    std::string Path(const QString& name) const { return FilePath(name).toStdString(); }

    void Trigger(CommandId id) { frame().Action(id)->trigger(); }
    // A key pressed in the active main window.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {});

    // The list as shown: the names, one cell, the row and the LBA column of a name.
    QStringList Names();
    QString Cell(int row, int column);
    int Row(const QString& name) { return Names().indexOf(name); }
    QString Lba(const QString& name) { return Cell(Row(name), 1); }
    QList<int> ListIcons();
    QStringList TreeChildren(int32_t dir);

    // Files under the temporary folder, parent folders included.
    void WriteFile(const QString& name, size_t size);
    // Writes `bytes` over a file's own from `offset` on.
    void Overwrite(const QString& name, int64_t offset, const QByteArray& bytes);
    QString SaveProject(Project project, const QString& name);  // its path

    void DoubleClick(int row);
    // Presses on row `from`, moves over `onto` of `target` with the button
    // held (the drag cursor shows) and releases there.
    void Drag(const QString& from, QAbstractItemView* target, QRect onto);
    QRect RowRect(const QString& name);
    // The real entry editor answers: `fill` sets its fields (and may try OK
    // itself), then OK is clicked.
    void AnswerEditor(std::function<void(EntryEditorDialog&)> fill);

private:
    QTemporaryDir dir_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<CKorvalinApp> app_;
    ScriptedPrompt* prompt_ = nullptr;
};

}  // namespace korvalin::test
