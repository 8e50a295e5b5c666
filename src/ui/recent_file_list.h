// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recent-files list of the File menu, kept in the per-user settings
// under "Recent File List" as File1 to File4, the most recent first.

#include <QSettings>
#include <QStringList>

namespace korvalin {

class RecentFileList {
public:
    RecentFileList(QSettings& settings, int size);
    void Load();
    // Puts `path` first (as an absolute path), dropping an older entry for it.
    void Add(const QString& path);
    void Remove(int index);
    const QStringList& Paths() const { return paths_; }

private:
    void Save();

    QSettings& settings_;
    int size_;
    QStringList paths_;
};

}  // namespace korvalin
