// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/disc_path.h"

#include <vector>

namespace korvalin {

namespace {
bool IsDirNumber(const Project& project, uint32_t n) {
    return n >= 1 && n <= static_cast<uint32_t>(project.dirCount());
}
}  // namespace

int32_t DirDepth(const Project& project, uint32_t dirNumber) {
    int32_t depth = 1;
    uint32_t k = dirNumber;
    while (k != 1) {
        if (!IsDirNumber(project, k)) return 9;
        const uint32_t up = project.dirTable[k - 1].parent;
        if (up == 1) return depth;
        if (++depth > 8) return 9;
        k = up;
    }
    return depth;
}

std::string DiscPathOf(const Project& project, std::string_view name, uint32_t dirNumber) {
    std::vector<uint32_t> chain;  // from dirNumber upwards, root excluded
    uint32_t k = dirNumber;
    while (chain.size() < 8 && k != 1 && IsDirNumber(project, k)) {
        chain.push_back(k);
        const uint32_t up = project.dirTable[k - 1].parent;
        if (up == k) break;
        k = up;
    }
    std::string path = "\\";
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += project.dirTable[*it - 1].Name();
        path += '\\';
    }
    path += name.substr(0, name.find('\0')).substr(0, 13);
    return path;
}

std::string DiscPathOfEntry(const Project& project, int32_t entryId) {
    if (entryId == 0) return "\\";
    const EntryRecord& entry = EntryById(project, entryId);
    return DiscPathOf(project, entry.Name(), entry.parent);
}

}  // namespace korvalin
