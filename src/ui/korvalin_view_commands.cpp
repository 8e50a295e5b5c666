// The project commands of the file list: each calls its core operation,
// answers its questions through the application's prompt and refreshes the
// views as the outcome says.

#include <functional>

#include "import/isobuster_import.h"
#include "layout/clear_lba_marks.h"
#include "layout/compile_command.h"
#include "model/add_from_disk.h"
#include "model/disk_entries.h"
#include "model/drop_on_list.h"
#include "model/edit_info.h"
#include "model/new_dummy_file.h"
#include "model/new_sub_directory.h"
#include "model/remove_entries.h"
#include "ui/korvalin_app.h"
#include "ui/korvalin_view.h"
#include "ui/progress_window.h"
#include "ui/view_state.h"

namespace korvalin {

namespace {

// The import shows its own message boxes; the out-of-memory one has its
// own caption and a stop icon.
class ImportPrompt : public UserPrompt {
public:
    explicit ImportPrompt(DesktopPrompt& prompt) : prompt_(prompt) {}
    void ShowMessage(const std::string& text) override {
        if (text == OUT_OF_MEMORY_MESSAGE) {
            prompt_.ShowMessageBox(text, MESSAGE_CAPTION, MessageIcon::Stop);
        } else {
            prompt_.ShowMessage(text);
        }
    }
    bool AskOkCancel(const std::string& text) override { return prompt_.AskOkCancel(text); }
    std::optional<std::string> AskSaveFile(const SaveFileRequest& request) override {
        return prompt_.AskSaveFile(request);
    }

private:
    DesktopPrompt& prompt_;
};

}  // namespace

// The window appears with the operation's first step: after its questions,
// and not at all when it ends before working (a listing that cannot be
// opened, a compile stopped by its checks).
ProgressCallback CKorvalinView::ProgressOpeningOnFirstStep(
    std::unique_ptr<ProgressWindow>& progress, int32_t high) {
    return [this, &progress, high](int32_t position) {
        if (!progress) {
            progress = std::make_unique<ProgressWindow>(window());
            progress->SetRange(0, high);
            progress->show();
        }
        progress->SetPosition(position);
    };
}

void CKorvalinView::FinishBulkOperation(const ErrorLog& log) {
    if (log.count() > 0) app_.Prompt().ShowErrorLog(log);
    FinishChange(true);
}

void CKorvalinView::FinishEdit(const EditOutcome& outcome) {
    if (outcome.code == EDIT_REFUSED) app_.Prompt().ShowMessage(outcome.message);
    if (outcome.refresh != REFRESH_NONE) FinishChange(outcome.refresh == REFRESH_LIST_AND_TREE);
}

EntryEditorRunner CKorvalinView::EntryEditor() {
    return [this](Project& p, EntryEditorState& state) { return app_.Prompt().EditEntry(p, state); };
}

void CKorvalinView::OnEditVolumeLabel() {
    VolumeLabelEditorState state = OpenVolumeLabelEditor(project());
    if (!app_.Prompt().EditVolumeLabel(state)) return;
    ApplyVolumeLabelEditor(project(), state);
    FinishChange(true);
}

void CKorvalinView::OnSystemArea() {
    if (app_.Prompt().EditSystemArea(project())) FinishChange(false);
}

void CKorvalinView::OnCompile() {
    // The layout is the last refresh's; the compile does not run it again.
    std::unique_ptr<ProgressWindow> progress;
    RunCompileCommand(project(), app_.Prompt(),
                      ProgressOpeningOnFirstStep(progress, project().layoutState.totalSectors));
}

void CKorvalinView::OnNewSubDirectory() { FinishEdit(NewSubDirectory(project(), EntryEditor())); }

void CKorvalinView::OnNewDummyFile() { FinishEdit(NewDummyFile(project(), EntryEditor())); }

void CKorvalinView::OnResetLbas() {
    ResetLbas(project());
    FinishChange(false);
}

void CKorvalinView::OnRemoveWarnings() {
    RemoveWarnings(project());
    FinishChange(false);
}

void CKorvalinView::OnImportIsoBusterListing() {
    OpenFileRequest request;
    request.filter = IMPORT_FILE_FILTER;
    request.defaultExtension = IMPORT_DEFAULT_EXTENSION;
    request.fileMustExist = false;
    const std::optional<std::string> listing = app_.Prompt().AskOpenFile(request);
    if (!listing) return;
    const int32_t mode = app_.Prompt().AskImportMode();
    std::unique_ptr<ProgressWindow> progress;
    ErrorLog log;
    ImportPrompt prompt(app_.Prompt());
    ImportIsoBusterListing(project(), *listing, mode, app_.Now(), log, prompt,
                           ProgressOpeningOnFirstStep(progress, BULK_PROGRESS_RANGE));
    FinishBulkOperation(log);
}

void CKorvalinView::OnDropFiles(const std::vector<std::string>& paths) {
    std::unique_ptr<ProgressWindow> progress;
    ErrorLog log;
    const int result = AddFromDisk(project(), paths, log,
                                   ProgressOpeningOnFirstStep(progress, BULK_PROGRESS_RANGE));
    if (result == ADD_OUT_OF_MEMORY) {
        app_.Prompt().ShowMessageBox(OUT_OF_MEMORY_MESSAGE, MESSAGE_CAPTION, MessageIcon::Stop);
    }
    FinishBulkOperation(log);
}

void CKorvalinView::OnEditInfo() {
    state_.editInfoRequested = 1;
    FinishEdit(EditInfo(project(), project().editedEntryId, EntryEditor()));
    project().editedEntryId = 0;
    state_.editInfoRequested = -1;
}

void CKorvalinView::OnRemove() {
    state_.editInfoRequested = 0;
    FinishEdit(RemoveEntries(project(), SelectedEntryIds()));
    state_.dragRow = -1;
    state_.contextRow = -1;
    state_.editInfoRequested = -1;
}

void CKorvalinView::OnDropOnRow(int targetRow) {
    const EditOutcome outcome = DropOnList(project(), ItemValue(state_.dragRow), ItemValue(targetRow));
    FinishDrop(outcome);
}

void CKorvalinView::FinishDrop(const EditOutcome& outcome) {
    if (outcome.code == EDIT_REFUSED) app_.Prompt().ShowMessage(outcome.message);
    if (outcome.code != EDIT_OK) {
        state_.dragRow = -1;
        return;
    }
    state_.dragRow = -2;  // no double-click navigation during this refresh
    RefreshFileList(outcome.refresh == REFRESH_LIST_AND_TREE);
    state_.dragRow = -1;
    SelectCurrentDirInTree();
}

}  // namespace korvalin
