// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/directory_tree_check.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <map>
#include <string>
#include <utility>

#include "disc/directory_record.h"
#include "disc/disc_field_reader.h"
#include "image/sector_header.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr uint32_t MIN_RECORD_BYTES = MIN_DIRECTORY_RECORD_BYTES;
constexpr uint8_t FLAG_DIRECTORY = RECORD_FLAG_DIRECTORY;

struct PendingDirectory {
    uint32_t extent = 0;
    uint32_t bytes = 0;
    uint32_t parentExtent = 0;
    int32_t number = 0;  // path table directory number, 0 when the table does not list it
    std::string path;    // "\" for the root, "\DATA\" below it
};

// One record as found in a directory sector.
struct RecordView {
    const uint8_t* bytes = nullptr;
    uint32_t length = 0;
    uint32_t offset = 0;  // within its sector
    int64_t lba = 0;
    int32_t index = 0;  // 0 for ".", 1 for "..", counted through the directory
};

struct TreeWalk {
    ImageReader& reader;
    const VolumeFacts& volume;
    bool fileSystemOnly;
    ProblemList& problems;
    int64_t discSectors;
    std::map<std::pair<uint32_t, std::string>, size_t> pathIndex;  // (parent, name) -> record
    std::vector<bool> pathMatched;
    std::map<uint32_t, uint32_t> readExtents;  // first sector -> one past the last, of every directory read
    std::deque<PendingDirectory> pending;
    DirectoryTreeCounts counts;
};

int64_t SectorsOf(uint64_t bytes) { return static_cast<int64_t>((bytes + USER_DATA_BYTES - 1) / USER_DATA_BYTES); }

bool InsideSectors(uint32_t extent, uint32_t bytes, int64_t count) {
    return extent < count && SectorsOf(bytes) <= count - extent;
}

void Report(TreeWalk& walk, const PendingDirectory& dir, const RecordView& r, const std::string& what) {
    walk.problems.Add(r.lba, FormatMessage("directory %s, record at offset %u: %s", dir.path.c_str(), r.offset,
                                           what.c_str()));
}

// Marks a directory's sectors as read; false when some were read before,
// which is a loop in the hierarchy or two directories sharing sectors.
bool ClaimSectors(TreeWalk& walk, uint32_t first, uint32_t count) {
    const uint32_t end = first + count;
    auto next = walk.readExtents.lower_bound(first);
    if (next != walk.readExtents.end() && next->first < end) return false;
    if (next != walk.readExtents.begin() && std::prev(next)->second > first) return false;
    walk.readExtents.emplace(first, end);
    return true;
}

uint32_t CheckBoth(TreeWalk& walk, const PendingDirectory& dir, const RecordView& r, BothField field,
                   const char* name) {
    if (!field.Agrees()) {
        Report(walk, dir, r, FormatMessage("%s reads %u little-endian but %u big-endian", name, field.little, field.big));
    }
    return field.little;
}

void CheckXaField(TreeWalk& walk, const PendingDirectory& dir, const RecordView& r, const DirectoryRecord& record) {
    if (!record.hasXa) {
        if (walk.volume.isXa) Report(walk, dir, r, "no CD-XA system-use field (\"XA\" signature) in a CD-XA volume");
        return;
    }
    const bool xaDirectory = (record.xaAttributes & XA_ATTR_DIRECTORY) != 0;
    if (xaDirectory != record.IsDirectory()) {
        Report(walk, dir, r, FormatMessage("CD-XA attributes %04X %s a directory, the record's flags do not",
                                           record.xaAttributes, xaDirectory ? "mark" : "do not mark"));
    }
}

void CheckSelfAndParent(TreeWalk& walk, const PendingDirectory& dir, const RecordView& r, const std::string& name,
                        uint32_t extent, uint32_t bytes) {
    const bool directory = (r.bytes[25] & FLAG_DIRECTORY) != 0;
    if (r.index == 0) {
        if (name != std::string(1, '\0') || !directory) Report(walk, dir, r, "the first record is not \".\"");
        else if (extent != dir.extent) {
            Report(walk, dir, r, FormatMessage("\".\" gives extent %u, the directory lies at %u", extent, dir.extent));
        } else if (bytes != dir.bytes) {
            Report(walk, dir, r, FormatMessage("\".\" gives data length %u, the directory's record %u", bytes, dir.bytes));
        }
    } else {
        if (name != std::string(1, '\1') || !directory) Report(walk, dir, r, "the second record is not \"..\"");
        else if (extent != dir.parentExtent) {
            Report(walk, dir, r,
                   FormatMessage("\"..\" gives extent %u, the parent directory lies at %u", extent, dir.parentExtent));
        }
    }
}

// Looks the child directory up in the path table; its directory number there, or 0.
int32_t MatchPathTable(TreeWalk& walk, const PendingDirectory& dir, const RecordView& r, const std::string& name,
                       uint32_t extent, const PathTable& table) {
    if (!table.complete || dir.number == 0) return 0;
    const auto found = walk.pathIndex.find({static_cast<uint32_t>(dir.number), name});
    if (found == walk.pathIndex.end()) {
        Report(walk, dir, r, FormatMessage("directory %s is missing from the path table", IdentifierText(name).c_str()));
        return 0;
    }
    const PathTableRecord& record = table.records[found->second];
    walk.pathMatched[found->second] = true;
    if (record.extent != extent) {
        walk.problems.Add(record.lba, FormatMessage("path table record %d (%s) gives extent %u, its directory record %u",
                                                    record.number, PathRecordName(record).c_str(), record.extent,
                                                    extent));
    }
    return record.number;
}

void CheckChild(TreeWalk& walk, const PendingDirectory& dir, const RecordView& r, const std::string& name,
                uint32_t extent, uint32_t bytes, const PathTable& table) {
    if (name == std::string(1, '\0') || name == std::string(1, '\1')) {
        Report(walk, dir, r, "a further \".\" or \"..\" record");
        return;
    }
    const std::string path = dir.path + IdentifierText(name);
    if ((r.bytes[25] & FLAG_DIRECTORY) == 0) {
        ++walk.counts.files;
        if (!walk.fileSystemOnly && bytes > 0 && !InsideSectors(extent, bytes, std::max(walk.reader.SectorCount(), walk.discSectors))) {
            Report(walk, dir, r, FormatMessage("file %s (sector %u, %u bytes) runs past the end of the image",
                                               path.c_str(), extent, bytes));
        }
        return;
    }
    const int32_t number = MatchPathTable(walk, dir, r, name, extent, table);
    if (bytes == 0 || !InsideSectors(extent, bytes, walk.reader.SectorCount())) {
        Report(walk, dir, r, FormatMessage("directory %s (sector %u, %u bytes) is not inside the image",
                                           path.c_str(), extent, bytes));
        return;
    }
    walk.pending.push_back({extent, bytes, dir.extent, number, path + "\\"});
}

void CheckRecord(TreeWalk& walk, const PendingDirectory& dir, const RecordView& r, const PathTable& table) {
    const uint32_t nameLength = r.bytes[32];
    if (33 + nameLength > r.length) {
        Report(walk, dir, r, FormatMessage("identifier length %u does not fit a record of %u bytes", nameLength, r.length));
        return;
    }
    const uint32_t extent = CheckBoth(walk, dir, r, GetBoth32(r.bytes + 2), "extent");
    const uint32_t bytes = CheckBoth(walk, dir, r, GetBoth32(r.bytes + 10), "data length");
    CheckBoth(walk, dir, r, GetBoth16(r.bytes + 28), "volume sequence number");
    DirectoryRecord record;
    std::string unused;
    ParseDirectoryRecord(r.bytes, r.length, record, unused);  // its length and identifier were checked above
    const std::string& name = record.identifier;
    CheckXaField(walk, dir, r, record);
    if (r.index < 2) CheckSelfAndParent(walk, dir, r, name, extent, bytes);
    else CheckChild(walk, dir, r, name, extent, bytes, table);
}

// The records of one sector of a directory; returns how many there were.
int32_t CheckSector(TreeWalk& walk, const PendingDirectory& dir, const uint8_t* sector, int64_t lba, uint32_t limit,
                    bool lastSector, int32_t firstIndex, const PathTable& table) {
    RecordView r;
    r.lba = lba;
    r.index = firstIndex;
    while (r.offset < limit && sector[r.offset] != 0) {  // a zero length byte: the rest of the sector is fill
        r.bytes = sector + r.offset;
        r.length = sector[r.offset];
        if (r.length < MIN_RECORD_BYTES) {
            Report(walk, dir, r, FormatMessage("record length %u is below 34", r.length));
            break;
        }
        if (r.offset + r.length > limit) {
            Report(walk, dir, r,
                   FormatMessage(lastSector ? "record length %u runs past the end of the directory extent"
                                            : "record length %u runs over the end of the sector (records must not "
                                              "straddle sectors)",
                                 r.length));
            break;
        }
        CheckRecord(walk, dir, r, table);
        r.offset += r.length;
        ++r.index;
    }
    return r.index - firstIndex;
}

void CheckDirectory(TreeWalk& walk, const PendingDirectory& dir, const PathTable& table) {
    const uint32_t sectors = static_cast<uint32_t>(SectorsOf(dir.bytes));
    if (!ClaimSectors(walk, dir.extent, sectors)) {
        walk.problems.Add(dir.extent, FormatMessage("directory %s (sector %u) lies on directory sectors already read "
                                                    "(a loop or a shared extent); not read again",
                                                    dir.path.c_str(), dir.extent));
        return;
    }
    ++walk.counts.directories;
    uint8_t sector[USER_DATA_BYTES];
    int32_t records = 0;
    for (uint32_t s = 0; s < sectors; ++s) {
        const int64_t lba = int64_t{dir.extent} + s;
        if (!walk.reader.ReadUserData(lba, sector)) break;
        const uint32_t limit = std::min<uint32_t>(USER_DATA_BYTES, dir.bytes - s * USER_DATA_BYTES);
        records += CheckSector(walk, dir, sector, lba, limit, s + 1 == sectors, records, table);
    }
    if (records < 2) {
        walk.problems.Add(dir.extent, FormatMessage("directory %s has no \".\" and \"..\" records", dir.path.c_str()));
    }
}

void ReportUnmatchedPathRecords(TreeWalk& walk, const PathTable& table) {
    for (size_t i = 1; i < table.records.size(); ++i) {
        if (walk.pathMatched[i]) continue;
        const PathTableRecord& record = table.records[i];
        walk.problems.Add(record.lba, FormatMessage("path table record %d (%s) names no directory of the hierarchy",
                                                    record.number, PathRecordName(record).c_str()));
    }
}

}  // namespace

DirectoryTreeCounts CheckDirectoryTree(ImageReader& reader, const VolumeFacts& volume, const PathTable& pathTable,
                                       bool fileSystemOnly, ProblemList& problems, int64_t discSectors) {
    TreeWalk walk{reader, volume, fileSystemOnly, problems, discSectors, {}, {}, {}, {}, {}};
    if (!volume.rootUsable) return walk.counts;
    walk.pathMatched.assign(pathTable.records.size(), false);
    for (size_t i = 0; i < pathTable.records.size(); ++i) {
        const PathTableRecord& record = pathTable.records[i];
        if (!walk.pathIndex.emplace(std::make_pair(record.parent, record.name), i).second && i > 0) {
            problems.Add(record.lba, FormatMessage("path table record %d (%s) repeats an earlier record's parent and name",
                                                   record.number, PathRecordName(record).c_str()));
        }
    }
    if (!walk.pathMatched.empty()) walk.pathMatched[0] = true;
    const int32_t rootNumber = pathTable.complete && !pathTable.records.empty() ? 1 : 0;
    walk.pending.push_back({volume.rootExtent, volume.rootBytes, volume.rootExtent, rootNumber, "\\"});
    while (!walk.pending.empty()) {
        const PendingDirectory dir = std::move(walk.pending.front());
        walk.pending.pop_front();
        CheckDirectory(walk, dir, pathTable);
    }
    if (pathTable.complete) ReportUnmatchedPathRecords(walk, pathTable);
    return walk.counts;
}

}  // namespace korvalin
