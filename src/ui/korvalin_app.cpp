// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/korvalin_app.h"

#include "platform/clock.h"
#include "ui/main_frame.h"
#include "ui/program_texts.h"
#include "ui/qt_user_prompt.h"
#include "ui/text_codec.h"

namespace korvalin {

CKorvalinApp::CKorvalinApp(QSettings& settings, UtcClock clock)
    : clock_(clock ? std::move(clock) : UtcClock(CurrentUtcTime)),
      settings_(settings),
      recentFiles_(settings, RECENT_FILE_COUNT),
      prompt_(std::make_unique<QtUserPrompt>()) {
    recentFiles_.Load();
}

CKorvalinApp::~CKorvalinApp() = default;

namespace {

constexpr char SYNC_TO_DISK_KEY[] = "Compile/SyncToDisk";

}  // namespace

bool CKorvalinApp::SyncToDisk() const { return settings_.value(SYNC_TO_DISK_KEY, false).toBool(); }

void CKorvalinApp::SetSyncToDisk(bool sync) { settings_.setValue(SYNC_TO_DISK_KEY, sync); }

void CKorvalinApp::SetPrompt(std::unique_ptr<DesktopPrompt> prompt) { prompt_ = std::move(prompt); }

void CKorvalinApp::InitInstance(const QString& projectPath) {
    frame_ = std::make_unique<CMainFrame>(*this);
    if (auto* qtPrompt = dynamic_cast<QtUserPrompt*>(prompt_.get())) qtPrompt->SetOwner(frame_.get());
    frame_->show();
    // A project named on the command line that cannot be opened leaves this new one.
    doc_.OnNewDocument(clock_());
    frame_->OnDocumentChanged();
    if (!projectPath.isEmpty()) OpenDocumentFile(projectPath);
}

void CKorvalinApp::OnFileNew() {
    if (!MaySaveChanges()) return;
    doc_.OnNewDocument(clock_());
    frame_->OnDocumentChanged();
}

void CKorvalinApp::OnFileOpen() {
    OpenFileRequest request;
    request.filter = PROJECT_FILE_FILTER;
    request.defaultExtension = PROJECT_EXTENSION;
    const std::optional<std::string> path = prompt_->AskOpenFile(request);
    if (path && MaySaveChanges()) OpenDocumentFile(PathText(*path));
}

bool CKorvalinApp::OpenDocumentFile(const QString& path) {
    std::string message;
    if (!doc_.OnOpenDocument(PathBytes(path), clock_(), message)) {
        prompt_->ShowMessage(message);
        return false;
    }
    recentFiles_.Add(path);
    frame_->OnDocumentChanged();
    frame_->UpdateRecentFileMenu();
    return true;
}

void CKorvalinApp::MarkModified() {
    doc_.SetModified(true);
    frame_->UpdateTitle();
}

bool CKorvalinApp::MaySaveChanges() {
    if (!doc_.IsModified()) return true;
    switch (prompt_->AskSaveChanges()) {
        case SaveChangesAnswer::Save:
            OnFileSave();
            return !doc_.IsModified();
        case SaveChangesAnswer::Discard:
            return true;
        case SaveChangesAnswer::Cancel:
            break;
    }
    return false;
}

void CKorvalinApp::OnFileSave() {
    if (doc_.OnFileSave(*prompt_)) AfterPathChange();
}

void CKorvalinApp::OnFileSaveAs() {
    if (doc_.OnFileSaveAs(*prompt_)) AfterPathChange();
}

void CKorvalinApp::OnOpenRecentFile(int index) {
    if (index < 0 || index >= recentFiles_.Paths().size()) return;
    const QString path = recentFiles_.Paths()[index];
    if (!MaySaveChanges()) return;
    // A recent file that can no longer be opened leaves the list.
    if (!OpenDocumentFile(path)) {
        recentFiles_.Remove(recentFiles_.Paths().indexOf(path));
        frame_->UpdateRecentFileMenu();
    }
}

void CKorvalinApp::OnAppAbout() { prompt_->ShowAbout(); }

void CKorvalinApp::OnAppExit() { frame_->close(); }

void CKorvalinApp::AfterPathChange() {
    recentFiles_.Add(PathText(doc_.path()));
    frame_->UpdateTitle();
    frame_->UpdateRecentFileMenu();
}

}  // namespace korvalin
