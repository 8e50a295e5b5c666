// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/extension_kept_sectors.h"

#include "model/byte_io.h"
#include "model/message_format.h"
#include "model/project_extension.h"

namespace korvalin {

namespace {

constexpr size_t FIXED_BYTES = 20;

}  // namespace

ExtensionRecord KeptSectorsRecord(const KeptSectorsRef& ref) {
    ExtensionRecord record{TAG_KEPT_SECTORS, EXTENSION_RECORD_REQUIRED, {}};
    ByteWriter out(record.payload);
    out.U32(ref.count);
    out.U64(ref.fileBytes);
    out.U64(ref.checksum);
    const std::string& path = ref.storedPath.empty() ? ref.path : ref.storedPath;
    out.Bytes(path.data(), path.size());
    return record;
}

bool TakeKeptSectorsRecord(const ExtensionRecord& record, KeptSectorsRef& ref,
                           std::string& problem) {
    if (record.payload.size() <= FIXED_BYTES) {
        problem = FormatMessage(
            "its extension record for kept sectors has %zu bytes, too few to name a file",
            record.payload.size());
        return false;
    }
    ByteReader in(record.payload.data(), record.payload.size());
    ref.count = in.U32();
    ref.fileBytes = in.U64();
    ref.checksum = in.U64();
    ref.storedPath.assign(reinterpret_cast<const char*>(in.Here()),
                          record.payload.size() - FIXED_BYTES);
    ref.path = ref.storedPath;
    return true;
}

}  // namespace korvalin
