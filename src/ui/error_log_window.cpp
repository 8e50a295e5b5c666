// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/error_log_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/list_rows.h"
#include "ui/dialog_sizing.h"
#include "ui/icon_strip.h"
#include "ui/text_codec.h"

namespace korvalin {

namespace {

constexpr int LOG_COLUMN_WIDTH = 8192;  // long lines are never cut

}  // namespace

ErrorLogWindow::ErrorLogWindow(const ErrorLog& log, QWidget* parent)
    : QDialog(parent), list_(new QTreeWidget) {
    setWindowTitle("Error Log");
    list_->setColumnCount(1);
    list_->setHeaderLabels({"Ready"});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setIconSize(QSize(STRIP_IMAGE_SIZE, STRIP_IMAGE_SIZE));
    list_->header()->setStretchLastSection(false);
    list_->header()->resizeSection(0, LOG_COLUMN_WIDTH);
    for (const ErrorLogRow& row : ErrorLogRows(log)) {
        auto* item = new QTreeWidgetItem(list_, {MessageText(row.text)});
        if (row.icon == ErrorLogIcon::Warning) item->setIcon(0, StripIcon(ICON_WARNING));
        if (row.icon == ErrorLogIcon::Error) item->setIcon(0, StripIcon(ICON_ERROR));
    }
    auto* exit = new QPushButton("Exit");
    exit->setDefault(true);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    ReserveTitleWidth(*this, *layout);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(640, 360);
}

}  // namespace korvalin
