// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a run of an image source block by block on a thread of its own, one
// block ahead of the caller, so that reading the image and checking what was
// read overlap on two processors. The source is the reader's alone until
// the ReadAhead is gone.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "disc/image_source.h"

namespace korvalin {

class ReadAhead {
public:
    // The `totalBytes` bytes from `offset` on, in blocks of `blockBytes` (the last may be shorter).
    ReadAhead(ImageSource& source, uint64_t offset, uint64_t totalBytes, size_t blockBytes);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next block, valid until the next call; nullptr after the last
    // block or at a block that could not be read whole (then Failed()).
    const uint8_t* Next(size_t& bytes);
    bool Failed() const { return failed_; }

private:
    struct Block {
        std::vector<uint8_t> bytes;
        size_t size = 0;
        bool full = false;
        bool ok = true;
    };

    void ReadAll();

    ImageSource& source_;
    const uint64_t offset_;
    const uint64_t totalBytes_;
    const size_t blockBytes_;
    Block blocks_[2];
    uint64_t handedOut_ = 0;  // blocks given to the caller
    bool holding_ = false;    // the caller holds the block before handedOut_
    bool failed_ = false;
    bool stop_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread reader_;
};

}  // namespace korvalin
