#include "layout/recompute_layout.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace korvalin {

namespace {

constexpr int64_t SECTOR = 2048;
constexpr int64_t DIR_SELF_AND_PARENT_RECORDS = 96;

// LBAs are 32-bit on disc; arithmetic is done wide and stored back modulo 2^32.
int32_t Narrow(int64_t value) { return static_cast<int32_t>(value); }

bool Meets(int64_t a, int64_t b, const Extent& e) {
    return (a <= e.firstLba && e.firstLba <= b) || (a <= e.lastLba && e.lastLba <= b);
}

bool MeetsAny(const ExtentTable& table, int64_t a, int64_t b, int32_t selfId) {
    for (const Extent& e : table) {
        if (e.entryId != selfId && Meets(a, b, e)) return true;
    }
    return false;
}

int64_t EndOf(int64_t start, int32_t sectors) { return std::max(start, start + sectors - 1); }

// Where a candidate that meets `e` moves to. Ordinarily past the extent; the
// one-sector window of an empty placed file is the exception: a file that
// meets it stays on that sector, so an empty file shares the LBA of the file
// placed after it.
using NextStartRule = int64_t (*)(const Project&, const Extent&);

int64_t PastExtent(const Project&, const Extent& e) { return int64_t{e.lastLba} + 1; }

int64_t PastExtentOrOntoEmptyFile(const Project& project, const Extent& e) {
    if (e.firstLba == e.lastLba && e.kind == EXTENT_PLACED_FILE &&
        SectorsOf(EntryById(project, e.entryId).size) <= 0) {
        return e.lastLba;
    }
    return int64_t{e.lastLba} + 1;
}

// Moves the candidate [start, start + sectors - 1] until it meets no extent,
// rescanning from the first entry after every move. When a meeting leaves the
// start where it was, every further pass would meet the same extent again, so
// the scan ends there and the candidate keeps its start (this is where the
// repeat bound of the original scan ends it too, without the 4096 passes).
int64_t Scan(const Project& project, int64_t start, int32_t sectors, int32_t selfId,
             NextStartRule nextStart) {
    const ExtentTable& table = project.extentTable;
    for (size_t pos = 0; pos < table.size();) {
        const Extent& e = table[pos];
        if (e.entryId != selfId && Meets(start, EndOf(start, sectors), e)) {
            const int64_t moved = nextStart(project, e);
            if (moved == start) break;
            start = moved;
            pos = 0;
            continue;
        }
        ++pos;
    }
    return start;
}

void RaiseTotal(LayoutState& state, int64_t end) {
    if (end + 1 > state.totalSectors) state.totalSectors = Narrow(end + 1);
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
        project.dirTable[d].size = static_cast<uint32_t>(size);
    }
}

void RegisterPinnedDirectories(Project& project) {
    LayoutState& state = project.layoutState;
    for (size_t d = 0; d < project.dirTable.size(); ++d) {
        DirEntry& dir = project.dirTable[d];
        if (!dir.IsPinned()) continue;
        const int32_t id = static_cast<int32_t>(d);
        const int64_t last = int64_t{dir.lba} + SectorsOf(dir.size) - 1;
        if (MeetsAny(project.extentTable, dir.lba, last, id)) {
            Displace(dir, state);
        } else {
            project.extentTable.push_back({id, dir.lba, Narrow(last), EXTENT_PINNED_DIR});
        }
    }
}

void PlaceDirectories(Project& project, int32_t firstDataLba) {
    LayoutState& state = project.layoutState;
    state.firstSubdirLba = firstDataLba;
    for (size_t d = 0; d < project.dirTable.size(); ++d) {
        DirEntry& dir = project.dirTable[d];
        const int32_t id = static_cast<int32_t>(d);
        const bool pinned = dir.IsPinned();
        int64_t start = pinned ? dir.lba : (d == 0 ? firstDataLba : state.firstSubdirLba);
        const int32_t sectors = SectorsOf(dir.size);
        RaiseTotal(state, EndOf(start, sectors));
        if (pinned) continue;
        if (d != 0) start = Scan(project, start, sectors, id, PastExtent);
        const int64_t end = EndOf(start, sectors);
        dir.lba = Narrow(start);
        project.extentTable.push_back({id, dir.lba, Narrow(end), EXTENT_PLACED_DIR});
        RaiseTotal(state, end);
        if (d == 0) state.firstSubdirLba = Narrow(end + 1);
    }
}

void RegisterPinnedFiles(Project& project) {
    LayoutState& state = project.layoutState;
    state.registeredFileCount = 0;
    for (size_t f = 0; f < project.fileTable.size(); ++f) {
        FileEntry& file = project.fileTable[f];
        if (file.IsDummy() || !file.IsPinned()) continue;
        const int32_t id = FileId(static_cast<int32_t>(f));
        const int64_t last = int64_t{file.lba} + SectorsOf(file.size) - 1;
        if (MeetsAny(project.extentTable, file.lba, last, id)) {
            Displace(file, state);
        } else {
            project.extentTable.push_back({id, file.lba, Narrow(last), EXTENT_PINNED_FILE});
            ++state.registeredFileCount;
        }
    }
}

int64_t PlaceFiles(Project& project, int64_t cursor) {
    LayoutState& state = project.layoutState;
    for (size_t f = 0; f < project.fileTable.size(); ++f) {
        FileEntry& file = project.fileTable[f];
        if (file.IsDummy()) continue;
        const int32_t id = FileId(static_cast<int32_t>(f));
        const bool pinned = file.IsPinned();
        if (pinned) cursor = file.lba;  // the next file moves past the pin by the scan
        const int32_t sectors = SectorsOf(file.size);
        RaiseTotal(state, EndOf(cursor, sectors));
        if (pinned) continue;
        const int64_t start = Scan(project, cursor, sectors, id, PastExtentOrOntoEmptyFile);
        const int64_t end = EndOf(start, sectors);
        file.lba = Narrow(start);
        project.extentTable.push_back({id, file.lba, Narrow(end), EXTENT_PLACED_FILE});
        RaiseTotal(state, end);
        ++state.registeredFileCount;
        cursor = start + sectors;
    }
    return cursor;
}

// A dummy without its own size reports the size of the first real file on its LBA.
void SizeDummies(Project& project) {
    std::unordered_map<int32_t, uint32_t> firstRealSizeAt;
    for (const FileEntry& file : project.fileTable) {
        if (!file.IsDummy()) firstRealSizeAt.try_emplace(file.lba, file.size);
    }
    for (FileEntry& file : project.fileTable) {
        if (!file.IsDummy() || (file.flags & FLAG_SIZE_SET) != 0) continue;
        const auto found = firstRealSizeAt.find(file.lba);
        if (found != firstRealSizeAt.end()) file.size = found->second;
    }
}

}  // namespace

int32_t SectorsOf(uint32_t size) {
    const int64_t signedSize = static_cast<int32_t>(size);
    return static_cast<int32_t>((signedSize + SECTOR - 1) / SECTOR);
}

void RecomputeLayout(Project& project) {
    LayoutState& state = project.layoutState;
    const int32_t displaced = state.lbaDisplaced;
    const int32_t registered = state.registeredFileCount;
    state = LayoutState{};
    state.lbaDisplaced = displaced;
    state.registeredFileCount = registered;
    ComputePathTableSize(project);
    AssignLbas(project);
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
    LayoutState& state = project.layoutState;
    SizeDirectoryExtents(project);
    const int32_t firstDataLba = Narrow(18 + 4 * int64_t{state.pathTableSectors});
    state.totalSectors = firstDataLba;
    state.lbaDisplaced = 0;
    project.extentTable.clear();

    RegisterPinnedDirectories(project);
    PlaceDirectories(project, firstDataLba);
    // The first file sector: the first free sector from the end of the root on.
    const int64_t firstFile = Scan(project, state.firstSubdirLba, 1, -2, PastExtent);
    state.firstFileLba = Narrow(firstFile);
    RegisterPinnedFiles(project);
    state.nextFreeLba = Narrow(PlaceFiles(project, firstFile));
    SizeDummies(project);
}

}  // namespace korvalin
