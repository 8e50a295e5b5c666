// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/file_list_model.h"

#include "ui/icon_strip.h"
#include "ui/text_codec.h"

namespace korvalin {

Qt::Alignment ColumnAlignment(int column) {
    return LIST_COLUMNS[column].rightAligned ? Qt::AlignRight : Qt::AlignLeft;
}

void FileListModel::SetRows(std::vector<ListRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : LIST_COLUMN_COUNT;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const ListRow& row = rows_[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case 0: return DiscText(row.name);
                case 1: return QString::fromLatin1(row.lbaText);
                case 2: return QString::fromLatin1(row.sizeText);
                case 3: return QString::fromLatin1(row.dateText);
                case 4: return PathText(row.pathText);
            }
            return {};
        case Qt::DecorationRole:
            return index.column() == 0 ? QVariant(StripIcon(row.icon)) : QVariant();
        case Qt::TextAlignmentRole:
            return static_cast<int>(ColumnAlignment(index.column()) | Qt::AlignVCenter);
        case Qt::UserRole:
            return row.itemValue;
    }
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= LIST_COLUMN_COUNT) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(LIST_COLUMNS[section].heading);
    if (role == Qt::TextAlignmentRole) {
        return static_cast<int>(ColumnAlignment(section) | Qt::AlignVCenter);
    }
    return {};
}

}  // namespace korvalin
