// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application: settings and the recent-files list, the document, the
// main window, and the commands that replace the project (New, Open, the
// recent files), About and Exit.

#include <QObject>
#include <QSettings>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "model/calendar_time.h"
#include "ui/desktop_prompt.h"
#include "ui/korvalin_doc.h"
#include "ui/recent_file_list.h"

namespace korvalin {

class CMainFrame;

using UtcClock = std::function<CalendarTime()>;

class CKorvalinApp : public QObject {
    Q_OBJECT
public:
    // `settings` keeps the recent-files list; `clock` dates new projects and
    // decides whether the season's greeting runs.
    explicit CKorvalinApp(QSettings& settings, UtcClock clock = {});
    ~CKorvalinApp() override;

    // Creates and shows the main window, then opens `projectPath` (the
    // project named on the command line) or, when it is empty, starts a new
    // project.
    void InitInstance(const QString& projectPath = QString());

    CKorvalinDoc& Document() { return doc_; }
    CMainFrame* MainFrame() { return frame_.get(); }
    RecentFileList& RecentFiles() { return recentFiles_; }
    DesktopPrompt& Prompt() { return *prompt_; }
    void SetPrompt(std::unique_ptr<DesktopPrompt> prompt);
    CalendarTime Now() const { return clock_(); }
    // Whether a compile finishes only once its outputs are on the disk
    // (kept in the settings, like the recent files).
    bool SyncToDisk() const;
    void SetSyncToDisk(bool sync);

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnOpenRecentFile(int index);
    void OnAppAbout();
    void OnAppExit();  // closes the window, which asks about unsaved changes
    // Opens `path` as the project; a refused file is reported and leaves the
    // open project as it was.
    bool OpenDocumentFile(const QString& path);

    // Every command that changes the project calls this; the title shows it.
    void MarkModified();
    // Before the project is replaced or the window closes: when there are
    // unsaved changes, asks "Save changes?" and saves on Save. False when
    // the user cancelled (the question or the save dialog) or the save failed.
    bool MaySaveChanges();

private:
    void AfterPathChange();

    UtcClock clock_;
    QSettings& settings_;
    RecentFileList recentFiles_;
    std::unique_ptr<DesktopPrompt> prompt_;
    CKorvalinDoc doc_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace korvalin
