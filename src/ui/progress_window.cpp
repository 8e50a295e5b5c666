// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/progress_window.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QVBoxLayout>

#include "ui/dialog_sizing.h"

namespace korvalin {

namespace {

constexpr qint64 REPAINT_INTERVAL_MS = 50;

}  // namespace

ProgressWindow::ProgressWindow(QWidget* owner, const QString& title)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      bar_(new QProgressBar) {
    setWindowTitle(title);
    setModal(false);
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    ReserveTitleWidth(*this, *layout);
    layout->addWidget(bar_);
    resize(360, sizeHint().height());
    sinceRepaint_.start();
}

void ProgressWindow::SetRange(int32_t low, int32_t high) { bar_->setRange(low, high); }

void ProgressWindow::SetPosition(int32_t position) {
    bar_->setValue(position);
    if (sinceRepaint_.elapsed() >= REPAINT_INTERVAL_MS) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sinceRepaint_.restart();
    }
}

int32_t ProgressWindow::Position() const { return bar_->value(); }

std::function<void(int32_t)> ProgressWindow::Callback() {
    return [this](int32_t position) { SetPosition(position); };
}

}  // namespace korvalin
