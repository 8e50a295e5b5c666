// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/dump_file_order.h"

#include <map>

#include "layout/recompute_layout.h"

namespace korvalin {

namespace {

bool Registered(const FileEntry& f) { return !f.IsDummy() && (f.flags & FLAG_LBA_SET) != 0; }

// Whether the pinned empty file `empty`, registered first, would make the
// layout displace `file`: an empty file's range ends one sector before it
// starts, and that sector lies in `file`.
bool EmptyFileDisplaces(const FileEntry& empty, const FileEntry& file) {
    if (!Registered(empty) || !Registered(file) || empty.size != 0 || file.size == 0) return false;
    const int64_t touched = int64_t{empty.lba} - 1;
    return file.lba <= touched && touched < int64_t{file.lba} + SectorsOf(file.size);
}

}  // namespace

std::vector<int32_t> OrderEmptyFilesAfterWhatTheyTouch(FileTable& files) {
    const size_t n = files.size();
    std::vector<int32_t> newIndex(n);
    for (size_t i = 0; i < n; ++i) newIndex[i] = static_cast<int32_t>(i);
    std::vector<std::vector<size_t>> after(n);  // edges: i must come before each of after[i]
    std::vector<int> waiting(n, 0);
    std::map<uint32_t, size_t> lastInDir;
    bool moves = false;
    for (size_t i = 0; i < n; ++i) {
        if (auto it = lastInDir.find(files[i].parent); it != lastInDir.end()) {
            after[it->second].push_back(i);
            ++waiting[i];
        }
        lastInDir[files[i].parent] = i;
    }
    for (size_t e = 0; e < n; ++e) {
        for (size_t f = e + 1; f < n; ++f) {
            if (!EmptyFileDisplaces(files[e], files[f])) continue;
            after[f].push_back(e);
            ++waiting[e];
            moves = true;
        }
    }
    if (!moves) return newIndex;
    std::vector<size_t> order;
    std::vector<bool> placed(n, false);
    while (order.size() < n) {
        size_t next = n;
        for (size_t i = 0; i < n && next == n; ++i) {
            if (!placed[i] && waiting[i] == 0) next = i;
        }
        if (next == n) {  // a directory's own order keeps an empty file before what it touches
            for (size_t i = 0; i < n && next == n; ++i) {
                if (!placed[i] && files[i].size == 0 && Registered(files[i])) next = i;
            }
            files[next].flags = FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET;
            files[next].sourcePath.reset();
        }
        placed[next] = true;
        order.push_back(next);
        for (size_t j : after[next]) --waiting[j];
    }
    FileTable reordered;
    for (size_t k = 0; k < n; ++k) {
        newIndex[order[k]] = static_cast<int32_t>(k);
        reordered.push_back(std::move(files[order[k]]));
    }
    files = std::move(reordered);
    return newIndex;
}


}  // namespace korvalin
