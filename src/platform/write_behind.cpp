// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/write_behind.h"

#include <fcntl.h>

namespace korvalin {

namespace {

constexpr uint64_t STEP_BYTES = 8u << 20;

}  // namespace

WriteBehind::WriteBehind(int fd) : fd_(fd) { thread_ = std::thread([this] { Run(); }); }

WriteBehind::~WriteBehind() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void WriteBehind::Written(uint64_t end) {
    bool step = false;
    {
        std::lock_guard lock(mutex_);
        step = end >= end_ + STEP_BYTES;
        if (step) end_ = end;
    }
    if (step) changed_.notify_one();
}

void WriteBehind::Run() {
    uint64_t started = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop_ || end_ > started; });
        if (stop_) return;
        const uint64_t end = end_;
        lock.unlock();
        // Only starts the writeback: a failure here is the final flush's to report.
        ::sync_file_range(fd_, static_cast<off_t>(started), static_cast<off_t>(end - started),
                          SYNC_FILE_RANGE_WRITE);
        started = end;
        lock.lock();
    }
}

}  // namespace korvalin
