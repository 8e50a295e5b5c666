// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/volume_texts.h"

#include <algorithm>

namespace korvalin {

std::string VolumeTextOf(const VolumeTexts& texts, size_t field) {
    if (!texts.fields[field]) return {};
    std::string text(texts.fields[field]->begin(), texts.fields[field]->end());
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return text;
}

void SetVolumeText(VolumeTexts& texts, size_t field, const std::string& text) {
    if (text.empty()) {
        texts.fields[field].reset();
        return;
    }
    std::vector<uint8_t> bytes(VOLUME_FIELD_PLACES[field].length, ' ');
    std::copy(text.begin(), text.end(), bytes.begin());
    texts.fields[field] = bytes;
}

}  // namespace korvalin
