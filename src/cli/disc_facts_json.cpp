// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/disc_facts_json.h"

#include "model/message_format.h"

namespace korvalin::cli {

namespace {

// "YYYY-MM-DDTHH:MM:SS.hh+HH:MM" for 16 digits, else the characters as recorded.
std::string VolumeDateText(const std::vector<uint8_t>& field) {
    const std::string digits(field.begin(), field.begin() + 16);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return digits;
    const int offset = static_cast<int8_t>(field[16]) * 15;
    const int magnitude = offset < 0 ? -offset : offset;
    return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2) + "T" + digits.substr(8, 2) +
           ":" + digits.substr(10, 2) + ":" + digits.substr(12, 2) + "." + digits.substr(14, 2) +
           FormatMessage("%c%2.2d:%2.2d", offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
}

}  // namespace

Json DiscFactsJson(const EntryRecord& entry, bool isRoot, const Project& project) {
    const EntryDiscFacts& f = entry.discFacts;
    Json out = Json::object();
    if (f.date) {
        out["date"] = ExactDateText(*f.date);
        uint16_t dosDate = entry.dosDate;
        uint16_t dosTime = entry.dosTime;
        if (isRoot) {
            const CalendarTime utc = SubtractDisplayHour(VolumeDateOf(project.volumeInfo));
            dosDate = PackDosDate(utc);
            dosTime = PackDosTime(utc);
        }
        out["dateInUse"] = KeptDate(f, dosDate, dosTime) != nullptr;
    }
    if (f.fileFlags) out["flags"] = *f.fileFlags;
    if (f.xaField) {
        const XaFieldBytes& x = *f.xaField;
        out["xa"] = {{"ownerGroup", (x[0] << 8) | x[1]},
                     {"ownerUser", (x[2] << 8) | x[3]},
                     {"attributes", (x[4] << 8) | x[5]},
                     {"signature", std::string(x.begin() + 6, x.begin() + 8)},
                     {"fileNumber", x[8]}};
    }
    if (f.extentSize) out["extentSize"] = f.extentSize;
    if (f.selfDate) out["selfDate"] = ExactDateText(*f.selfDate);
    if (f.parentDate) out["parentDate"] = ExactDateText(*f.parentDate);
    return out;
}

Json VolumeTextsJson(const VolumeTexts& texts) {
    Json out = Json::object();
    for (size_t i = 0; i < VOLUME_FIELD_COUNT; ++i) {
        if (!texts.fields[i]) continue;
        const std::vector<uint8_t>& field = *texts.fields[i];
        if (VOLUME_FIELD_PLACES[i].isDate) {
            out[VOLUME_FIELD_PLACES[i].name] = VolumeDateText(field);
            continue;
        }
        std::string text(field.begin(), field.end());
        while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
        out[VOLUME_FIELD_PLACES[i].name] = text;
    }
    return out;
}

}  // namespace korvalin::cli
