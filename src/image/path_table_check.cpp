// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/path_table_check.h"

#include <algorithm>

#include "disc/disc_field_reader.h"
#include "image/sector_header.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

enum TableIndex { L_TABLE, L_COPY, M_TABLE, M_COPY };
const char* const TABLE_NAMES[4] = {"L path table", "optional L path table", "M path table",
                                    "optional M path table"};

struct RawTable {
    bool present = false;
    uint32_t lba = 0;
    std::vector<uint8_t> bytes;  // whole sectors; the table is the first pathTableBytes of them
};

int64_t SectorsOf(uint64_t bytes) { return static_cast<int64_t>((bytes + USER_DATA_BYTES - 1) / USER_DATA_BYTES); }

PathTable ParseTable(const RawTable& table, uint32_t size, bool bigEndian, const char* tableName,
                     ProblemList& problems) {
    PathTableParse parsed = ParsePathTable(table.bytes, size, table.lba, bigEndian);
    if (!parsed.complete) problems.Add(parsed.problemLba, std::string(tableName) + " " + parsed.problem);
    return PathTable{parsed.complete, std::move(parsed.records)};
}

void CompareCopies(const RawTable& table, const RawTable& copy, uint32_t size, const char* copyName,
                   const char* tableName, ProblemList& problems) {
    if (!table.present || !copy.present) return;
    const auto end = table.bytes.begin() + size;
    const auto mismatch = std::mismatch(table.bytes.begin(), end, copy.bytes.begin());
    if (mismatch.first == end) return;
    const auto offset = static_cast<uint32_t>(mismatch.first - table.bytes.begin());
    problems.Add(copy.lba + offset / USER_DATA_BYTES,
                 FormatMessage("%s differs from the %s at byte %u", copyName, tableName, offset));
}

void CompareLittleWithBig(const PathTable& little, const PathTable& big, ProblemList& problems) {
    const size_t common = std::min(little.records.size(), big.records.size());
    for (size_t i = 0; i < common; ++i) {
        const PathTableRecord& l = little.records[i];
        const PathTableRecord& m = big.records[i];
        if (l.extent == m.extent && l.parent == m.parent && l.name == m.name) continue;
        problems.Add(m.lba, FormatMessage("M path table record %d (%s) differs from the L path table: "
                                          "extent %u / %u, parent %u / %u, name %s / %s",
                                          m.number, PathRecordName(m).c_str(), m.extent, l.extent, m.parent,
                                          l.parent, IdentifierText(m.name).c_str(),
                                          IdentifierText(l.name).c_str()));
    }
    if (little.complete && big.complete && little.records.size() != big.records.size()) {
        const int64_t lba = big.records.empty() ? WHOLE_IMAGE : big.records.back().lba;
        problems.Add(lba, FormatMessage("M path table holds %zu records, the L path table %zu",
                                        big.records.size(), little.records.size()));
    }
}

void CheckRecords(const PathTable& table, const VolumeFacts& volume, ProblemList& problems,
                  std::vector<std::string>& notes) {
    if (table.records.empty()) return;
    const PathTableRecord& root = table.records.front();
    if (root.name != std::string(1, '\0') || root.parent != 1) {
        problems.Add(root.lba, FormatMessage("path table record 1 is not the root (identifier %s, parent %u)",
                                             IdentifierText(root.name).c_str(), root.parent));
    }
    if (volume.rootUsable && root.extent != volume.rootExtent) {
        problems.Add(root.lba, FormatMessage("path table puts the root at sector %u, the volume descriptor at %u",
                                             root.extent, volume.rootExtent));
    }
    bool ordered = true;
    for (size_t i = 1; i < table.records.size(); ++i) {
        const PathTableRecord& r = table.records[i];
        if (r.parent < 1 || r.parent >= static_cast<uint32_t>(r.number)) {
            problems.Add(r.lba, FormatMessage("path table record %d (%s) names parent %u, not an earlier record",
                                              r.number, PathRecordName(r).c_str(), r.parent));
        }
        if (r.parent < table.records[i - 1].parent) ordered = false;
    }
    if (!ordered) {
        notes.push_back("the path table is not sorted by parent directory number (ISO 9660 sorts it; "
                        "a reader that walks it in order is not affected)");
    }
}

}  // namespace

std::string PathRecordName(const PathTableRecord& record) {
    return record.number == 1 ? "root" : IdentifierText(record.name);
}

PathTable CheckPathTables(ImageReader& reader, const VolumeFacts& volume, ProblemList& problems,
                          std::vector<std::string>& notes) {
    const uint32_t size = volume.pathTableBytes;
    if (size == 0) return {};
    if (size > MAX_PATH_TABLE_BYTES) {
        problems.Add(VOLUME_DESCRIPTOR_LBA,
                     FormatMessage("path table size %u bytes is more than %u directories can need", size,
                                   MAX_PATH_RECORDS));
        return {};
    }
    RawTable tables[4];
    for (int i = 0; i < 4; ++i) {
        tables[i].lba = volume.pathTableLba[i];
        tables[i].present =
            tables[i].lba != 0 && reader.ReadUserData(tables[i].lba, SectorsOf(size), tables[i].bytes);
    }
    CompareCopies(tables[L_TABLE], tables[L_COPY], size, TABLE_NAMES[L_COPY], TABLE_NAMES[L_TABLE], problems);
    CompareCopies(tables[M_TABLE], tables[M_COPY], size, TABLE_NAMES[M_COPY], TABLE_NAMES[M_TABLE], problems);
    PathTable little, big;
    if (tables[L_TABLE].present) little = ParseTable(tables[L_TABLE], size, false, TABLE_NAMES[L_TABLE], problems);
    if (tables[M_TABLE].present) big = ParseTable(tables[M_TABLE], size, true, TABLE_NAMES[M_TABLE], problems);
    if (tables[L_TABLE].present && tables[M_TABLE].present) CompareLittleWithBig(little, big, problems);
    PathTable& used = tables[L_TABLE].present ? little : big;
    CheckRecords(used, volume, problems, notes);
    return used;
}

}  // namespace korvalin
