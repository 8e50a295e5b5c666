// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/directory_record.h"

#include <algorithm>

#include "disc/disc_field_reader.h"
#include "model/message_format.h"

namespace korvalin {

namespace {
constexpr uint32_t XA_FIELD_BYTES = 14;
}

uint32_t SystemUseOffset(uint32_t identifierLength) {
    return 33 + identifierLength + ((identifierLength & 1) == 0 ? 1 : 0);
}

RecordDate ParseRecordDate(const uint8_t* bytes) {
    RecordDate date;
    date.year = 1900 + bytes[0];
    date.month = bytes[1];
    date.day = bytes[2];
    date.hour = bytes[3];
    date.minute = bytes[4];
    date.second = bytes[5];
    date.gmtOffset = static_cast<int8_t>(bytes[6]);
    return date;
}

bool ParseDirectoryRecord(const uint8_t* bytes, uint32_t available, DirectoryRecord& record,
                          std::string& problem) {
    record = DirectoryRecord{};
    record.length = bytes[0];
    if (record.length < MIN_DIRECTORY_RECORD_BYTES) {
        problem = FormatMessage("record length %u is below 34", record.length);
        return false;
    }
    if (record.length > available) {
        problem = FormatMessage("record length %u runs past the end of the directory extent", record.length);
        return false;
    }
    const uint32_t nameLength = bytes[32];
    if (33 + nameLength > record.length) {
        problem = FormatMessage("identifier length %u does not fit a record of %u bytes", nameLength, record.length);
        return false;
    }
    const BothField extent = GetBoth32(bytes + 2);
    const BothField size = GetBoth32(bytes + 10);
    record.extendedAttributeLength = bytes[1];
    record.extent = extent.little;
    record.size = size.little;
    record.bothOrdersAgree = extent.Agrees() && size.Agrees() && GetBoth16(bytes + 28).Agrees();
    record.date = ParseRecordDate(bytes + 18);
    record.flags = bytes[25];
    record.fileUnitSize = bytes[26];
    record.interleaveGap = bytes[27];
    record.identifier.assign(reinterpret_cast<const char*>(bytes + 33), nameLength);
    const uint32_t use = SystemUseOffset(nameLength);
    const uint8_t* field = bytes + use;
    if (use + XA_FIELD_BYTES <= record.length && field[6] == 'X' && field[7] == 'A') {
        record.hasXa = true;
        record.xaAttributes = GetBE16(field + 4);
        record.xaFileNumber = field[8];
        std::copy(field, field + XA_FIELD_BYTES, record.xaField.begin());
    }
    return true;
}

}  // namespace korvalin
