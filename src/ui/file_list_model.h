// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of the file list as a Qt table model.

#include <QAbstractTableModel>
#include <iterator>
#include <vector>

#include "model/list_rows.h"

namespace korvalin {

inline constexpr int LIST_COLUMN_COUNT = static_cast<int>(std::size(LIST_COLUMNS));
Qt::Alignment ColumnAlignment(int column);

class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(std::vector<ListRow> rows);
    void Clear() { SetRows({}); }
    const std::vector<ListRow>& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<ListRow> rows_;
};

}  // namespace korvalin
