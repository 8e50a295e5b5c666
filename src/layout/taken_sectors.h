// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sectors that hold data during one layout run: directories and files
// that are not empty. Their ranges never share a sector.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvalin {

class TakenSectors {
public:
    virtual ~TakenSectors() = default;
    // Whether [first, last] shares a sector with a taken range.
    virtual bool Meets(int64_t first, int64_t last) const = 0;
    // The lowest start from `start` on at which `sectors` (1 or more)
    // sectors in a row are all free.
    virtual int64_t FirstFreeFrom(int64_t start, int64_t sectors) const = 0;
    // Takes [first, last], which must be free.
    virtual void Take(int64_t first, int64_t last) = 0;
};

// The free ranges in a search tree (a treap) that knows the longest free
// range below each node, so that every question costs O(log n), however
// the pins cut the disc up.
class FreeRangeTree final : public TakenSectors {
public:
    FreeRangeTree();  // every sector free
    bool Meets(int64_t first, int64_t last) const override;
    int64_t FirstFreeFrom(int64_t start, int64_t sectors) const override;
    void Take(int64_t first, int64_t last) override;

private:
    struct Node {
        int64_t first;
        int64_t last;
        int64_t longest;  // the longest free range in this subtree
        uint32_t priority;
        int32_t left = -1;
        int32_t right = -1;
    };
    int32_t NewNode(int64_t first, int64_t last);
    void Update(int32_t t);
    int32_t Merge(int32_t low, int32_t high);
    // low: nodes whose first < key; high: the others.
    void Split(int32_t t, int64_t key, int32_t& low, int32_t& high);
    int32_t FloorNode(int64_t lba) const;  // the last free range starting at or before lba
    int32_t LeftmostFit(int32_t t, int64_t after, int64_t sectors) const;
    Node& At(int32_t t) { return nodes_[static_cast<std::size_t>(t)]; }
    const Node& At(int32_t t) const { return nodes_[static_cast<std::size_t>(t)]; }
    int64_t Longest(int32_t t) const { return t < 0 ? 0 : At(t).longest; }

    std::vector<Node> nodes_;
    int32_t root_ = -1;
    uint32_t random_ = 2463534242u;
};

}  // namespace korvalin
