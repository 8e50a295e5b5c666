// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/recompute_layout.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "layout/da_files.h"
#include "layout/taken_sectors.h"

namespace korvalin {

namespace {

constexpr int64_t SECTOR = 2048;
constexpr int64_t DIR_SELF_AND_PARENT_RECORDS = 96;

// LBAs are 32-bit on disc; arithmetic is done wide and stored modulo 2^32.
int32_t Narrow(int64_t value) { return static_cast<int32_t>(value); }

int64_t EndOf(int64_t start, int32_t sectors) { return std::max(start, start + sectors - 1); }

// The total saturates: a pin near 2^31 cannot wrap it around (the
// pre-compile check refuses such a disc).
void RaiseTotal(LayoutState& state, int64_t end) {
    const int64_t total = std::min<int64_t>(end + 1, INT32_MAX);
    if (total > state.totalSectors) state.totalSectors = Narrow(total);
}

void Displace(EntryRecord& entry, LayoutState& state) {
    entry.flags = FLAG_DISPLACED;
    state.lbaDisplaced = 1;
}

// Directory extents are sized from their children's records: subdirectories
// first, then files, each in table order; a record never crosses a sector.
void SizeDirectoryExtents(Project& project) {
    const size_t dirCount = project.dirTable.size();
    std::vector<std::vector<uint32_t>> childRecords(dirCount);
    for (size_t s = 1; s < dirCount; ++s) {
        const uint32_t parentIndex = project.dirTable[s].parent - 1;
        if (parentIndex < dirCount && parentIndex != s) {
            childRecords[parentIndex].push_back(project.dirTable[s].recordLength);
        }
    }
    for (const FileEntry& file : project.fileTable) {
        const uint32_t parentIndex = file.parent - 1;
        if (parentIndex < dirCount) childRecords[parentIndex].push_back(file.recordLength);
    }
    for (size_t d = 0; d < dirCount; ++d) {
        int64_t size = SECTOR;
        int64_t running = DIR_SELF_AND_PARENT_RECORDS;
        for (uint32_t length : childRecords[d]) {
            running += length;
            if (running > SECTOR - 1) {
                running = length;
                size += SECTOR;
            }
        }
        // A dumped directory keeps its larger extent while its records fit.
        size = std::max<int64_t>(size, project.dirTable[d].discFacts.extentSize);
        project.dirTable[d].size = static_cast<uint32_t>(size);
    }
}

// Pinned directories keep their place unless they share a sector with an
// earlier one, or with the root's extent at the first data LBA.
void RegisterPinnedDirectories(Project& project, TakenSectors& taken, int32_t firstDataLba) {
    LayoutState& state = project.layoutState;
    if (!project.dirTable.empty() && !project.dirTable[0].IsPinned()) {
        taken.Take(firstDataLba, EndOf(firstDataLba, SectorsOf(project.dirTable[0].size)));
    }
    for (size_t d = 0; d < project.dirTable.size(); ++d) {
        DirEntry& dir = project.dirTable[d];
        if (!dir.IsPinned()) continue;
        const int64_t last = EndOf(dir.lba, SectorsOf(dir.size));
        if (taken.Meets(dir.lba, last)) {
            Displace(dir, state);
        } else {
            taken.Take(dir.lba, last);
            project.extentTable.push_back(
                {static_cast<int32_t>(d), dir.lba, Narrow(last), EXTENT_PINNED_DIR});
        }
    }
}

void PlaceDirectories(Project& project, TakenSectors& taken, int32_t firstDataLba) {
    LayoutState& state = project.layoutState;
    state.firstSubdirLba = firstDataLba;
    for (size_t d = 0; d < project.dirTable.size(); ++d) {
        DirEntry& dir = project.dirTable[d];
        const bool pinned = dir.IsPinned();
        int64_t start = pinned ? dir.lba : (d == 0 ? firstDataLba : state.firstSubdirLba);
        const int32_t sectors = SectorsOf(dir.size);
        RaiseTotal(state, EndOf(start, sectors));
        if (pinned) continue;
        if (d != 0) {  // the root's sectors were taken before the pins
            start = taken.FirstFreeFrom(start, sectors);
            taken.Take(start, EndOf(start, sectors));
        }
        const int64_t end = EndOf(start, sectors);
        dir.lba = Narrow(start);
        project.extentTable.push_back({static_cast<int32_t>(d), dir.lba, Narrow(end), EXTENT_PLACED_DIR});
        RaiseTotal(state, end);
        if (d == 0) state.firstSubdirLba = Narrow(end + 1);
    }
}

// An empty pinned file holds no sector: it is always kept and blocks nothing.
void RegisterPinnedFiles(Project& project, TakenSectors& taken) {
    LayoutState& state = project.layoutState;
    state.registeredFileCount = 0;
    for (size_t f = 0; f < project.fileTable.size(); ++f) {
        FileEntry& file = project.fileTable[f];
        if (file.IsDummy() || !file.IsPinned()) continue;
        const int32_t sectors = DataSectorsOf(file.size);
        const int64_t last = int64_t{file.lba} + sectors - 1;
        if (sectors > 0 && taken.Meets(file.lba, last)) {
            Displace(file, state);
            continue;
        }
        if (sectors > 0) taken.Take(file.lba, last);
        project.extentTable.push_back(
            {FileId(static_cast<int32_t>(f)), file.lba, Narrow(last), EXTENT_PINNED_FILE});
        ++state.registeredFileCount;
    }
}

// Files go in table order from the cursor to the first sectors free for
// them. An empty file goes on the first free sector, holds it not, and
// leaves the cursor there, so the next file shares its LBA when it fits.
int64_t PlaceFiles(Project& project, TakenSectors& taken, int64_t cursor) {
    LayoutState& state = project.layoutState;
    for (size_t f = 0; f < project.fileTable.size(); ++f) {
        FileEntry& file = project.fileTable[f];
        if (file.IsDummy()) continue;
        const bool pinned = file.IsPinned();
        if (pinned) cursor = file.lba;  // the next file moves past the pin by the search
        const int32_t sectors = DataSectorsOf(file.size);
        RaiseTotal(state, EndOf(cursor, sectors));
        if (pinned) continue;
        const int64_t start = taken.FirstFreeFrom(cursor, std::max(sectors, 1));
        const int64_t end = EndOf(start, sectors);
        if (sectors > 0) taken.Take(start, end);
        file.lba = Narrow(start);
        project.extentTable.push_back(
            {FileId(static_cast<int32_t>(f)), file.lba, Narrow(end), EXTENT_PLACED_FILE});
        RaiseTotal(state, end);
        ++state.registeredFileCount;
        cursor = start + sectors;
    }
    return cursor;
}

// A dummy without its own size reports the size of the first real file on
// its LBA. The image reaches to the end of the sectors a dummy reserves, so
// that its record points inside the image.
void SizeDummies(Project& project) {
    std::unordered_map<int32_t, uint32_t> firstRealSizeAt;
    for (const FileEntry& file : project.fileTable) {
        if (!file.IsDummy()) firstRealSizeAt.try_emplace(file.lba, file.size);
    }
    for (FileEntry& file : project.fileTable) {
        if (!file.IsDummy() || file.daTrack != 0) continue;  // DA files lie past the data track
        if ((file.flags & FLAG_SIZE_SET) == 0) {
            const auto found = firstRealSizeAt.find(file.lba);
            if (found != firstRealSizeAt.end()) file.size = found->second;
        }
        const int32_t sectors = DataSectorsOf(file.size);
        if (sectors > 0) RaiseTotal(project.layoutState, int64_t{file.lba} + sectors - 1);
    }
}

}  // namespace

int32_t SectorsOf(uint32_t size) {
    const int64_t signedSize = static_cast<int32_t>(size);
    return static_cast<int32_t>((signedSize + SECTOR - 1) / SECTOR);
}

int32_t DataSectorsOf(uint32_t size) { return std::max(SectorsOf(size), 0); }

bool ExtentHoldsData(const Project& project, const Extent& extent) {
    return IsDirId(extent.entryId) || DataSectorsOf(EntryById(project, extent.entryId).size) > 0;
}

void RecomputeLayout(Project& project) {
    FreeRangeTree taken;
    RecomputeLayout(project, taken);
}

void RecomputeLayout(Project& project, TakenSectors& taken) {
    LayoutState& state = project.layoutState;
    const int32_t displaced = state.lbaDisplaced;
    const int32_t registered = state.registeredFileCount;
    state = LayoutState{};
    state.lbaDisplaced = displaced;
    state.registeredFileCount = registered;
    ComputePathTableSize(project);
    AssignLbas(project, taken);
}

// A path table record never crosses a sector: one that would reach the
// sector's end (2048 bytes or more) starts the next sector.
void ComputePathTableSize(Project& project) {
    int64_t running = 0;
    int64_t size = 0;
    for (const DirEntry& dir : project.dirTable) {
        const int64_t length = 8 + int64_t{dir.nameLength} + (dir.nameLength % 2);
        running += length;
        if (running > SECTOR - 1) {
            size += SECTOR;
            running = length;
        }
    }
    size += running;
    project.layoutState.pathTableBytes = Narrow(size);
    project.layoutState.pathTableSectors = Narrow((size + SECTOR - 1) / SECTOR);
}

void AssignLbas(Project& project) {
    FreeRangeTree taken;
    AssignLbas(project, taken);
}

void AssignLbas(Project& project, TakenSectors& taken) {
    LayoutState& state = project.layoutState;
    SizeDirectoryExtents(project);
    const int32_t firstDataLba = Narrow(18 + 4 * int64_t{state.pathTableSectors});
    state.totalSectors = firstDataLba;
    state.lbaDisplaced = 0;
    project.extentTable.clear();

    RegisterPinnedDirectories(project, taken, firstDataLba);
    PlaceDirectories(project, taken, firstDataLba);
    // The first file sector: the first free sector from the end of the root on.
    const int64_t firstFile = taken.FirstFreeFrom(state.firstSubdirLba, 1);
    state.firstFileLba = Narrow(firstFile);
    RegisterPinnedFiles(project, taken);
    state.nextFreeLba = Narrow(PlaceFiles(project, taken, firstFile));
    SizeDummies(project);
    PlaceDaFiles(project);
}

}  // namespace korvalin
