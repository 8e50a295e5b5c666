// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/directory_extent.h"

#include <cstring>

#include "image/byte_order.h"
#include "image/kept_disc_facts.h"
#include "image/path_table.h"
#include "image/volume_date.h"
#include "layout/recompute_layout.h"

namespace korvalin {

namespace {

constexpr uint32_t RECORD_FIXED_BYTES = 33;
constexpr uint32_t XA_FIELD_BYTES = 14;
constexpr uint8_t FLAG_DIRECTORY = 2;

struct RecordFields {
    uint32_t extent = 0;
    uint32_t dataLength = 0;
    bool isDirectory = true;
    bool datedFromEntry = false;  // "." and ".." carry a zero date
    uint16_t dosDate = 0;
    uint16_t dosTime = 0;
    const char* identifier = nullptr;
    uint32_t identifierLength = 0;
    bool versionSuffix = false;  // files: the name followed by ";1"
    bool rawXa = false;
    const EntryRecord* entry = nullptr;  // whose kept facts go over the record
    const std::optional<RecordDateBytes>* keptDate = nullptr;  // "." and "..": a kept date
    bool cdDa = false;           // a DA file: its extent lies in an audio track
};

uint32_t RecordLength(uint32_t identifierLength) {
    return RECORD_FIXED_BYTES + identifierLength + (identifierLength % 2 == 0 ? 1 : 0) +
           XA_FIELD_BYTES;
}

void PutXaField(uint8_t* out, uint16_t attributes) {
    PutBE16(out + 4, attributes);
    out[6] = 'X';
    out[7] = 'A';
}

void PutRecord(uint8_t* out, uint32_t length, const RecordFields& f) {
    const uint32_t n = f.identifierLength + (f.versionSuffix ? 2 : 0);
    out[0] = static_cast<uint8_t>(length);
    PutBoth32(out + 2, f.extent);
    PutBoth32(out + 10, f.dataLength);
    if (f.datedFromEntry) {
        const CalendarTime t = RecordTimeOfEntry(f.dosDate, f.dosTime);
        WriteDirRecordDate(out + 18, t.day, t.month, t.year, t.hour, t.minute, t.second);
    }
    out[25] = f.isDirectory ? FLAG_DIRECTORY : 0;
    PutBoth16(out + 28, 1);
    out[32] = static_cast<uint8_t>(n);
    std::memcpy(out + 33, f.identifier, f.identifierLength);
    if (f.versionSuffix) std::memcpy(out + 33 + f.identifierLength, ";1", 2);
    const uint16_t fileAttributes = f.rawXa ? XA_RAW_FILE_ATTRIBUTES : f.cdDa ? XA_CDDA_ATTRIBUTES : XA_FILE_ATTRIBUTES;
    PutXaField(out + length - XA_FIELD_BYTES, f.isDirectory ? XA_DIR_ATTRIBUTES : fileAttributes);
    if (f.entry != nullptr) PutKeptEntryFacts(out, length, *f.entry, true);
    if (f.keptDate != nullptr) PutKeptDate(out, *f.keptDate);
}

bool Pack(RecordPacker& packer, const RecordFields& f) {
    const uint32_t length = RecordLength(f.identifierLength + (f.versionSuffix ? 2 : 0));
    uint8_t* out = packer.Place(length);
    if (out == nullptr) return false;
    PutRecord(out, length, f);
    return true;
}

RecordFields EntryFields(const EntryRecord& entry, bool isDirectory) {
    RecordFields f;
    f.extent = static_cast<uint32_t>(entry.lba);
    f.dataLength = entry.size;
    f.isDirectory = isDirectory;
    f.datedFromEntry = true;
    f.dosDate = entry.dosDate;
    f.dosTime = entry.dosTime;
    f.identifier = entry.name.data();
    f.identifierLength = IdentifierLength(entry);
    f.versionSuffix = !isDirectory;
    f.rawXa = entry.rawXa;
    f.entry = &entry;
    f.cdDa = entry.daTrack != 0;
    return f;
}

RecordFields SelfOrParentFields(const DirEntry& dir, const char* identifier,
                                const std::optional<RecordDateBytes>& keptDate) {
    RecordFields f;
    f.keptDate = &keptDate;
    f.extent = static_cast<uint32_t>(dir.lba);
    f.dataLength = dir.size;
    f.identifier = identifier;
    f.identifierLength = 1;
    return f;
}

}  // namespace

int32_t WriteDirectoryExtent(const Project& project, CompileState& state, SectorBuffer& sector,
                             uint32_t dirNumber) {
    const DirEntry& dir = project.dirTable[dirNumber - 1];
    // The pre-compile check vouches for the parent; a damaged one falls back
    // to the directory itself rather than reading outside the table.
    const bool parentValid = dir.parent >= 1 && dir.parent <= project.dirTable.size();
    const DirEntry& parent = parentValid ? project.dirTable[dir.parent - 1] : dir;
    static const char SELF[1] = {0x00};
    static const char PARENT[1] = {0x01};

    sector.fill(0);
    RecordPacker packer(state, sector);
    const int32_t firstLba = state.writeLba;
    bool ok = Pack(packer, SelfOrParentFields(dir, SELF, dir.discFacts.selfDate)) &&
              Pack(packer, SelfOrParentFields(parent, PARENT, dir.discFacts.parentDate));
    for (size_t i = 1; ok && i < project.dirTable.size(); ++i) {
        const DirEntry& child = project.dirTable[i];
        if (child.parent == dirNumber) ok = Pack(packer, EntryFields(child, true));
    }
    for (size_t i = 0; ok && i < project.fileTable.size(); ++i) {
        const FileEntry& file = project.fileTable[i];
        if (file.parent == dirNumber) ok = Pack(packer, EntryFields(file, false));
    }
    ok = ok && packer.Finish();
    // A kept extent size larger than the records need: empty sectors follow.
    while (ok && state.writeLba - firstLba < SectorsOf(dir.size)) ok = EmitSector(state, sector);
    return ok ? 0 : 1;
}

}  // namespace korvalin
