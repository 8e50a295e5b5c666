// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/extension_xa.h"

#include "model/byte_io.h"
#include "model/message_format.h"
#include "model/project_extension.h"

namespace korvalin {

namespace {

constexpr char MSG_SHORT[] = "its raw XA record has %zu bytes, too few for its %u entries";
constexpr char MSG_NOT_A_FILE[] = "its raw XA record names entry %u, which is not a file of the project";

}  // namespace

std::optional<ExtensionRecord> RawXaRecordOf(const Project& project) {
    std::vector<uint32_t> ids;
    for (int32_t i = 0; i < project.fileCount(); ++i) {
        if (project.fileTable[static_cast<size_t>(i)].rawXa) ids.push_back(static_cast<uint32_t>(FileId(i)));
    }
    if (ids.empty()) return std::nullopt;
    // Required: a reader that passed over it would write these files as Form 1 data.
    ExtensionRecord record{TAG_RAW_XA_FILES, EXTENSION_RECORD_REQUIRED, {}};
    ByteWriter out(record.payload);
    out.U32(static_cast<uint32_t>(ids.size()));
    for (uint32_t id : ids) out.U32(id);
    return record;
}

bool TakeRawXaRecord(const ExtensionRecord& record, Project& loaded, std::string& problem) {
    ByteReader in(record.payload.data(), record.payload.size());
    const uint32_t count = in.Has(4) ? in.U32() : 0;
    if (record.payload.size() < 4 || (record.payload.size() - 4) / 4 < count) {
        problem = FormatMessage(MSG_SHORT, record.payload.size(), count);
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t id = in.U32();
        const uint32_t base = FILE_ID_BASE;
        if (id < base || id - base >= static_cast<uint32_t>(loaded.fileCount())) {
            problem = FormatMessage(MSG_NOT_A_FILE, id);
            return false;
        }
        loaded.fileTable[id - base].rawXa = true;
    }
    return true;
}

}  // namespace korvalin
