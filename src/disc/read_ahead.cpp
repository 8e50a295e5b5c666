// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/read_ahead.h"

#include <algorithm>

namespace korvalin {

ReadAhead::ReadAhead(ImageSource& source, uint64_t offset, uint64_t totalBytes, size_t blockBytes)
    : source_(source), offset_(offset), totalBytes_(totalBytes), blockBytes_(std::max<size_t>(blockBytes, 1)) {
    for (Block& block : blocks_) block.bytes.resize(static_cast<size_t>(std::min<uint64_t>(blockBytes_, totalBytes)));
    reader_ = std::thread([this] { ReadAll(); });
}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    reader_.join();
}

void ReadAhead::ReadAll() {
    for (uint64_t index = 0, at = 0; at < totalBytes_; ++index, at += blockBytes_) {
        Block& block = blocks_[index % 2];
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || !block.full; });
            if (stop_) return;
        }
        // The caller never touches a block that is not full.
        block.size = static_cast<size_t>(std::min<uint64_t>(blockBytes_, totalBytes_ - at));
        block.ok = source_.Read(offset_ + at, block.bytes.data(), block.size);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            block.full = true;
        }
        changed_.notify_all();
        if (!block.ok) return;
    }
}

const uint8_t* ReadAhead::Next(size_t& bytes) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (holding_) {
        blocks_[(handedOut_ - 1) % 2].full = false;
        holding_ = false;
        changed_.notify_all();
    }
    if (failed_ || handedOut_ * blockBytes_ >= totalBytes_) return nullptr;
    Block& block = blocks_[handedOut_ % 2];
    changed_.wait(lock, [&] { return block.full; });
    if (!block.ok) {
        failed_ = true;
        return nullptr;
    }
    ++handedOut_;
    holding_ = true;
    bytes = block.size;
    return block.bytes.data();
}

}  // namespace korvalin
