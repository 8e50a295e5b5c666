// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Starts the disk on the bytes of a file being written while later ones are
// still being made: a thread of its own hands every few megabytes written
// to the kernel's writeback, so the disk works during a compile instead of
// after it and dirty pages do not pile up, and the writer never waits for
// the disk on its account.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace korvalin {

class WriteBehind {
public:
    explicit WriteBehind(int fd);
    // Stops the thread; what it handed over goes on in the kernel.
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // The file's first `end` bytes are written.
    void Written(uint64_t end);

private:
    void Run();

    const int fd_;
    uint64_t end_ = 0;
    bool stop_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
};

}  // namespace korvalin
