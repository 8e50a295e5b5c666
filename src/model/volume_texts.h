// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The primary volume descriptor's text fields and dates as a dumped disc
// recorded them, each kept as its exact bytes when it differs from what the
// compile writes. A project Korvalin made keeps none.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvalin {

enum VolumeField : uint8_t {
    VOLUME_SYSTEM_ID,
    VOLUME_SET_ID,
    VOLUME_PUBLISHER_ID,
    VOLUME_PREPARER_ID,
    VOLUME_APPLICATION_ID,
    VOLUME_COPYRIGHT_FILE,
    VOLUME_ABSTRACT_FILE,
    VOLUME_BIBLIOGRAPHIC_FILE,
    VOLUME_CREATION_DATE,
    VOLUME_MODIFICATION_DATE,
    VOLUME_EXPIRATION_DATE,
    VOLUME_EFFECTIVE_DATE,
    VOLUME_FIELD_COUNT
};

struct VolumeFieldPlace {
    uint32_t offset;  // in the descriptor
    uint32_t length;
    const char* name;  // as `ls --json` names it
    bool isDate;
};
extern const std::array<VolumeFieldPlace, VOLUME_FIELD_COUNT> VOLUME_FIELD_PLACES;

struct VolumeTexts {
    std::array<std::optional<std::vector<uint8_t>>, VOLUME_FIELD_COUNT> fields;
    // The volume date (16 digits, as the descriptor writes it) the kept
    // dates go with: once the volume date is edited they give way.
    std::string datedWith;

    bool Empty() const {
        for (const auto& field : fields) {
            if (field) return false;
        }
        return true;
    }
    bool operator==(const VolumeTexts&) const = default;
};

// The field's kept text without its trailing blanks and NULs; "" when the
// field is not kept (the compile writes the usual text).
std::string VolumeTextOf(const VolumeTexts& texts, size_t field);
// Keeps `text`, padded with blanks to the field's width (it must fit); ""
// drops the field, so the usual text is written again.
void SetVolumeText(VolumeTexts& texts, size_t field, const std::string& text);

}  // namespace korvalin
