// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/primary_volume.h"

#include <cstring>

#include "disc/disc_field_reader.h"
#include "image/sector_header.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr uint32_t ROOT_RECORD_OFFSET = 156;

int32_t Digits(const uint8_t* bytes, int count, bool& allDigits) {
    int32_t value = 0;
    for (int i = 0; i < count; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9') allDigits = false;
        value = value * 10 + (bytes[i] >= '0' && bytes[i] <= '9' ? bytes[i] - '0' : 0);
    }
    return value;
}

// Names the identifiers (besides system and volume) that are not blank.
std::string NonBlankTexts(const uint8_t* pvd) {
    static const struct { uint32_t offset, length; const char* name; } FIELDS[] = {
        {190, 128, "volume set"}, {318, 128, "publisher"}, {446, 128, "data preparer"},
        {574, 128, "application"}, {702, 37, "copyright file"}, {739, 37, "abstract file"},
        {776, 37, "bibliographic file"}};
    std::string names;
    for (const auto& field : FIELDS) {
        std::string text(reinterpret_cast<const char*>(pvd + field.offset), field.length);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
        if (text.empty()) continue;
        if (field.offset == 574 && text == "PLAYSTATION") continue;  // what this program writes
        names += (names.empty() ? "" : ", ") + std::string(field.name) + " \"" + text + "\"";
    }
    return names;
}

}  // namespace

VolumeDate ParseVolumeDate(const uint8_t* bytes) {
    VolumeDate date;
    date.digits = true;
    date.year = Digits(bytes, 4, date.digits);
    date.month = Digits(bytes + 4, 2, date.digits);
    date.day = Digits(bytes + 6, 2, date.digits);
    date.hour = Digits(bytes + 8, 2, date.digits);
    date.minute = Digits(bytes + 10, 2, date.digits);
    date.second = Digits(bytes + 12, 2, date.digits);
    date.hundredths = Digits(bytes + 14, 2, date.digits);
    date.gmtOffset = static_cast<int8_t>(bytes[16]);
    return date;
}

bool ReadPrimaryVolume(ImageReader& reader, PrimaryVolume& volume, std::string& problem) {
    uint8_t pvd[USER_DATA_BYTES];
    if (!reader.ReadUserData(PRIMARY_VOLUME_LBA, pvd)) {
        problem = "no primary volume descriptor: the image ends before sector 16";
        return false;
    }
    if (pvd[0] != 1 || std::memcmp(pvd + 1, "CD001", 5) != 0) {
        problem = "not an ISO 9660 image: no primary volume descriptor (\"CD001\") at sector 16";
        return false;
    }
    volume.systemIdentifier.assign(reinterpret_cast<const char*>(pvd + 8), 32);
    volume.volumeIdentifier.assign(reinterpret_cast<const char*>(pvd + 40), 32);
    volume.volumeSpaceSize = GetLE32(pvd + 80);
    volume.logicalBlockSize = GetLE16(pvd + 128);
    volume.pathTableBytes = GetLE32(pvd + 132);
    volume.pathTableLba[0] = GetLE32(pvd + 140);
    volume.pathTableLba[1] = GetLE32(pvd + 144);
    volume.pathTableLba[2] = GetBE32(pvd + 148);
    volume.pathTableLba[3] = GetBE32(pvd + 152);
    volume.creation = ParseVolumeDate(pvd + 813);
    volume.modification = ParseVolumeDate(pvd + 830);
    volume.isXa = std::memcmp(pvd + 1024, "CD-XA001", 8) == 0;
    volume.otherTexts = NonBlankTexts(pvd);
    if (volume.logicalBlockSize != USER_DATA_BYTES) {
        problem = FormatMessage("the logical block size is %u, not 2048", volume.logicalBlockSize);
        return false;
    }
    std::string reason;
    if (!ParseDirectoryRecord(pvd + ROOT_RECORD_OFFSET, 34, volume.root, reason) || !volume.root.IsDirectory()) {
        problem = "the volume descriptor's root directory record is damaged";
        return false;
    }
    return true;
}

}  // namespace korvalin
