// The project commands of the file list. Where a command's core operation
// is not connected yet (see IsCommandWired), its handler already holds the
// flow around the call, marked TODO(core).

#include <functional>

#include "ui/korvalin_app.h"
#include "ui/korvalin_view.h"
#include "ui/progress_window.h"
#include "ui/view_state.h"
#include "ui/volume_label_apply.h"

namespace korvalin {

namespace {

constexpr int32_t BULK_PROGRESS_HIGH = 4096;  // adding from disk and the import: one step a file

}  // namespace

std::unique_ptr<ProgressWindow> CKorvalinView::OpenProgressWindow(int32_t high, int32_t position) {
    auto progress = std::make_unique<ProgressWindow>(window());
    progress->SetRange(0, high);
    progress->SetPosition(position);
    progress->show();
    return progress;
}

void CKorvalinView::FinishBulkOperation(const ErrorLog& log) {
    if (log.count() > 0) app_.Prompt().ShowErrorLog(log);
    FinishChange(true);
}

void CKorvalinView::OnEditVolumeLabel() {
    VolumeLabelValues values = VolumeLabelValuesOf(project());
    if (!app_.Prompt().EditVolumeLabel(values)) return;
    ApplyVolumeLabel(project(), values);
    FinishChange(true);
}

void CKorvalinView::OnCompile() {
    // The window appears when the compile starts writing, after the checks
    // and the image name; the layout is the last refresh's.
    std::unique_ptr<ProgressWindow> progress;
    const int32_t totalSectors = project().layoutState.totalSectors;
    std::function<void(int32_t)> showProgress = [&](int32_t sector) {
        if (!progress) progress = OpenProgressWindow(totalSectors, 0);
        progress->SetPosition(sector);
    };
    // TODO(core): RunCompileCommand(project(), app_.Prompt(), showProgress)
    // shows the displaced warning and the check messages, asks for the image
    // name, compiles and shows the result text.
    (void)showProgress;
}

void CKorvalinView::OnNewSubDirectory() {
    bool created = false;
    // TODO(core): NewSubDirectory(project(), runEditor) with the entry editor
    // dialog; a full table comes back as a message for app_.Prompt().ShowMessage.
    if (created) FinishChange(true);
}

void CKorvalinView::OnNewDummyFile() {
    bool created = false;
    // TODO(core): NewDummyFile(project(), runEditor), as OnNewSubDirectory.
    if (created) FinishChange(true);
}

void CKorvalinView::OnResetLbas() {
    // TODO(core): ResetLbas(project()) clears the pins and the warnings.
    FinishChange(false);
}

void CKorvalinView::OnRemoveWarnings() {
    // TODO(core): RemoveWarnings(project()) clears the warnings only.
    FinishChange(false);
}

void CKorvalinView::OnImportIsoBusterListing() {
    // TODO(core): ask for the listing (AskOpenFile with the import's filter,
    // the file need not exist) and for the mode (ImportOptionsDialog); Cancel
    // on the listing ends the command here.
    std::unique_ptr<ProgressWindow> progress = OpenProgressWindow(BULK_PROGRESS_HIGH, 1);
    ErrorLog log;
    // TODO(core): ImportIsoBusterListing(project(), listing, mode, app_.Now(),
    // log, app_.Prompt(), progress->Callback()).
    FinishBulkOperation(log);
}

void CKorvalinView::OnDropFiles(const std::vector<std::string>& paths) {
    std::unique_ptr<ProgressWindow> progress = OpenProgressWindow(BULK_PROGRESS_HIGH, 1);
    ErrorLog log;
    // TODO(core): AddFromDisk(project(), paths, log, progress->Callback());
    // when it runs out of memory, show its message with app_.Prompt().
    (void)paths;
    FinishBulkOperation(log);
}

void CKorvalinView::OnEditInfo() {
    state_.editInfoRequested = 1;
    bool changed = false;
    // TODO(core): EditInfo(project(), project().editedEntryId, runEditor)
    // with the entry editor dialog.
    if (changed) FinishChange(true);
    project().editedEntryId = 0;
    state_.editInfoRequested = -1;
}

void CKorvalinView::OnRemove() {
    state_.editInfoRequested = 0;
    const std::vector<int32_t> ids = SelectedEntryIds();
    bool removed = false;
    // TODO(core): RemoveEntries(project(), ids); the root and the parent row
    // are never among `ids`.
    (void)ids;
    if (removed) FinishChange(true);
    state_.dragRow = -1;
    state_.contextRow = -1;
    state_.editInfoRequested = -1;
}

void CKorvalinView::OnDropOnRow(int targetRow) {
    const int32_t dragged = ItemValue(state_.dragRow);
    const int32_t target = ItemValue(targetRow);
    bool changed = false;
    // TODO(core): DropOnList(project(), dragged, target) moves a file into a
    // folder row or swaps two files; a name clash comes back as its message,
    // shown with app_.Prompt().ShowMessage, and nothing changes.
    (void)dragged;
    (void)target;
    if (!changed) {
        state_.dragRow = -1;
        return;
    }
    state_.dragRow = -2;  // no double-click navigation during this refresh
    RefreshFileList(false);
    state_.dragRow = -1;
    SelectCurrentDirInTree();
}

}  // namespace korvalin
