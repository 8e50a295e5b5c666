// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/iso_tree.h"

#include <iterator>
#include <map>
#include <set>

#include "disc/disc_field_reader.h"
#include "image/sector_header.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

struct Walk {
    ImageReader& reader;
    bool fileSystemOnly;
    IsoTree& tree;
    std::string& problem;
    std::map<int64_t, int64_t> claimed;  // first sector -> one past the last, of every directory read
};

int64_t SectorsOf(uint64_t bytes) { return static_cast<int64_t>((bytes + USER_DATA_BYTES - 1) / USER_DATA_BYTES); }

bool InsideImage(const ImageReader& reader, uint32_t extent, uint32_t bytes) {
    return extent < reader.SectorCount() && SectorsOf(bytes) <= reader.SectorCount() - extent;
}

// Marks a directory's sectors as read; false when some were read before:
// a loop in the hierarchy, or two directories sharing sectors.
bool Claim(Walk& walk, int64_t first, int64_t count) {
    const int64_t end = first + count;
    auto next = walk.claimed.lower_bound(first);
    if (next != walk.claimed.end() && next->first < end) return false;
    if (next != walk.claimed.begin() && std::prev(next)->second > first) return false;
    walk.claimed.emplace(first, end);
    return true;
}

// Names go into folder paths on the user's disk: only printable characters,
// no separators, never "." or "..".
bool PlainName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || c == '/' || c == '\\' || c == ':') return false;
    }
    return true;
}

bool Fail(Walk& walk, std::string text) {
    walk.problem = std::move(text);
    return false;
}

bool AddRecord(Walk& walk, IsoDirectory& dir, const DirectoryRecord& record, int64_t lba) {
    const std::string name = NameWithoutVersion(record.identifier);
    if (!PlainName(name)) {
        return Fail(walk, FormatMessage("directory %s, sector %lld: the name \"%s\" is not a plain ISO 9660 name",
                                        dir.path.c_str(), static_cast<long long>(lba),
                                        IdentifierText(record.identifier).c_str()));
    }
    const std::string path = (dir.path == "\\" ? "" : dir.path) + "\\" + name;
    if (record.IsDirectory()) {
        if (record.size == 0 || record.size > MAX_DIRECTORY_BYTES || !InsideImage(walk.reader, record.extent, record.size)) {
            return Fail(walk, FormatMessage("directory %s (sector %u, %u bytes) is not inside the image",
                                            path.c_str(), record.extent, record.size));
        }
        dir.subdirectories.push_back(record);
        return true;
    }
    // Past the end of a whole volume a file can only reserve sectors; in an
    // image shorter than its volume it is data that was cut off.
    const bool wholeVolume = walk.reader.SectorCount() >= walk.tree.volume.volumeSpaceSize;
    if (!walk.fileSystemOnly && !wholeVolume && record.size > 0 &&
        !InsideImage(walk.reader, record.extent, record.size)) {
        return Fail(walk, FormatMessage("file %s (sector %u, %u bytes) runs past the end of the image: "
                                        "it is cut short or damaged",
                                        path.c_str(), record.extent, record.size));
    }
    dir.files.push_back(record);
    ++walk.tree.fileCount;
    return true;
}

// The records of one sector; a zero length byte ends them (the rest is fill).
bool ReadSector(Walk& walk, IsoDirectory& dir, const uint8_t* sector, int64_t lba, uint32_t limit, int32_t& index) {
    uint32_t offset = 0;
    while (offset < limit && sector[offset] != 0) {
        DirectoryRecord record;
        std::string reason;
        if (!ParseDirectoryRecord(sector + offset, limit - offset, record, reason)) {
            return Fail(walk, FormatMessage("directory %s, sector %lld, offset %u: %s", dir.path.c_str(),
                                            static_cast<long long>(lba), offset, reason.c_str()));
        }
        if (index == 0 ? !record.IsSelf() : index == 1 ? !record.IsParent() : record.IsSelf() || record.IsParent()) {
            return Fail(walk, FormatMessage("directory %s, sector %lld, offset %u: the \".\" and \"..\" records are "
                                            "not the first two",
                                            dir.path.c_str(), static_cast<long long>(lba), offset));
        }
        if (index == 0) dir.selfRecord = record;
        if (index == 1) dir.parentRecord = record;
        if (index >= 2 && !AddRecord(walk, dir, record, lba)) return false;
        offset += record.length;
        ++index;
    }
    return true;
}

bool ReadDirectory(Walk& walk, IsoDirectory& dir) {
    const uint32_t bytes = dir.record.size;
    const uint32_t extent = dir.record.extent;
    if (bytes == 0 || bytes > MAX_DIRECTORY_BYTES || !InsideImage(walk.reader, extent, bytes)) {
        return Fail(walk, FormatMessage("directory %s (sector %u, %u bytes) is not inside the image", dir.path.c_str(),
                                        extent, bytes));
    }
    const int64_t sectors = SectorsOf(bytes);
    if (!Claim(walk, extent, sectors)) {
        return Fail(walk, FormatMessage("directory %s (sector %u) lies on sectors of another directory: the "
                                        "hierarchy loops or is damaged",
                                        dir.path.c_str(), extent));
    }
    std::vector<uint8_t> data;
    if (!walk.reader.ReadUserData(extent, sectors, data)) {
        return Fail(walk, FormatMessage("directory %s (sector %u) cannot be read", dir.path.c_str(), extent));
    }
    int32_t index = 0;
    for (int64_t s = 0; s < sectors; ++s) {
        const uint32_t limit = std::min<uint32_t>(USER_DATA_BYTES, bytes - static_cast<uint32_t>(s) * USER_DATA_BYTES);
        if (!ReadSector(walk, dir, data.data() + s * USER_DATA_BYTES, extent + s, limit, index)) return false;
    }
    if (index < 2) {
        return Fail(walk, FormatMessage("directory %s (sector %u) has no \".\" and \"..\" records", dir.path.c_str(), extent));
    }
    return true;
}

// The directory the path table's record names, found in its parent's records.
bool FindDirectory(Walk& walk, const PathTableRecord& entry, IsoDirectory& dir) {
    const auto number = static_cast<uint32_t>(entry.number);
    if (entry.parent < 1 || entry.parent >= number) {
        return Fail(walk, FormatMessage("path table record %d names parent %u, not an earlier record", entry.number,
                                        entry.parent));
    }
    const IsoDirectory& parent = walk.tree.dirs[entry.parent - 1];
    for (const DirectoryRecord& child : parent.subdirectories) {
        if (child.identifier != entry.name) continue;
        if (child.extent != entry.extent) {
            return Fail(walk, FormatMessage("path table puts directory %s\\%s at sector %u, its directory record at %u",
                                            parent.path == "\\" ? "" : parent.path.c_str(),
                                            IdentifierText(entry.name).c_str(), entry.extent, child.extent));
        }
        dir.record = child;
        dir.parentIndex = static_cast<int32_t>(entry.parent) - 1;
        dir.path = (parent.path == "\\" ? "" : parent.path) + "\\" + NameWithoutVersion(entry.name);
        return true;
    }
    return Fail(walk, FormatMessage("path table record %d (%s) names no directory of %s", entry.number,
                                    IdentifierText(entry.name).c_str(), parent.path.c_str()));
}

bool ReadPathTableRecords(Walk& walk) {
    const PrimaryVolume& volume = walk.tree.volume;
    const bool little = volume.pathTableLba[0] != 0;
    const PathTableParse parsed = ReadPathTable(walk.reader, little ? volume.pathTableLba[0] : volume.pathTableLba[2],
                                                volume.pathTableBytes, !little);
    if (!parsed.complete || parsed.records.empty()) {
        return Fail(walk, "the path table " + (parsed.problem.empty() ? std::string("is empty") : parsed.problem));
    }
    if (parsed.records[0].extent != volume.root.extent) {
        return Fail(walk, FormatMessage("the path table puts the root at sector %u, the volume descriptor at %u",
                                        parsed.records[0].extent, volume.root.extent));
    }
    walk.tree.pathTable = parsed.records;
    return true;
}

bool EveryDirectoryListed(Walk& walk) {
    std::set<std::pair<int32_t, std::string>> listed;
    for (size_t i = 1; i < walk.tree.dirs.size(); ++i) {
        listed.emplace(walk.tree.dirs[i].parentIndex, walk.tree.dirs[i].record.identifier);
    }
    for (size_t i = 0; i < walk.tree.dirs.size(); ++i) {
        for (const DirectoryRecord& child : walk.tree.dirs[i].subdirectories) {
            if (listed.count({static_cast<int32_t>(i), child.identifier}) == 0) {
                return Fail(walk, FormatMessage("directory %s holds %s, which the path table does not list",
                                                walk.tree.dirs[i].path.c_str(), IdentifierText(child.identifier).c_str()));
            }
        }
    }
    return true;
}

}  // namespace

std::string NameWithoutVersion(const std::string& identifier) {
    const size_t semicolon = identifier.find(';');
    return semicolon == std::string::npos ? identifier : identifier.substr(0, semicolon);
}

bool ReadIsoTree(ImageReader& reader, bool fileSystemOnly, IsoTree& tree, std::string& problem) {
    tree = IsoTree{};
    Walk walk{reader, fileSystemOnly, tree, problem, {}};
    if (!ReadPrimaryVolume(reader, tree.volume, problem) || !ReadPathTableRecords(walk)) return false;
    tree.dirs.reserve(tree.pathTable.size());
    for (const PathTableRecord& entry : tree.pathTable) {
        IsoDirectory dir;
        if (entry.number == 1) {
            dir.path = "\\";
            dir.record = tree.volume.root;
        } else if (!FindDirectory(walk, entry, dir)) {
            return false;
        }
        if (!ReadDirectory(walk, dir)) return false;
        tree.dirs.push_back(std::move(dir));
    }
    return EveryDirectoryListed(walk);
}

}  // namespace korvalin
