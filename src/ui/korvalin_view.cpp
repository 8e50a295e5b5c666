// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/korvalin_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "layout/recompute_layout.h"
#include "model/list_rows.h"
#include "ui/commands.h"
#include "ui/icon_strip.h"
#include "ui/korvalin_app.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui/progress_window.h"
#include "ui/text_codec.h"
#include "ui/view_state.h"

namespace korvalin {

namespace {

constexpr int32_t ENTRY_ID_END = FILE_ID_BASE + FILE_TABLE_SLOTS;  // 8192

std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data == nullptr) return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths.push_back(PathBytes(url.toLocalFile()));
    }
    return paths;
}

}  // namespace

CKorvalinView::CKorvalinView(CKorvalinApp& app, ViewState& state, QWidget* parent)
    : QTreeView(parent), app_(app), state_(state), model_(new FileListModel(this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(STRIP_IMAGE_SIZE, STRIP_IMAGE_SIZE));
    header()->setStretchLastSection(false);
    setDragEnabled(false);
    setAcceptDrops(true);
    ResetColumns();
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { OnRowDoubleClicked(index.row()); });
}

CKorvalinView::~CKorvalinView() { ShowDragCursor(false); }

Project& CKorvalinView::project() { return app_.Document().project(); }

int32_t CKorvalinView::ItemValue(int row) const {
    if (row < 0 || row >= model_->rowCount()) return -1;
    return model_->Rows()[static_cast<size_t>(row)].itemValue;
}

void CKorvalinView::ResetColumns() {
    for (int column = 0; column < LIST_COLUMN_COUNT; ++column) {
        header()->resizeSection(column, LIST_COLUMNS[column].width);
    }
}

void CKorvalinView::OnInitialUpdate() {
    state_.dragRow = -1;
    state_.contextRow = -1;
    if (tree_ != nullptr) tree_->OnInitialUpdate();
    RefreshFileList(true);
    SelectCurrentDirInTree();
}

void CKorvalinView::RefreshFileList(bool rebuildTree) {
    if (state_.listRefreshEnabled == 0) return;
    state_.listRefreshEnabled = 0;
    Project& p = project();
    ResetColumns();
    // The rows show the LBAs and directory sizes of this layout.
    RecomputeLayout(p);
    if (rebuildTree && tree_ != nullptr) tree_->Rebuild();
    if (p.currentDir < 0 || p.currentDir >= p.dirCount()) p.currentDir = 0;
    model_->SetRows(BuildListRows(p, p.currentDir));
    state_.listRefreshEnabled = 1;
    emit Refreshed();
}

void CKorvalinView::SelectCurrentDirInTree() {
    if (tree_ != nullptr) tree_->SelectDir(project().currentDir);
}

void CKorvalinView::FinishChange(bool rebuildTree) {
    RefreshFileList(rebuildTree);
    SelectCurrentDirInTree();
}

void CKorvalinView::OnRowDoubleClicked(int row) {
    if (state_.dragRow == -2) return;  // the refresh after a drop is running
    const int32_t value = ItemValue(row);
    if (value < 0 || !IsDirId(value) || value >= project().dirCount()) return;
    project().currentDir = value;
    FinishChange(true);
}

std::unique_ptr<QMenu> CKorvalinView::ContextMenuFor(int row) {
    const int32_t value = ItemValue(row);
    state_.contextRow = value < 0 ? -1 : row;
    auto menu = std::make_unique<QMenu>(this);
    if (value > 0 && value < ENTRY_ID_END) {
        project().editedEntryId = value;
        QAction* editInfo = menu->addAction(CommandTextOf(ID_EDIT_INFO).menuText);
        editInfo->setData(ID_EDIT_INFO);
        connect(editInfo, &QAction::triggered, this, [this] { OnEditInfo(); });
        menu->addSeparator();
        QAction* remove = menu->addAction(CommandTextOf(ID_REMOVE).menuText);
        remove->setData(ID_REMOVE);
        connect(remove, &QAction::triggered, this, [this] { OnRemove(); });
        menu->addSeparator();
    }
    // Adding from disk works from anywhere in the list.
    if (CMainFrame* frame = app_.MainFrame()) {
        menu->addAction(frame->Action(ID_ADD_FILES));
        menu->addAction(frame->Action(ID_ADD_FOLDER));
    }
    return menu;
}

void CKorvalinView::contextMenuEvent(QContextMenuEvent* event) {
    QPoint at = event->globalPos();
    int row = -1;
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex index = indexAt(event->pos());
        row = index.isValid() ? index.row() : -1;
    } else {  // from the keyboard: the current row
        row = currentIndex().isValid() ? currentIndex().row() : -1;
        const QRect rect = visualRect(model_->index(row, 0));
        at = viewport()->mapToGlobal(row < 0 ? QPoint(0, 0) : rect.bottomLeft());
    }
    ContextMenuFor(row)->exec(at);
}

void CKorvalinView::keyPressEvent(QKeyEvent* event) {
    const int row = currentIndex().isValid() ? currentIndex().row() : -1;
    const int32_t value = ItemValue(row);
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!plain) break;
            OnRowDoubleClicked(row);
            return;
        case Qt::Key_Backspace:
            if (!plain) break;
            if (project().currentDir != 0) OnRowDoubleClicked(0);  // the ".." row
            return;
        case Qt::Key_Delete:
            if (!plain) break;
            OnRemove();
            return;
        case Qt::Key_F2:
            if (!plain) break;
            if (value > 0 && value < ENTRY_ID_END) {
                project().editedEntryId = value;
                OnEditInfo();
            }
            return;
        case Qt::Key_F10:
            if (event->modifiers() != Qt::ShiftModifier) break;
            {
                QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
                contextMenuEvent(&keyboard);
            }
            return;
        default:
            break;
    }
    QTreeView::keyPressEvent(event);
}

std::vector<int32_t> CKorvalinView::SelectedEntryIds() const {
    std::vector<int32_t> ids;
    for (int row = 1; row < model_->rowCount(); ++row) {
        if (!selectionModel()->isRowSelected(row, QModelIndex())) continue;
        const int32_t value = ItemValue(row);
        if (value != 0) ids.push_back(value);
    }
    return ids;
}

void CKorvalinView::ShowDragCursor(bool shown) {
    if (shown == dragCursorShown_) return;
    dragCursorShown_ = shown;
    if (shown) {
        QApplication::setOverrideCursor(DragCursor());
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void CKorvalinView::mousePressEvent(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    const int32_t value = index.isValid() ? ItemValue(index.row()) : -1;
    if (value >= FILE_ID_BASE && value < ENTRY_ID_END) {
        state_.dragRow = index.row();
        pressPosition_ = event->position().toPoint();
    }
}

void CKorvalinView::mouseMoveEvent(QMouseEvent* event) {
    if (state_.dragRow >= 0 && (event->buttons() & Qt::LeftButton)) {
        const QPoint moved = event->position().toPoint() - pressPosition_;
        if (moved.manhattanLength() >= QApplication::startDragDistance()) ShowDragCursor(true);
        return;  // a drag does not extend the selection
    }
    ShowDragCursor(false);
    QTreeView::mouseMoveEvent(event);
}

void CKorvalinView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || state_.dragRow < 0) return;
    const bool dragged = dragCursorShown_;
    ShowDragCursor(false);
    if (!dragged) {  // a plain click
        state_.dragRow = -1;
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    if (tree_ != nullptr) {
        const QPoint onTree = tree_->viewport()->mapFromGlobal(global);
        if (tree_->viewport()->rect().contains(onTree)) {
            tree_->OnDropDraggedFile(tree_->itemAt(onTree));
            return;
        }
    }
    const QModelIndex target = indexAt(viewport()->mapFromGlobal(global));
    if (!target.isValid() || target.row() == state_.dragRow) {
        state_.dragRow = -1;
        return;
    }
    OnDropOnRow(target.row());
}

void CKorvalinView::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CKorvalinView::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CKorvalinView::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = LocalFiles(event->mimeData());
    if (paths.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    OnDropFiles(paths);
}

}  // namespace korvalin
