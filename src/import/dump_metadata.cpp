// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/dump_metadata.h"

#include <cstring>

#include "image/byte_order.h"
#include "image/directory_extent.h"
#include "image/volume_date.h"
#include "image/volume_descriptor.h"
#include "layout/recompute_layout.h"

namespace korvalin {

namespace {

constexpr RecordDateBytes UNDATED{};  // what "." and ".." carry when written here

RecordDateBytes DateBytes(const RecordDate& d) {
    return {static_cast<uint8_t>(d.year - 1900), static_cast<uint8_t>(d.month),  static_cast<uint8_t>(d.day),
            static_cast<uint8_t>(d.hour),        static_cast<uint8_t>(d.minute), static_cast<uint8_t>(d.second),
            static_cast<uint8_t>(d.gmtOffset)};
}

XaFieldBytes DerivedXaField(uint16_t attributes) {
    XaFieldBytes field{};
    field[4] = static_cast<uint8_t>(attributes >> 8);
    field[5] = static_cast<uint8_t>(attributes);
    field[6] = 'X';
    field[7] = 'A';
    return field;
}

// The date, flags and CD-XA field of `r` where they differ from what the
// entry's record gets written with. `derivedDate` is the date it would carry.
void KeepRecordFacts(const DirectoryRecord& r, EntryRecord& entry, const RecordDateBytes& derivedDate,
                     bool directory) {
    EntryDiscFacts& facts = entry.discFacts;
    if (DateBytes(r.date) != derivedDate) {
        facts.date = DateBytes(r.date);
        facts.dosDate = entry.dosDate;
        facts.dosTime = entry.dosTime;
    }
    if (r.flags != (directory ? RECORD_FLAG_DIRECTORY : 0)) facts.fileFlags = r.flags;
    if (r.hasXa && r.xaField != DerivedXaField(directory ? XA_DIR_ATTRIBUTES : XA_FILE_ATTRIBUTES)) {
        facts.xaField = r.xaField;
    }
}

RecordDateBytes WrittenDate(const CalendarTime& t) {
    RecordDateBytes bytes{};
    WriteDirRecordDate(bytes.data(), t.day, t.month, t.year, t.hour, t.minute, t.second);
    return bytes;
}

RecordDateBytes DerivedEntryDate(const EntryRecord& entry) {
    return WrittenDate(RecordTimeOfEntry(entry.dosDate, entry.dosTime));
}

void KeepSelfAndParentDates(const IsoDirectory& dir, EntryDiscFacts& facts) {
    if (DateBytes(dir.selfRecord.date) != UNDATED) facts.selfDate = DateBytes(dir.selfRecord.date);
    if (DateBytes(dir.parentRecord.date) != UNDATED) facts.parentDate = DateBytes(dir.parentRecord.date);
}

void KeepDirectoryFacts(DumpPlan& plan, const std::vector<int32_t>& projectDir) {
    Project& p = plan.project;
    Project packed = p;  // laid out apart: the dump's own layout steps come later
    RecomputeLayout(packed);
    for (size_t i = 0; i < plan.tree.dirs.size(); ++i) {
        if (projectDir[i] < 0) continue;
        const IsoDirectory& dir = plan.tree.dirs[i];
        DirEntry& entry = p.dirTable[static_cast<size_t>(projectDir[i])];
        if (i == 0) {
            const VolumeInfo& v = p.volumeInfo;
            const CalendarTime shown{v.year, v.month, v.day, v.hour, v.minute, v.second};
            KeepRecordFacts(dir.record, entry, WrittenDate(shown), true);
            entry.discFacts.xaField.reset();  // the descriptor's root record has no CD-XA field
        } else {
            KeepRecordFacts(dir.record, entry, DerivedEntryDate(entry), true);
        }
        KeepSelfAndParentDates(dir, entry.discFacts);
        const uint32_t packedSize = packed.dirTable[static_cast<size_t>(projectDir[i])].size;
        if (dir.record.size > packedSize) entry.discFacts.extentSize = dir.record.size;
    }
}

void KeepVolumeTexts(DumpPlan& plan) {
    Project derived = plan.project;
    uint8_t built[USER_DATA_BYTES] = {};
    BuildPrimaryVolumeDescriptor(derived, built);
    ImageReader reader(*plan.image.source, plan.image.format);
    uint8_t recorded[USER_DATA_BYTES] = {};
    if (!reader.ReadUserData(PRIMARY_VOLUME_LBA, recorded)) return;
    VolumeTexts& texts = plan.project.volumeTexts;
    for (size_t i = 0; i < VOLUME_FIELD_COUNT; ++i) {
        const VolumeFieldPlace& place = VOLUME_FIELD_PLACES[i];
        if (std::memcmp(built + place.offset, recorded + place.offset, place.length) == 0) continue;
        texts.fields[i] = std::vector<uint8_t>(recorded + place.offset, recorded + place.offset + place.length);
    }
    if (!texts.Empty()) texts.datedWith = volumeDateString(plan.project.volumeInfo);
}

}  // namespace

void KeepDiscMetadata(DumpPlan& plan, const std::vector<int32_t>& projectDir) {
    for (const DumpedFile& file : plan.files) {
        if (file.fileIndex < 0) continue;
        FileEntry& entry = plan.project.fileTable[static_cast<size_t>(file.fileIndex)];
        KeepRecordFacts(file.record, entry, DerivedEntryDate(entry), false);
    }
    KeepDirectoryFacts(plan, projectDir);
    KeepVolumeTexts(plan);
}

}  // namespace korvalin
