// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/kept_disc_facts.h"

#include <cstring>

#include "image/volume_date.h"

namespace korvalin {

namespace {
constexpr uint32_t DATE_OFFSET = 18;
constexpr uint32_t FLAGS_OFFSET = 25;
constexpr uint32_t XA_FIELD_BYTES = 14;
constexpr uint32_t ROOT_RECORD_OFFSET = 156;

void PutFacts(uint8_t* record, uint32_t length, const EntryDiscFacts& facts, const RecordDateBytes* date,
              bool hasXa) {
    if (date != nullptr) std::memcpy(record + DATE_OFFSET, date->data(), date->size());
    if (facts.fileFlags) record[FLAGS_OFFSET] = *facts.fileFlags;
    if (hasXa && facts.xaField) std::memcpy(record + length - XA_FIELD_BYTES, facts.xaField->data(), XA_FIELD_BYTES);
}
}  // namespace

void PutKeptEntryFacts(uint8_t* record, uint32_t length, const EntryRecord& entry, bool hasXa) {
    const EntryDiscFacts& facts = entry.discFacts;
    if (facts.Empty()) return;
    PutFacts(record, length, facts, KeptDate(facts, entry.dosDate, entry.dosTime), hasXa);
}

void PutKeptDate(uint8_t* record, const std::optional<RecordDateBytes>& date) {
    if (date) std::memcpy(record + DATE_OFFSET, date->data(), date->size());
}

void PutKeptVolumeTexts(const Project& project, uint8_t* descriptor) {
    const VolumeTexts& texts = project.volumeTexts;
    const std::string volumeDate = volumeDateString(project.volumeInfo);
    const bool datesCurrent = texts.datedWith == volumeDate;
    for (size_t i = 0; i < VOLUME_FIELD_COUNT; ++i) {
        const VolumeFieldPlace& place = VOLUME_FIELD_PLACES[i];
        if (!texts.fields[i] || (place.isDate && !datesCurrent)) continue;
        std::memcpy(descriptor + place.offset, texts.fields[i]->data(), place.length);
    }
    // The root's record goes with the volume date, which dates it.
    const EntryDiscFacts& root = project.dirTable[0].discFacts;
    if (root.Empty()) return;
    const CalendarTime utc = SubtractDisplayHour(VolumeDateOf(project.volumeInfo));
    PutFacts(descriptor + ROOT_RECORD_OFFSET, 34, root, KeptDate(root, PackDosDate(utc), PackDosTime(utc)), false);
}

}  // namespace korvalin
