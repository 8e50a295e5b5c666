// SPDX-License-Identifier: GPL-3.0-or-later
// The project commands of the file list: each calls its core operation,
// answers its questions through the application's prompt and refreshes the
// views as the outcome says.

#include <charconv>
#include <functional>

#include "image/compile_image.h"
#include "image/image_verifier.h"
#include "import/isobuster_import.h"
#include "import/listing_writer.h"
#include "layout/clear_lba_marks.h"
#include "layout/compile_command.h"
#include "layout/da_files.h"
#include "model/add_from_disk.h"
#include "model/disk_entries.h"
#include "model/drop_on_list.h"
#include "model/edit_info.h"
#include "model/message_format.h"
#include "model/new_dummy_file.h"
#include "model/new_sub_directory.h"
#include "model/remove_entries.h"
#include "model/xa_file.h"
#include "ui/compile_output_prompt.h"
#include "ui/korvalin_app.h"
#include "ui/korvalin_view.h"
#include "ui/progress_window.h"
#include "ui/verify_window.h"
#include "ui/view_state.h"

namespace korvalin {

namespace {

constexpr char NO_AUDIO_TRACKS[] = "The project has no audio tracks: add them with Audio Tracks... first.";
constexpr char DA_TRACK_LABEL[] = "Audio track whose sectors the file names (2 to %zu):";
constexpr char NOT_AN_AUDIO_TRACK[] = "\"%s\" is not an audio track of this project (2 to %zu).";
constexpr char VERIFY_FILE_FILTER[] =
    "CD Images (*.bin *.iso *.ims)|*.bin;*.iso;*.ims|All Files (*.*)|*.*||";
constexpr int32_t VERIFY_PROGRESS_RANGE = 1000;

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
    std::unique_ptr<ProgressWindow>& progress, int32_t high, const QString& title) {
    return [this, &progress, high, title](int32_t position) {
        if (!progress) {
            progress = std::make_unique<ProgressWindow>(window(), title);
            progress->SetRange(0, high);
            progress->show();
        }
        progress->SetPosition(position);
    };
}

void CKorvalinView::FinishProjectChange(bool rebuildTree) {
    app_.MarkModified();
    FinishChange(rebuildTree);
}

void CKorvalinView::FinishBulkOperation(const ErrorLog& log, bool changed) {
    if (log.count() > 0) app_.Prompt().ShowErrorLog(log);
    if (changed) app_.MarkModified();
    FinishChange(true);
}

void CKorvalinView::FinishEdit(const EditOutcome& outcome) {
    if (outcome.code == EDIT_REFUSED) app_.Prompt().ShowMessage(outcome.message);
    if (outcome.code == EDIT_OK) app_.MarkModified();
    if (outcome.refresh != REFRESH_NONE) FinishChange(outcome.refresh == REFRESH_LIST_AND_TREE);
}

EntryEditorRunner CKorvalinView::EntryEditor() {
    return [this](Project& p, EntryEditorState& state) { return app_.Prompt().EditEntry(p, state); };
}

void CKorvalinView::OnEditVolumeLabel() {
    VolumeLabelEditorState state = OpenVolumeLabelEditor(project());
    if (!app_.Prompt().EditVolumeLabel(state)) return;
    ApplyVolumeLabelEditor(project(), state);
    FinishProjectChange(true);
}

void CKorvalinView::OnSystemArea() {
    if (app_.Prompt().EditSystemArea(project())) FinishChange(false);
}

void CKorvalinView::OnAudioTracks() {
    if (!app_.Prompt().EditAudioTracks(project())) return;
    app_.MarkModified();
    FinishChange(false);
}

void CKorvalinView::OnCompile() {
    // The layout is the last refresh's; the compile does not run it again.
    std::unique_ptr<ProgressWindow> progress;
    CompileOutputPrompt prompt(app_.Prompt(), project(), app_.Document().path());
    const CompileCommandResult result =
        RunCompileCommand(project(), prompt,
                          ProgressOpeningOnFirstStep(progress, static_cast<int32_t>(DiscEndLba(project()))),
                          app_.SyncToDisk());
    progress.reset();
    if (result.code == COMPILE_COMMAND_RAN && result.compileMessage == COMPILE_SUCCESS_MESSAGE &&
        app_.Prompt().AskYesNo(VERIFY_OFFER_QUESTION)) {
        VerifyImageFile(result.imagePath, &project());
    }
}

void CKorvalinView::OnVerifyImage() {
    OpenFileRequest request;
    request.filter = VERIFY_FILE_FILTER;
    if (const std::optional<std::string> image = app_.Prompt().AskOpenFile(request)) {
        VerifyImageFile(*image, nullptr);
    }
}

void CKorvalinView::VerifyImageFile(const std::string& imagePath, const Project* compiled) {
    std::unique_ptr<ProgressWindow> progress;
    const ProgressCallback step =
        ProgressOpeningOnFirstStep(progress, VERIFY_PROGRESS_RANGE, VERIFY_PROGRESS_TITLE);
    const VerifyReport report =
        VerifyImage(imagePath, VerifyOptions{}, [&step](int64_t done, int64_t total) {
            if (total > 0) step(static_cast<int32_t>(done * VERIFY_PROGRESS_RANGE / total));
        });
    progress.reset();
    if (!report.opened) {
        app_.Prompt().ShowMessage(report.openError);
        return;
    }
    app_.Prompt().ShowVerifyReport(imagePath, report, compiled);
}

void CKorvalinView::OnVolumeTexts() {
    if (!app_.Prompt().EditVolumeTexts(project())) return;
    app_.MarkModified();
    FinishChange(false);
}

void CKorvalinView::OnNewSubDirectory() { FinishEdit(NewSubDirectory(project(), EntryEditor())); }

void CKorvalinView::OnNewDummyFile() { FinishEdit(NewDummyFile(project(), EntryEditor())); }

// New Dummy File's editor, set to the sectors of an audio track the user names.
void CKorvalinView::OnNewDaFile() {
    DesktopPrompt& prompt = app_.Prompt();
    const size_t count = project().audioTracks.size();
    if (count == 0) {
        prompt.ShowMessage(NO_AUDIO_TRACKS);
        return;
    }
    const std::optional<std::string> text =
        prompt.AskText("New DA File", FormatMessage(DA_TRACK_LABEL, count + 1), "2");
    if (!text) return;
    size_t number = 0;
    const auto [end, failure] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (failure != std::errc() || end != text->data() + text->size() || number < 2 || number > count + 1) {
        prompt.ShowMessage(FormatMessage(NOT_AN_AUDIO_TRACK, text->c_str(), count + 1));
        return;
    }
    const AudioTrackPlace place = PlaceAudioTracks(project())[number - 2];
    const EntryEditorRunner editor = EntryEditor();
    const EditOutcome outcome = NewDummyFile(project(), [&](Project& p, EntryEditorState& state) {
        SetDaFileEditor(state, place);
        return editor(p, state);
    });
    if (outcome.code == EDIT_OK) project().fileTable.back().daTrack = static_cast<int32_t>(number);
    FinishEdit(outcome);
}

void CKorvalinView::OnResetLbas() {
    ResetLbas(project());
    FinishProjectChange(false);
}

void CKorvalinView::OnRemoveWarnings() {
    RemoveWarnings(project());
    FinishProjectChange(false);
}

void CKorvalinView::OnImportIsoBusterListing() {
    OpenFileRequest request;
    request.filter = IMPORT_FILE_FILTER;
    request.defaultExtension = IMPORT_DEFAULT_EXTENSION;
    request.fileMustExist = false;
    const std::optional<std::string> listing = app_.Prompt().AskOpenFile(request);
    if (!listing || !app_.MaySaveChanges()) return;
    const std::optional<int32_t> mode = app_.Prompt().AskImportMode();
    if (!mode) return;
    std::unique_ptr<ProgressWindow> progress;
    ErrorLog log;
    ImportPrompt prompt(app_.Prompt());
    ImportIsoBusterListing(project(), *listing, *mode, app_.Now(), log, prompt,
                           ProgressOpeningOnFirstStep(progress, BULK_PROGRESS_RANGE));
    FinishBulkOperation(log, true);
}

void CKorvalinView::OnExportListing() {
    SaveFileRequest request;
    request.defaultName = std::string(project().volumeInfo.Label());
    request.defaultExtension = LISTING_DEFAULT_EXTENSION;
    request.filter = LISTING_FILE_FILTER;
    const std::optional<std::string> path = app_.Prompt().AskSaveFile(request);
    if (!path) return;
    // The layout is the last refresh's, as the compile uses it.
    const std::string text = ListingText(project(), ListingFormatForPath(*path));
    std::string message;
    if (!WriteListingFile(text, *path, app_.Document().path(), message)) {
        app_.Prompt().ShowMessage(message);
    }
}

void CKorvalinView::OnDropFiles(const std::vector<std::string>& paths) {
    std::unique_ptr<ProgressWindow> progress;
    ErrorLog log;
    const auto counts = [this] { return std::pair(project().dirCount(), project().fileCount()); };
    const auto before = counts();
    const int result = AddFromDisk(project(), paths, log,
                                   ProgressOpeningOnFirstStep(progress, BULK_PROGRESS_RANGE));
    if (result == ADD_OUT_OF_MEMORY) {
        app_.Prompt().ShowMessageBox(OUT_OF_MEMORY_MESSAGE, MESSAGE_CAPTION, MessageIcon::Stop);
    }
    progress.reset();
    OfferRawXaMarks(project(), before.second, app_.Prompt());
    FinishBulkOperation(log, counts() != before);
}

void CKorvalinView::OnAddFiles() {
    const std::vector<std::string> files = app_.Prompt().AskFilesToAdd();
    if (!files.empty()) OnDropFiles(files);
}

void CKorvalinView::OnAddFolder() {
    if (const std::optional<std::string> folder = app_.Prompt().AskFolderToAdd()) {
        OnDropFiles({*folder});
    }
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
    app_.MarkModified();
    state_.dragRow = -2;  // no double-click navigation during this refresh
    RefreshFileList(outcome.refresh == REFRESH_LIST_AND_TREE);
    state_.dragRow = -1;
    SelectCurrentDirInTree();
}

}  // namespace korvalin
