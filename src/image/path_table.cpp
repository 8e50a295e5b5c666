// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/path_table.h"

#include <algorithm>
#include <cstring>

#include "image/byte_order.h"

namespace korvalin {

uint32_t IdentifierLength(const EntryRecord& entry) {
    return std::min<uint32_t>(entry.nameLength, NAME_FIELD_SIZE);
}

int32_t WritePathTable(const Project& project, CompileState& state, SectorBuffer& sector,
                       ByteOrder order) {
    sector.fill(0);
    RecordPacker packer(state, sector);
    for (const DirEntry& dir : project.dirTable) {
        const uint32_t n = IdentifierLength(dir);
        const uint32_t length = 8 + n + (n % 2);
        uint8_t* record = packer.Place(length);
        if (record == nullptr) return 1;
        // The length byte and the zero extended-attribute length together.
        PutLE16(record, n);
        if (order == ByteOrder::Little) {
            PutLE32(record + 2, static_cast<uint32_t>(dir.lba));
            PutLE16(record + 6, dir.parent);
        } else {
            PutBE32(record + 2, static_cast<uint32_t>(dir.lba));
            PutBE16(record + 6, dir.parent);
        }
        std::memcpy(record + 8, dir.name.data(), n);
    }
    return packer.Finish() ? 0 : 1;
}

}  // namespace korvalin
