// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/path_table_reader.h"

#include "disc/disc_field_reader.h"
#include "image/sector_header.h"
#include "model/message_format.h"

namespace korvalin {

PathTableParse ParsePathTable(const std::vector<uint8_t>& bytes, uint32_t size, int64_t tableLba, bool bigEndian) {
    PathTableParse parsed;
    uint32_t pos = 0;
    while (pos < size) {
        const uint32_t nameLength = bytes[pos];
        if (nameLength == 0) {
            pos = (pos / USER_DATA_BYTES + 1) * USER_DATA_BYTES;
            continue;
        }
        const int64_t lba = tableLba + pos / USER_DATA_BYTES;
        const uint32_t length = 8 + nameLength + (nameLength & 1);
        const int32_t number = static_cast<int32_t>(parsed.records.size()) + 1;
        if (length > size - pos) {
            parsed.problem = FormatMessage("record %d at byte %u runs past the table's size of %u bytes", number, pos, size);
            parsed.problemLba = lba;
            return parsed;
        }
        if (parsed.records.size() == MAX_PATH_RECORDS) {
            parsed.problem = FormatMessage("holds more than %u records", MAX_PATH_RECORDS);
            parsed.problemLba = lba;
            return parsed;
        }
        const uint8_t* r = bytes.data() + pos;
        PathTableRecord record;
        record.number = number;
        record.extent = bigEndian ? GetBE32(r + 2) : GetLE32(r + 2);
        record.parent = bigEndian ? GetBE16(r + 6) : GetLE16(r + 6);
        record.name.assign(reinterpret_cast<const char*>(r + 8), nameLength);
        record.lba = lba;
        parsed.records.push_back(std::move(record));
        pos += length;
    }
    parsed.complete = true;
    return parsed;
}

PathTableParse ReadPathTable(ImageReader& reader, uint32_t lba, uint32_t size, bool bigEndian) {
    std::vector<uint8_t> bytes;
    const int64_t sectors = (int64_t{size} + USER_DATA_BYTES - 1) / USER_DATA_BYTES;
    if (size > MAX_PATH_TABLE_BYTES) {
        PathTableParse parsed;
        parsed.problem = FormatMessage("size %u bytes is more than %u directories can need", size, MAX_PATH_RECORDS);
        parsed.problemLba = lba;
        return parsed;
    }
    if (lba == 0 || !reader.ReadUserData(lba, sectors, bytes)) {
        PathTableParse parsed;
        parsed.problem = FormatMessage("at sector %u (%u bytes) is not inside the image", lba, size);
        parsed.problemLba = lba;
        return parsed;
    }
    return ParsePathTable(bytes, size, lba, bigEndian);
}

}  // namespace korvalin
