// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/volume_descriptor_check.h"

#include <algorithm>
#include <cstring>

#include "disc/disc_field_reader.h"
#include "image/sector_header.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr int64_t MAX_DESCRIPTORS = 64;  // a set this long is damaged, not real
constexpr uint8_t TYPE_PRIMARY = 1;
constexpr uint8_t TYPE_TERMINATOR = 255;

const char* const PVD = "primary volume descriptor";

uint32_t CheckBoth(const BothField& field, const char* name, ProblemList& problems) {
    if (!field.Agrees()) {
        problems.Add(VOLUME_DESCRIPTOR_LBA,
                     FormatMessage("%s: %s reads %u little-endian but %u big-endian", PVD, name,
                                   field.little, field.big));
    }
    return field.little;
}

int64_t SectorsOf(uint64_t bytes) { return static_cast<int64_t>((bytes + USER_DATA_BYTES - 1) / USER_DATA_BYTES); }

void CheckRootRecord(const uint8_t* record, int64_t sectorCount, VolumeFacts& facts, ProblemList& problems) {
    const uint32_t extent = CheckBoth(GetBoth32(record + 2), "root record extent", problems);
    const uint32_t bytes = CheckBoth(GetBoth32(record + 10), "root record data length", problems);
    CheckBoth(GetBoth16(record + 28), "root record volume sequence number", problems);
    if (record[0] != 34 || record[32] != 1 || record[33] != 0) {
        problems.Add(VOLUME_DESCRIPTOR_LBA,
                     FormatMessage("%s: root record has length %u and a %u-byte identifier, not 34 and 0x00",
                                   PVD, record[0], record[32]));
    }
    if ((record[25] & 0x02) == 0) {
        problems.Add(VOLUME_DESCRIPTOR_LBA, FormatMessage("%s: root record is not flagged as a directory", PVD));
    }
    if (bytes == 0 || extent >= sectorCount || SectorsOf(bytes) > sectorCount - extent) {
        problems.Add(VOLUME_DESCRIPTOR_LBA,
                     FormatMessage("%s: root directory (sector %u, %u bytes) is not inside the image of %lld sectors",
                                   PVD, extent, bytes, static_cast<long long>(sectorCount)));
        return;
    }
    facts.rootExtent = extent;
    facts.rootBytes = bytes;
    facts.rootUsable = true;
}

void CheckVolumeSpace(int64_t volumeSpace, int64_t sectorCount, bool fileSystemOnly, ProblemList& problems,
                      std::vector<std::string>& notes) {
    if (volumeSpace > sectorCount) {
        if (fileSystemOnly) {
            notes.push_back(FormatMessage("the image holds the first %lld of the volume's %lld sectors",
                                          static_cast<long long>(sectorCount),
                                          static_cast<long long>(volumeSpace)));
        } else {
            problems.Add(VOLUME_DESCRIPTOR_LBA,
                         FormatMessage("%s: volume space size is %lld sectors but the image holds %lld", PVD,
                                       static_cast<long long>(volumeSpace), static_cast<long long>(sectorCount)));
        }
    } else if (volumeSpace < sectorCount) {
        notes.push_back(FormatMessage("the image holds %lld sectors after the volume's %lld",
                                      static_cast<long long>(sectorCount - volumeSpace),
                                      static_cast<long long>(volumeSpace)));
    }
}

void CheckPathTableFields(const uint8_t* pvd, int64_t sectorCount, VolumeFacts& facts, ProblemList& problems) {
    facts.pathTableBytes = CheckBoth(GetBoth32(pvd + 132), "path table size", problems);
    facts.pathTableLba[0] = GetLE32(pvd + 140);
    facts.pathTableLba[1] = GetLE32(pvd + 144);
    facts.pathTableLba[2] = GetBE32(pvd + 148);
    facts.pathTableLba[3] = GetBE32(pvd + 152);
    if (facts.pathTableBytes == 0) {
        problems.Add(VOLUME_DESCRIPTOR_LBA, FormatMessage("%s: path table size is 0", PVD));
    }
    static const char* const names[4] = {"L path table", "optional L path table", "M path table",
                                         "optional M path table"};
    const int64_t sectors = SectorsOf(facts.pathTableBytes);
    for (int i = 0; i < 4; ++i) {
        const uint32_t lba = facts.pathTableLba[i];
        const bool optional = i == 1 || i == 3;
        if (lba == 0 && optional) continue;
        if (lba <= VOLUME_DESCRIPTOR_LBA || lba >= sectorCount || sectors > sectorCount - lba) {
            problems.Add(VOLUME_DESCRIPTOR_LBA,
                         FormatMessage("%s: %s at sector %u (%u bytes) is not inside the image", PVD, names[i],
                                       lba, facts.pathTableBytes));
            facts.pathTableLba[i] = 0;
        }
    }
}

void CheckDescriptorSet(ImageReader& reader, ProblemList& problems) {
    uint8_t sector[USER_DATA_BYTES];
    const int64_t last = std::min(reader.SectorCount(), VOLUME_DESCRIPTOR_LBA + MAX_DESCRIPTORS);
    for (int64_t lba = VOLUME_DESCRIPTOR_LBA + 1; lba < last; ++lba) {
        if (!reader.ReadUserData(lba, sector)) break;
        if (std::memcmp(sector + 1, "CD001", 5) != 0) {
            problems.Add(lba, "volume descriptor set ends without a terminator (no \"CD001\" here)");
            return;
        }
        if (sector[0] == TYPE_TERMINATOR) {
            if (sector[6] != 1) {
                problems.Add(lba, FormatMessage("volume descriptor set terminator has version %u", sector[6]));
            }
            return;
        }
    }
    problems.Add(WHOLE_IMAGE, "no volume descriptor set terminator found");
}

}  // namespace

VolumeFacts CheckVolumeDescriptors(ImageReader& reader, bool fileSystemOnly, ProblemList& problems,
                                   std::vector<std::string>& notes) {
    VolumeFacts facts;
    uint8_t pvd[USER_DATA_BYTES];
    if (!reader.ReadUserData(VOLUME_DESCRIPTOR_LBA, pvd)) {
        problems.Add(WHOLE_IMAGE, "no primary volume descriptor: the image ends before sector 16");
        return facts;
    }
    if (pvd[0] != TYPE_PRIMARY || std::memcmp(pvd + 1, "CD001", 5) != 0) {
        problems.Add(VOLUME_DESCRIPTOR_LBA,
                     FormatMessage("no primary volume descriptor (type %u, identifier %02X %02X %02X %02X %02X)",
                                   pvd[0], pvd[1], pvd[2], pvd[3], pvd[4], pvd[5]));
        return facts;
    }
    if (pvd[6] != 1) problems.Add(VOLUME_DESCRIPTOR_LBA, FormatMessage("%s: version %u, not 1", PVD, pvd[6]));
    if (pvd[881] != 1) {
        problems.Add(VOLUME_DESCRIPTOR_LBA, FormatMessage("%s: file structure version %u, not 1", PVD, pvd[881]));
    }
    const int64_t sectorCount = reader.SectorCount();
    facts.volumeSpaceSize = CheckBoth(GetBoth32(pvd + 80), "volume space size", problems);
    CheckBoth(GetBoth16(pvd + 120), "volume set size", problems);
    CheckBoth(GetBoth16(pvd + 124), "volume sequence number", problems);
    const uint32_t blockSize = CheckBoth(GetBoth16(pvd + 128), "logical block size", problems);
    CheckDescriptorSet(reader, problems);
    if (blockSize != USER_DATA_BYTES) {
        problems.Add(VOLUME_DESCRIPTOR_LBA,
                     FormatMessage("%s: logical block size %u, not 2048; the file system is not read further", PVD,
                                   blockSize));
        return facts;
    }
    CheckVolumeSpace(facts.volumeSpaceSize, sectorCount, fileSystemOnly, problems, notes);
    CheckPathTableFields(pvd, sectorCount, facts, problems);
    CheckRootRecord(pvd + 156, sectorCount, facts, problems);
    facts.isXa = std::memcmp(pvd + 1024, "CD-XA001", 8) == 0;
    facts.usable = true;
    return facts;
}

}  // namespace korvalin
