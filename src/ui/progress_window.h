// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <cstdint>
#include <functional>

class QProgressBar;

namespace korvalin {

inline constexpr char BUILDING_TITLE[] = "Building CD Image";

// "Building CD Image" (or another title): one progress bar, shown without
// being modal while an add from disk, an import, a compile or a verification
// runs on the interface thread. It cannot be cancelled.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* owner, const QString& title = BUILDING_TITLE);
    void SetRange(int32_t low, int32_t high);
    // Moves the bar; the window repaints at most every 50 ms, and user input
    // waits until the operation ends.
    void SetPosition(int32_t position);
    int32_t Position() const;
    // SetPosition as the core's progress callback.
    std::function<void(int32_t)> Callback();

private:
    QProgressBar* bar_;
    QElapsedTimer sinceRepaint_;
};

}  // namespace korvalin
