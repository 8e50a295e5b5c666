// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/recent_file_list.h"

#include <QFileInfo>

namespace korvalin {

namespace {

constexpr char SECTION[] = "Recent File List";

QString EntryKey(int index) { return QString("%1/File%2").arg(SECTION).arg(index + 1); }

}  // namespace

RecentFileList::RecentFileList(QSettings& settings, int size) : settings_(settings), size_(size) {}

void RecentFileList::Load() {
    paths_.clear();
    for (int i = 0; i < size_; ++i) {
        const QString path = settings_.value(EntryKey(i)).toString();
        if (!path.isEmpty()) paths_ << path;
    }
}

void RecentFileList::Add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    paths_.removeAll(absolute);
    paths_.prepend(absolute);
    while (paths_.size() > size_) paths_.removeLast();
    Save();
}

void RecentFileList::Remove(int index) {
    if (index < 0 || index >= paths_.size()) return;
    paths_.removeAt(index);
    Save();
}

void RecentFileList::Save() {
    for (int i = 0; i < size_; ++i) {
        if (i < paths_.size()) {
            settings_.setValue(EntryKey(i), paths_[i]);
        } else {
            settings_.remove(EntryKey(i));
        }
    }
    settings_.sync();
}

}  // namespace korvalin
