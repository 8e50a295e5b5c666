// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/entry_record.h"

#include <algorithm>
#include <cstring>

namespace korvalin {

std::string_view EntryRecord::Name() const {
    const char* end = std::find(name.begin(), name.end(), '\0');
    return std::string_view(name.data(), static_cast<size_t>(end - name.begin()));
}

void EntryRecord::SetName(std::string_view text) {
    name.fill('\0');
    const size_t n = std::min(text.size(), static_cast<size_t>(NAME_FIELD_SIZE - 1));
    std::memcpy(name.data(), text.data(), n);
    nameLength = static_cast<uint32_t>(n);
}

uint32_t DirRecordLength(uint32_t nameLength) {
    return nameLength + 47 + (nameLength % 2 == 0 ? 1 : 0);
}

uint32_t FileRecordLength(uint32_t nameLength) {
    return nameLength + 49 + (nameLength % 2 == 0 ? 1 : 0);
}

}  // namespace korvalin
