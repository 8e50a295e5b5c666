// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/project_extension.h"

#include <cstring>

#include "model/byte_io.h"
#include "model/extension_xa.h"
#include "model/extension_disc_facts.h"
#include "model/extension_audio_tracks.h"
#include "model/extension_da_files.h"
#include "model/extension_kept_sectors.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr size_t ANNOUNCEMENT_BYTES = 12;
constexpr size_t BLOCK_HEADER_BYTES = 16;
constexpr size_t RECORD_HEADER_BYTES = 8;
constexpr uint32_t KEEP_SYSTEM_AREA_BIT = 0x1;
constexpr uint32_t STAMP_SYSTEM_AREA_BIT = 0x2;

// Header bytes the plain format leaves to the writer: 15, 18-19 and 28-95.
bool IsReservedHeaderByte(size_t i) { return i == 15 || i == 18 || i == 19 || i >= 28; }

std::vector<ExtensionRecord> RecordsOf(const Project& project) {
    std::vector<ExtensionRecord> records;
    const ProjectSettings& s = project.settings;
    if (s != ProjectSettings{}) {
        const uint32_t bits = (s.keepSystemArea ? KEEP_SYSTEM_AREA_BIT : 0) |
                              (s.stampSystemArea ? STAMP_SYSTEM_AREA_BIT : 0);
        ExtensionRecord record{TAG_SYSTEM_AREA_SETTINGS, 0, {}};
        ByteWriter(record.payload).U32(bits);
        records.push_back(record);
    }
    if (auto xa = RawXaRecordOf(project)) records.push_back(std::move(*xa));
    AppendEntryFactRecords(project, records);
    if (ExtensionRecord record; EncodeVolumeTexts(project, record)) records.push_back(std::move(record));
    for (const AudioTrack& track : project.audioTracks) records.push_back(AudioTrackRecord(track));
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        const int32_t track = project.fileTable[static_cast<size_t>(f)].daTrack;
        if (track != 0) records.push_back(DaFileRecord(f, track));
    }
    if (project.keptSectors.Present()) records.push_back(KeptSectorsRecord(project.keptSectors));
    const auto& kept = project.fileLeftovers.unknownRecords;
    records.insert(records.end(), kept.begin(), kept.end());
    return records;
}

std::vector<uint8_t> BlockOf(const std::vector<ExtensionRecord>& records) {
    std::vector<uint8_t> block;
    ByteWriter out(block);
    out.Bytes(EXTENSION_BLOCK_MAGIC, sizeof EXTENSION_BLOCK_MAGIC);
    out.U16(EXTENSION_VERSION);
    out.U16(EXTENSION_VERSION);  // the oldest version that can read it
    out.U32(static_cast<uint32_t>(records.size()));
    for (const ExtensionRecord& record : records) {
        out.U16(record.tag);
        out.U16(record.flags);
        out.U32(static_cast<uint32_t>(record.payload.size()));
        out.Bytes(record.payload.data(), record.payload.size());
    }
    return block;
}

// One record into `loaded`; false with `problem` set when it cannot be taken.
bool TakeRecord(ExtensionRecord record, uint32_t number, Project& loaded, std::string& problem) {
    if (record.tag == TAG_SYSTEM_AREA_SETTINGS) {
        if (record.payload.size() < 4) {
            problem = FormatMessage("its extension record %u (system area settings) has %zu "
                                    "bytes, fewer than 4",
                                    number, record.payload.size());
            return false;
        }
        const uint32_t bits = ByteReader(record.payload.data(), 4).U32();
        loaded.settings.keepSystemArea = (bits & KEEP_SYSTEM_AREA_BIT) != 0;
        loaded.settings.stampSystemArea = (bits & STAMP_SYSTEM_AREA_BIT) != 0;
        return true;
    }
    if (record.tag == TAG_RAW_XA_FILES) return TakeRawXaRecord(record, loaded, problem);
    if (record.tag == TAG_ENTRY_DISC_FACTS) return DecodeEntryFacts(record, loaded, problem);
    if (record.tag == TAG_VOLUME_TEXTS) return DecodeVolumeTexts(record, loaded, problem);
    if (record.tag == TAG_AUDIO_TRACK) {
        return TakeAudioTrackRecord(record, number, loaded.audioTracks, problem);
    }
    if (record.tag == TAG_DA_FILE) return TakeDaFileRecord(record, number, loaded, problem);
    if (record.tag == TAG_KEPT_SECTORS) return TakeKeptSectorsRecord(record, loaded.keptSectors, problem);
    if ((record.flags & EXTENSION_RECORD_REQUIRED) != 0) {
        problem = FormatMessage("its extension record %u has the tag 0x%04X, which this version "
                                "of Korvalin does not know and cannot do without",
                                number, record.tag);
        return false;
    }
    loaded.fileLeftovers.unknownRecords.push_back(std::move(record));
    return true;
}

bool ReadBlock(const uint8_t* data, size_t length, size_t offset, Project& loaded,
               std::string& problem) {
    ByteReader in(data, length);
    if (!in.Has(BLOCK_HEADER_BYTES) ||
        std::memcmp(data, EXTENSION_BLOCK_MAGIC, sizeof EXTENSION_BLOCK_MAGIC) != 0) {
        problem = FormatMessage("its extension block at byte %zu does not begin with \"%s\"",
                                offset, EXTENSION_BLOCK_MAGIC);
        return false;
    }
    in.Skip(sizeof EXTENSION_BLOCK_MAGIC);
    const uint16_t version = in.U16();
    const uint16_t oldestReader = in.U16();
    if (oldestReader > EXTENSION_VERSION) {
        problem = FormatMessage("its extension block has version %u and needs a Korvalin that "
                                "reads version %u (this one reads %u)",
                                version, oldestReader, EXTENSION_VERSION);
        return false;
    }
    const uint32_t count = in.U32();
    for (uint32_t i = 0; i < count; ++i) {
        if (!in.Has(RECORD_HEADER_BYTES)) {
            problem = FormatMessage("its extension block ends in record %u of %u", i, count);
            return false;
        }
        ExtensionRecord record;
        record.tag = in.U16();
        record.flags = in.U16();
        const uint32_t payloadBytes = in.U32();
        if (!in.Has(payloadBytes)) {
            problem = FormatMessage("its extension record %u has a length of %u bytes, past the "
                                    "end of the block",
                                    i, payloadBytes);
            return false;
        }
        record.payload.assign(in.Here(), in.Here() + payloadBytes);
        in.Skip(payloadBytes);
        if (!TakeRecord(std::move(record), i, loaded, problem)) return false;
    }
    if (in.Position() != length) {
        problem = FormatMessage("its extension block has %zu bytes after its last record",
                                length - in.Position());
        return false;
    }
    return true;
}

}  // namespace

void StoreProjectExtension(const Project& project, std::vector<uint8_t>& bytes, size_t fileStart) {
    const auto& kept = project.fileLeftovers.header;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (IsReservedHeaderByte(i)) bytes[fileStart + i] = kept[i];
    }
    const std::vector<ExtensionRecord> records = RecordsOf(project);
    if (records.empty()) return;
    const std::vector<uint8_t> block = BlockOf(records);
    std::vector<uint8_t> announcement;
    ByteWriter out(announcement);
    out.Bytes(EXTENSION_ANNOUNCEMENT_MARKER, 4);
    out.U32(static_cast<uint32_t>(bytes.size() - fileStart));
    out.U32(static_cast<uint32_t>(block.size()));
    std::memcpy(&bytes[fileStart + EXTENSION_ANNOUNCEMENT_OFFSET], announcement.data(),
                ANNOUNCEMENT_BYTES);
    bytes.insert(bytes.end(), block.begin(), block.end());
}

bool LoadProjectExtension(const std::vector<uint8_t>& bytes, size_t blocksEnd, Project& loaded,
                          std::string& problem) {
    auto& header = loaded.fileLeftovers.header;
    std::memcpy(header.data(), bytes.data(), header.size());
    uint8_t* announcement = header.data() + EXTENSION_ANNOUNCEMENT_OFFSET;
    if (std::memcmp(announcement, EXTENSION_ANNOUNCEMENT_MARKER, 4) != 0) return true;
    ByteReader where(announcement + 4, 8);
    const uint32_t offset = where.U32();
    const uint32_t length = where.U32();
    std::memset(announcement, 0, ANNOUNCEMENT_BYTES);  // a save announces afresh
    if (offset != blocksEnd) {
        problem = FormatMessage("its header announces an extension block at byte %u, but the "
                                "file blocks end at byte %zu",
                                offset, blocksEnd);
        return false;
    }
    if (length != bytes.size() - blocksEnd) {
        problem = FormatMessage("its header announces an extension block of %u bytes, but %zu "
                                "bytes follow the file blocks",
                                length, bytes.size() - blocksEnd);
        return false;
    }
    return ReadBlock(bytes.data() + offset, length, offset, loaded, problem);
}

}  // namespace korvalin
