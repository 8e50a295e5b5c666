#include "image/next_extent.h"

namespace korvalin {

namespace {
bool HoldsNoData(const Project& project, const Extent& extent) {
    return !IsDirId(extent.entryId) &&
           static_cast<int32_t>(EntryById(project, extent.entryId).size) <= 0;
}
}  // namespace

int32_t NextExtentPosition(const Project& project, int32_t writeLba) {
    int32_t chosen = -1;
    const ExtentTable& table = project.extentTable;
    for (size_t pos = 0; pos < table.size(); ++pos) {
        const Extent& e = table[pos];
        if (e.firstLba < writeLba || HoldsNoData(project, e)) continue;
        if (chosen < 0 || e.firstLba <= table[static_cast<size_t>(chosen)].firstLba) {
            chosen = static_cast<int32_t>(pos);
        }
    }
    return chosen;
}

}  // namespace korvalin
