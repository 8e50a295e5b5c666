// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "layout/error_log.h"

class QTreeWidget;

namespace korvalin {

// "Error Log": what a bulk operation refused or changed, one row per line,
// warnings and errors marked with their icons; "Exit" closes it.
class ErrorLogWindow : public QDialog {
    Q_OBJECT
public:
    explicit ErrorLogWindow(const ErrorLog& log, QWidget* parent = nullptr);
    QTreeWidget* List() const { return list_; }

private:
    QTreeWidget* list_;
};

}  // namespace korvalin
