// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/taken_sectors.h"

#include <algorithm>

namespace korvalin {

namespace {
// Far beyond any LBA and any sum of LBAs and sector counts.
constexpr int64_t FIRST_SECTOR = INT64_MIN / 4;
constexpr int64_t LAST_SECTOR = INT64_MAX / 4;
}  // namespace

FreeRangeTree::FreeRangeTree() { root_ = NewNode(FIRST_SECTOR, LAST_SECTOR); }

int32_t FreeRangeTree::NewNode(int64_t first, int64_t last) {
    random_ ^= random_ << 13;  // xorshift: the same tree on every run
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    nodes_.push_back({first, last, last - first + 1, random_});
    return static_cast<int32_t>(nodes_.size() - 1);
}

void FreeRangeTree::Update(int32_t t) {
    Node& n = At(t);
    n.longest = std::max({n.last - n.first + 1, Longest(n.left), Longest(n.right)});
}

int32_t FreeRangeTree::Merge(int32_t low, int32_t high) {
    if (low < 0) return high;
    if (high < 0) return low;
    Node& l = At(low);
    Node& h = At(high);
    if (l.priority > h.priority) {
        l.right = Merge(l.right, high);
        Update(low);
        return low;
    }
    h.left = Merge(low, h.left);
    Update(high);
    return high;
}

void FreeRangeTree::Split(int32_t t, int64_t key, int32_t& low, int32_t& high) {
    if (t < 0) {
        low = high = -1;
        return;
    }
    Node& n = At(t);
    if (n.first < key) {
        Split(n.right, key, n.right, high);
        low = t;
    } else {
        Split(n.left, key, low, n.left);
        high = t;
    }
    Update(t);
}

int32_t FreeRangeTree::FloorNode(int64_t lba) const {
    int32_t found = -1;
    for (int32_t t = root_; t >= 0;) {
        const Node& n = At(t);
        if (n.first <= lba) {
            found = t;
            t = n.right;
        } else {
            t = n.left;
        }
    }
    return found;
}

// The free range of at least `sectors` that starts first after `after`.
int32_t FreeRangeTree::LeftmostFit(int32_t t, int64_t after, int64_t sectors) const {
    if (t < 0 || Longest(t) < sectors) return -1;
    const Node& n = At(t);
    if (n.first <= after) return LeftmostFit(n.right, after, sectors);
    const int32_t left = LeftmostFit(n.left, after, sectors);
    if (left >= 0) return left;
    if (n.last - n.first + 1 >= sectors) return t;
    return LeftmostFit(n.right, after, sectors);
}

bool FreeRangeTree::Meets(int64_t first, int64_t last) const {
    const int32_t t = FloorNode(first);
    return t < 0 || At(t).last < last;
}

int64_t FreeRangeTree::FirstFreeFrom(int64_t start, int64_t sectors) const {
    if (!Meets(start, start + sectors - 1)) return start;
    return At(LeftmostFit(root_, start, sectors)).first;
}

void FreeRangeTree::Take(int64_t first, int64_t last) {
    int32_t low = -1;
    int32_t high = -1;
    int32_t range = -1;
    Split(root_, first + 1, low, high);  // the free range holding `first` ends `low`
    int32_t floor = low;
    while (floor >= 0 && At(floor).right >= 0) {
        floor = At(floor).right;
    }
    if (floor < 0 || At(floor).last < last) {
        root_ = Merge(low, high);  // not free: nothing to take
        return;
    }
    Split(low, At(floor).first, low, range);
    const Node taken = At(range);
    int32_t before = -1;
    int32_t after = -1;
    if (taken.first < first) before = NewNode(taken.first, first - 1);
    if (last < taken.last) after = NewNode(last + 1, taken.last);
    root_ = Merge(Merge(low, before), Merge(after, high));
}

}  // namespace korvalin
