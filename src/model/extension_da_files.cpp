// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/extension_da_files.h"

#include "model/byte_io.h"
#include "model/message_format.h"
#include "model/project_extension.h"

namespace korvalin {

namespace {
constexpr size_t PAYLOAD_BYTES = 8;
constexpr char DAMAGED[] = "its extension record %u (DA file) %s";
}  // namespace

ExtensionRecord DaFileRecord(int32_t fileIndex, int32_t track) {
    ExtensionRecord record{TAG_DA_FILE, EXTENSION_RECORD_REQUIRED, {}};
    ByteWriter out(record.payload);
    out.I32(FileId(fileIndex));
    out.I32(track);
    return record;
}

bool TakeDaFileRecord(const ExtensionRecord& record, uint32_t number, Project& loaded,
                      std::string& problem) {
    std::string what;
    if (record.payload.size() < PAYLOAD_BYTES) {
        what = FormatMessage("has %zu bytes, fewer than %zu", record.payload.size(), PAYLOAD_BYTES);
    } else {
        ByteReader in(record.payload.data(), PAYLOAD_BYTES);
        const int32_t id = in.I32();
        const int32_t track = in.I32();
        if (IsDirId(id) || !IsValidEntryId(loaded, id)) {
            what = FormatMessage("names entry %d, which is no file of the project", id);
        } else if (track < 2 || track > MAX_AUDIO_TRACKS + 1) {
            what = FormatMessage("names track %d", track);
        } else {
            EntryById(loaded, id).daTrack = track;
            return true;
        }
    }
    problem = FormatMessage(DAMAGED, number, what.c_str());
    return false;
}

}  // namespace korvalin
