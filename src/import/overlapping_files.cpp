// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/overlapping_files.h"

#include <algorithm>
#include <numeric>
#include <set>

#include "layout/recompute_layout.h"

namespace korvalin {

namespace {

struct Range {
    int64_t first = 0;
    int64_t last = 0;
};

// Pairs of held files whose sector ranges meet, found by one sweep in LBA order.
std::vector<std::set<int32_t>> Overlaps(const FileTable& files) {
    std::vector<Range> ranges(files.size());
    std::vector<int32_t> held;
    for (size_t i = 0; i < files.size(); ++i) {
        const FileEntry& f = files[i];
        if (f.IsDummy() || !f.IsPinned() || f.size == 0) continue;
        ranges[i] = {f.lba, int64_t{f.lba} + SectorsOf(f.size) - 1};
        held.push_back(static_cast<int32_t>(i));
    }
    std::sort(held.begin(), held.end(), [&](int32_t a, int32_t b) { return ranges[a].first < ranges[b].first; });
    std::vector<std::set<int32_t>> meets(files.size());
    for (size_t a = 0; a < held.size(); ++a) {
        for (size_t b = a + 1; b < held.size() && ranges[held[b]].first <= ranges[held[a]].last; ++b) {
            meets[held[a]].insert(held[b]);
            meets[held[b]].insert(held[a]);
        }
    }
    return meets;
}

}  // namespace

std::vector<int32_t> FilesToKeepAsDummies(const FileTable& files) {
    std::vector<std::set<int32_t>> meets = Overlaps(files);
    std::vector<int32_t> chosen;
    for (;;) {
        int32_t worst = -1;
        for (size_t i = 0; i < meets.size(); ++i) {
            if (meets[i].empty()) continue;
            const auto w = static_cast<size_t>(worst);
            if (worst < 0 || meets[i].size() > meets[w].size() ||
                (meets[i].size() == meets[w].size() && files[i].size <= files[w].size)) {
                worst = static_cast<int32_t>(i);
            }
        }
        if (worst < 0) return chosen;
        for (int32_t other : meets[static_cast<size_t>(worst)]) meets[static_cast<size_t>(other)].erase(worst);
        meets[static_cast<size_t>(worst)].clear();
        chosen.push_back(worst);
    }
}

}  // namespace korvalin
