// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a verification found: problems tied to a sector (or to the whole
// image), listed up to a limit and counted beyond it, and notes that are
// worth saying but are not faults.

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

constexpr int64_t WHOLE_IMAGE = -1;  // the LBA of a problem of the file as a whole

struct VerifyProblem {
    int64_t lba = WHOLE_IMAGE;
    std::string text;
};

// One kind of problem (sector level, file system) with its own limit, so a
// file of garbage cannot flood the list with one kind and hide the other.
class ProblemList {
public:
    explicit ProblemList(int64_t listLimit) : listLimit_(listLimit) {}

    void Add(int64_t lba, std::string text) {
        ++count_;
        if (static_cast<int64_t>(listed_.size()) < listLimit_) listed_.push_back({lba, std::move(text)});
    }
    int64_t Count() const { return count_; }
    int64_t Unlisted() const { return count_ - static_cast<int64_t>(listed_.size()); }
    const std::vector<VerifyProblem>& Listed() const { return listed_; }

private:
    int64_t listLimit_;
    int64_t count_ = 0;
    std::vector<VerifyProblem> listed_;
};

}  // namespace korvalin
