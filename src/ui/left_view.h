// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The left pane: the directory tree, the volume label as its root. It is
// rebuilt from the DirTable by the file list's refresh; selecting a folder
// makes it the current directory.

#include <QTreeWidget>
#include <cstdint>
#include <vector>

namespace korvalin {

class CKorvalinApp;
class CKorvalinView;
struct ViewState;

class CLeftView : public QTreeWidget {
    Q_OBJECT
public:
    CLeftView(CKorvalinApp& app, ViewState& state, QWidget* parent = nullptr);
    void SetListView(CKorvalinView* list) { list_ = list; }

    // Before the first refresh: a placeholder root item "Root".
    void OnInitialUpdate();
    // The root item (volume label, bold, expanded), then every directory in
    // table order as the last child of its parent's item; a directory whose
    // parent has no item yet goes to the top level.
    void Rebuild();
    // Selects the item of directory `dirIndex` when it has one.
    void SelectDir(int32_t dirIndex);
    // The item of directory `dirIndex`, or nullptr.
    QTreeWidgetItem* DirTreeItem(int32_t dirIndex) const;
    static int32_t ItemValue(const QTreeWidgetItem* item);

    // The end of a drag of a file row of the list over `target`.
    void OnDropDraggedFile(QTreeWidgetItem* target);

private:
    void OnCurrentItemChanged(QTreeWidgetItem* current);
    QTreeWidgetItem* AddRootItem(const QString& text);

    CKorvalinApp& app_;
    ViewState& state_;
    CKorvalinView* list_ = nullptr;
    std::vector<QTreeWidgetItem*> dirTreeItems_;
};

}  // namespace korvalin
