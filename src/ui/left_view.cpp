// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/left_view.h"

#include <QHeaderView>
#include <QSignalBlocker>

#include "model/list_rows.h"
#include "model/move_file.h"
#include "ui/icon_strip.h"
#include "ui/korvalin_app.h"
#include "ui/korvalin_view.h"
#include "ui/text_codec.h"
#include "ui/view_state.h"

namespace korvalin {

CLeftView::CLeftView(CKorvalinApp& app, ViewState& state, QWidget* parent)
    : QTreeWidget(parent), app_(app), state_(state) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(STRIP_IMAGE_SIZE, STRIP_IMAGE_SIZE));
    setAcceptDrops(false);  // files from the file manager are only taken by the list
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { OnCurrentItemChanged(current); });
}

QTreeWidgetItem* CLeftView::AddRootItem(const QString& text) {
    auto* root = new QTreeWidgetItem(this, {text});
    root->setData(0, Qt::UserRole, 0);
    root->setIcon(0, StripIcon(ICON_DISC));
    QFont bold = root->font(0);
    bold.setBold(true);
    root->setFont(0, bold);
    root->setExpanded(true);
    return root;
}

void CLeftView::OnInitialUpdate() {
    const QSignalBlocker quiet(this);
    clear();
    dirTreeItems_.clear();
    AddRootItem("Root");
}

void CLeftView::Rebuild() {
    // Rebuilding is no selection by the user.
    const QSignalBlocker quiet(this);
    const Project& project = app_.Document().project();
    clear();
    dirTreeItems_.assign(static_cast<size_t>(project.dirCount()), nullptr);
    dirTreeItems_[0] = AddRootItem(DiscText(project.volumeInfo.Label()));
    const QIcon folder = FolderIcon();
    for (int32_t d = 1; d < project.dirCount(); ++d) {
        const DirEntry& dir = project.dirTable[static_cast<size_t>(d)];
        QTreeWidgetItem* parent = DirTreeItem(static_cast<int32_t>(dir.parent) - 1);
        auto* item = new QTreeWidgetItem({DiscText(dir.Name())});
        item->setData(0, Qt::UserRole, d);
        item->setIcon(0, folder);
        if (parent != nullptr) {
            parent->addChild(item);
        } else {
            addTopLevelItem(item);
        }
        dirTreeItems_[static_cast<size_t>(d)] = item;
    }
}

QTreeWidgetItem* CLeftView::DirTreeItem(int32_t dirIndex) const {
    if (dirIndex < 0 || static_cast<size_t>(dirIndex) >= dirTreeItems_.size()) return nullptr;
    return dirTreeItems_[static_cast<size_t>(dirIndex)];
}

int32_t CLeftView::ItemValue(const QTreeWidgetItem* item) {
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

void CLeftView::SelectDir(int32_t dirIndex) {
    QTreeWidgetItem* item = DirTreeItem(dirIndex);
    if (item == nullptr) return;
    for (QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent()) {
        up->setExpanded(true);
    }
    setCurrentItem(item);
    scrollToItem(item);
}

void CLeftView::OnCurrentItemChanged(QTreeWidgetItem* current) {
    if (state_.treeSelectionSync != 1 || current == nullptr || list_ == nullptr) return;
    Project& project = app_.Document().project();
    const int32_t value = ItemValue(current);
    if (!IsDirId(value) || value == project.currentDir || value >= project.dirCount()) return;
    project.currentDir = value;
    state_.treeSelectionSync = 0;
    list_->RefreshFileList(false);
    state_.treeSelectionSync = 1;
}

void CLeftView::OnDropDraggedFile(QTreeWidgetItem* target) {
    if (target == nullptr || state_.dragRow < 0 || list_ == nullptr) {
        state_.dragRow = -1;
        return;
    }
    const int32_t dragged = list_->ItemValue(state_.dragRow);
    list_->FinishDrop(DropOnTreeFolder(app_.Document().project(), dragged, ItemValue(target)));
}

}  // namespace korvalin
