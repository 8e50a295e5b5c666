// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The right pane: the entries of the current directory, a first row for the
// parent, then the subdirectories, then the files. RefreshFileList is the one
// way changes become visible: it lays the tree out again before the rows are
// filled. The project commands are handled here, whichever pane has the focus.

#include <QTreeView>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "layout/error_log.h"
#include "model/edit_outcome.h"
#include "model/entry_editor.h"
#include "model/progress.h"
#include "ui/file_list_model.h"
#include "ui/progress_window.h"

class QMenu;

namespace korvalin {

class CKorvalinApp;
class CLeftView;
struct Project;
struct ViewState;

class CKorvalinView : public QTreeView {
    Q_OBJECT
public:
    CKorvalinView(CKorvalinApp& app, ViewState& state, QWidget* parent = nullptr);
    ~CKorvalinView() override;
    void SetTreeView(CLeftView* tree) { tree_ = tree; }

    const FileListModel& Rows() const { return *model_; }
    // The entry id behind a row, or -1 for no row.
    int32_t ItemValue(int row) const;

    // After New or Open: the list, the tree and the tree's selection.
    void OnInitialUpdate();
    // Lays the tree out, refills the list for `currentDir` and, when asked,
    // rebuilds the tree. Ignored while a refresh runs.
    void RefreshFileList(bool rebuildTree);
    void SelectCurrentDirInTree();

    // A double click on a folder row (a subdirectory or the parent row)
    // opens that folder.
    void OnRowDoubleClicked(int row);
    // The popup for a right click on `row` ("Edit Info", a separator,
    // "Remove"), or nullptr on the root's row and outside the rows. Sets
    // `contextRow` and, with a popup, `editedEntryId`.
    std::unique_ptr<QMenu> ContextMenuFor(int row);

    // The project commands; the main frame forwards its menu and toolbar
    // commands here.
    void OnEditVolumeLabel();
    void OnSystemArea();
    void OnAudioTracks();
    void OnCompile();
    void OnNewSubDirectory();
    void OnNewDummyFile();
    void OnNewDaFile();
    void OnVolumeTexts();
    void OnResetLbas();
    void OnRemoveWarnings();
    void OnImportIsoBusterListing();
    // Add Files... and Add Folder...: the chosen paths go the way of a drop.
    void OnAddFiles();
    void OnAddFolder();
    // Verify Image...: an image chosen in the open dialog.
    void OnVerifyImage();
    // Verifies `imagePath` with the progress window and shows the report;
    // `compiled` is the project it was just compiled from, or nullptr.
    void VerifyImageFile(const std::string& imagePath, const Project* compiled);
    // A save dialog; the chosen type (its extension) names the format.
    void OnExportListing();
    // The context menu's commands, on `editedEntryId` and the selected rows.
    void OnEditInfo();
    void OnRemove();
    // Files and folders dropped from the file manager.
    void OnDropFiles(const std::vector<std::string>& paths);
    // The end of a drag of file row `dragRow` over `targetRow` of this list.
    void OnDropOnRow(int targetRow);
    // After a drop of a dragged file row, on the list or on the tree: shows
    // a refusal, or refreshes and selects the current directory again.
    void FinishDrop(const EditOutcome& outcome);

signals:
    // After every refresh; the status bar shows the new totals.
    void Refreshed();

protected:
    // Enter opens a folder row, Backspace the parent folder, Delete removes
    // the selection, F2 is Edit Info, Shift+F10 and the menu key open the
    // context menu of the current row.
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Project& project();
    void ResetColumns();
    // Refresh with the tree and select the current directory in it.
    void FinishChange(bool rebuildTree);
    // FinishChange after a command that changed the project.
    void FinishProjectChange(bool rebuildTree);
    // Shows a bulk operation's log when it holds lines, then refreshes.
    void FinishBulkOperation(const ErrorLog& log, bool changed);
    // Shows a refusal; refreshes as the outcome asks.
    void FinishEdit(const EditOutcome& outcome);
    // The entry editor dialog, through the application's prompt.
    EntryEditorRunner EntryEditor();
    // A progress callback that opens "Building CD Image" (range 0..`high`)
    // into `progress` at the first step.
    ProgressCallback ProgressOpeningOnFirstStep(std::unique_ptr<ProgressWindow>& progress,
                                                int32_t high,
                                                const QString& title = BUILDING_TITLE);
    void ShowDragCursor(bool shown);
    std::vector<int32_t> SelectedEntryIds() const;

    CKorvalinApp& app_;
    ViewState& state_;
    CLeftView* tree_ = nullptr;
    FileListModel* model_;
    QPoint pressPosition_;
    bool dragCursorShown_ = false;
};

}  // namespace korvalin
