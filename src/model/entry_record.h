// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One directory or file entry of the disc tree. The numeric fields and the
// reserved bytes mirror the 48-byte record that the project file stores.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/entry_disc_facts.h"

namespace korvalin {

constexpr uint16_t FLAG_LBA_SET = 0x01;
constexpr uint16_t FLAG_DISPLACED = 0x02;
constexpr uint16_t FLAG_DUMMY = 0x08;
constexpr uint16_t FLAG_SIZE_SET = 0x10;

constexpr int NAME_FIELD_SIZE = 13;     // 12 characters and a NUL
constexpr int SOURCE_PATH_BUFFER = 512;  // paths hold at most 511 characters
constexpr int ENTRY_RECORD_SIZE = 48;

struct EntryRecord {
    uint32_t nameLength = 0;
    std::array<char, NAME_FIELD_SIZE> name{};  // NUL-terminated, bytes after it kept as loaded
    std::array<uint8_t, 3> reserved17{};
    uint16_t dosDate = 0;
    uint16_t dosTime = 0;
    int32_t lba = -1;
    uint16_t flags = 0;
    uint16_t reserved30 = 0;
    uint32_t parent = 1;  // directory number (DirTable index + 1) of the containing directory
    uint32_t size = 0;
    uint32_t recordLength = 0;
    // File: the source file on disk; none for a dummy file. Directories carry
    // none except while an add-from-disk run has work pending for them.
    std::optional<std::string> sourcePath;
    // The 4 bytes at record offset 44 as last read; only their being nonzero
    // means anything, and they are written back unchanged when still consistent.
    uint32_t storedPathRef = 0;
    // File: the source holds raw 2336-byte XA sectors (see xa_file.h).
    bool rawXa = false;
    // What a dumped disc recorded beyond the derived values; none as a rule.
    EntryDiscFacts discFacts;
    // A DA file: a dummy naming the sectors of this audio track (2 for the
    // first), its LBA and size set by the layout. 0 for every other entry.
    int32_t daTrack = 0;

    std::string_view Name() const;  // up to the NUL, at most 13 bytes
    void SetName(std::string_view text);  // also sets nameLength
    bool IsDummy() const { return (flags & FLAG_DUMMY) != 0; }
    bool IsPinned() const { return (flags & FLAG_LBA_SET) != 0; }
};

using DirEntry = EntryRecord;
using FileEntry = EntryRecord;

// Length of the entry's ISO 9660 directory record, CD-XA field included.
uint32_t DirRecordLength(uint32_t nameLength);
uint32_t FileRecordLength(uint32_t nameLength);
constexpr uint32_t ROOT_RECORD_LENGTH = 34;

}  // namespace korvalin
