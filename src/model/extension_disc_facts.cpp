// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/extension_disc_facts.h"

#include "model/byte_io.h"
#include "model/message_format.h"
#include "model/project_extension.h"

namespace korvalin {

const std::array<VolumeFieldPlace, VOLUME_FIELD_COUNT> VOLUME_FIELD_PLACES = {{
    {8, 32, "system", false},
    {190, 128, "volumeSet", false},
    {318, 128, "publisher", false},
    {446, 128, "dataPreparer", false},
    {574, 128, "application", false},
    {702, 37, "copyrightFile", false},
    {739, 37, "abstractFile", false},
    {776, 37, "bibliographicFile", false},
    {813, 17, "created", true},
    {830, 17, "modified", true},
    {847, 17, "expires", true},
    {864, 17, "effective", true},
}};

namespace {

constexpr uint16_t HAS_DATE = 0x01;
constexpr uint16_t HAS_XA_FIELD = 0x02;
constexpr uint16_t HAS_FLAGS = 0x04;
constexpr uint16_t HAS_EXTENT_SIZE = 0x08;
constexpr uint16_t HAS_SELF_DATE = 0x10;
constexpr uint16_t HAS_PARENT_DATE = 0x20;
constexpr uint16_t KNOWN_FACTS = 0x3F;
constexpr uint16_t DIRECTORY_ONLY_FACTS = HAS_EXTENT_SIZE | HAS_SELF_DATE | HAS_PARENT_DATE;
constexpr size_t DATED_WITH_BYTES = 16;
constexpr uint32_t MAX_KEPT_EXTENT_SIZE = 16u << 20;  // as large as the reader takes a directory

constexpr char MSG_ENTRY_FACTS[] = "its exact metadata record (0x0004) ";
constexpr char MSG_VOLUME_TEXTS[] = "its volume texts record (0x0005) ";

uint16_t PresenceOf(const EntryDiscFacts& f) {
    return static_cast<uint16_t>((f.date ? HAS_DATE : 0) | (f.xaField ? HAS_XA_FIELD : 0) |
                                 (f.fileFlags ? HAS_FLAGS : 0) | (f.extentSize ? HAS_EXTENT_SIZE : 0) |
                                 (f.selfDate ? HAS_SELF_DATE : 0) | (f.parentDate ? HAS_PARENT_DATE : 0));
}

void PutEntry(ByteWriter& out, int32_t id, const EntryDiscFacts& f) {
    out.U32(static_cast<uint32_t>(id));
    out.U16(PresenceOf(f));
    if (f.date) {
        out.Bytes(f.date->data(), f.date->size());
        out.U16(f.dosDate);
        out.U16(f.dosTime);
    }
    if (f.xaField) out.Bytes(f.xaField->data(), f.xaField->size());
    if (f.fileFlags) out.U8(*f.fileFlags);
    if (f.extentSize) out.U32(f.extentSize);
    if (f.selfDate) out.Bytes(f.selfDate->data(), f.selfDate->size());
    if (f.parentDate) out.Bytes(f.parentDate->data(), f.parentDate->size());
}

size_t BytesFor(uint16_t presence) {
    return ((presence & HAS_DATE) ? 11 : 0) + ((presence & HAS_XA_FIELD) ? 14 : 0) + ((presence & HAS_FLAGS) ? 1 : 0) +
           ((presence & HAS_EXTENT_SIZE) ? 4 : 0) + ((presence & HAS_SELF_DATE) ? 7 : 0) +
           ((presence & HAS_PARENT_DATE) ? 7 : 0);
}

template <size_t N>
std::array<uint8_t, N> TakeArray(ByteReader& in) {
    std::array<uint8_t, N> bytes{};
    in.Bytes(bytes.data(), N);
    return bytes;
}

EntryDiscFacts TakeFacts(ByteReader& in, uint16_t presence) {
    EntryDiscFacts f;
    if (presence & HAS_DATE) {
        f.date = TakeArray<7>(in);
        f.dosDate = in.U16();
        f.dosTime = in.U16();
    }
    if (presence & HAS_XA_FIELD) f.xaField = TakeArray<14>(in);
    if (presence & HAS_FLAGS) f.fileFlags = in.U8();
    if (presence & HAS_EXTENT_SIZE) f.extentSize = in.U32();
    if (presence & HAS_SELF_DATE) f.selfDate = TakeArray<7>(in);
    if (presence & HAS_PARENT_DATE) f.parentDate = TakeArray<7>(in);
    return f;
}

// Why one entry's facts cannot be taken, or "" when they can.
std::string EntryProblem(const Project& loaded, uint32_t id, uint16_t presence) {
    if (!IsValidEntryId(loaded, static_cast<int32_t>(id))) return FormatMessage("names entry %u, which it has not", id);
    if (!EntryById(loaded, static_cast<int32_t>(id)).discFacts.Empty()) {
        return FormatMessage("names entry %u a second time", id);
    }
    if (presence == 0 || (presence & ~KNOWN_FACTS) != 0) {
        return FormatMessage("gives entry %u the facts 0x%04X, which this version cannot take", id, presence);
    }
    if (!IsDirId(static_cast<int32_t>(id)) && (presence & DIRECTORY_ONLY_FACTS) != 0) {
        return FormatMessage("gives the file entry %u a directory's facts", id);
    }
    return "";
}

void AppendEntry(std::vector<ExtensionRecord>& records, int32_t id, const EntryDiscFacts& facts) {
    if (facts.Empty()) return;
    ExtensionRecord record{TAG_ENTRY_DISC_FACTS, EXTENSION_RECORD_REQUIRED, {}};
    ByteWriter out(record.payload);
    PutEntry(out, id, facts);
    records.push_back(std::move(record));
}

}  // namespace

void AppendEntryFactRecords(const Project& project, std::vector<ExtensionRecord>& records) {
    for (int32_t d = 0; d < project.dirCount(); ++d) AppendEntry(records, d, project.dirTable[d].discFacts);
    for (int32_t f = 0; f < project.fileCount(); ++f) AppendEntry(records, FileId(f), project.fileTable[f].discFacts);
}

bool DecodeEntryFacts(const ExtensionRecord& record, Project& loaded, std::string& problem) {
    ByteReader in(record.payload.data(), record.payload.size());
    if (!in.Has(6)) {
        problem = std::string(MSG_ENTRY_FACTS) + FormatMessage("has %zu bytes, fewer than 6", record.payload.size());
        return false;
    }
    const uint32_t id = in.U32();
    const uint16_t presence = in.U16();
    std::string wrong = EntryProblem(loaded, id, presence);
    if (wrong.empty() && !in.Has(BytesFor(presence))) wrong = FormatMessage("of entry %u is cut short", id);
    if (!wrong.empty()) {
        problem = std::string(MSG_ENTRY_FACTS) + wrong;
        return false;
    }
    EntryDiscFacts facts = TakeFacts(in, presence);
    if ((presence & HAS_EXTENT_SIZE) != 0 && (facts.extentSize == 0 || facts.extentSize > MAX_KEPT_EXTENT_SIZE)) {
        problem = std::string(MSG_ENTRY_FACTS) +
                  FormatMessage("gives entry %u an extent size of %u bytes", id, facts.extentSize);
        return false;
    }
    EntryById(loaded, static_cast<int32_t>(id)).discFacts = facts;
    return true;
}

bool EncodeVolumeTexts(const Project& project, ExtensionRecord& record) {
    const VolumeTexts& texts = project.volumeTexts;
    if (texts.Empty()) return false;
    record = ExtensionRecord{TAG_VOLUME_TEXTS, EXTENSION_RECORD_REQUIRED, {}};
    ByteWriter out(record.payload);
    std::string datedWith = texts.datedWith;
    datedWith.resize(DATED_WITH_BYTES, '\0');
    out.Bytes(datedWith.data(), DATED_WITH_BYTES);
    uint16_t presence = 0;
    for (size_t i = 0; i < VOLUME_FIELD_COUNT; ++i) {
        if (texts.fields[i]) presence = static_cast<uint16_t>(presence | (1u << i));
    }
    out.U16(presence);
    for (size_t i = 0; i < VOLUME_FIELD_COUNT; ++i) {
        if (texts.fields[i]) out.Bytes(texts.fields[i]->data(), VOLUME_FIELD_PLACES[i].length);
    }
    return true;
}

bool DecodeVolumeTexts(const ExtensionRecord& record, Project& loaded, std::string& problem) {
    ByteReader in(record.payload.data(), record.payload.size());
    if (!in.Has(DATED_WITH_BYTES + 2)) {
        problem = std::string(MSG_VOLUME_TEXTS) + "is too short";
        return false;
    }
    VolumeTexts texts;
    texts.datedWith.assign(reinterpret_cast<const char*>(in.Here()), DATED_WITH_BYTES);
    in.Skip(DATED_WITH_BYTES);
    const uint16_t presence = in.U16();
    if (presence == 0 || presence >= (1u << VOLUME_FIELD_COUNT)) {
        problem = std::string(MSG_VOLUME_TEXTS) + FormatMessage("names fields 0x%04X, which this version cannot take",
                                                                presence);
        return false;
    }
    for (size_t i = 0; i < VOLUME_FIELD_COUNT; ++i) {
        if ((presence & (1u << i)) == 0) continue;
        const uint32_t length = VOLUME_FIELD_PLACES[i].length;
        if (!in.Has(length)) {
            problem = std::string(MSG_VOLUME_TEXTS) + FormatMessage("ends in its %s field", VOLUME_FIELD_PLACES[i].name);
            return false;
        }
        texts.fields[i] = std::vector<uint8_t>(in.Here(), in.Here() + length);
        in.Skip(length);
    }
    loaded.volumeTexts = std::move(texts);
    return true;
}

}  // namespace korvalin
