// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/volume_descriptor.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "image/byte_order.h"
#include "image/kept_disc_facts.h"
#include "image/volume_date.h"

namespace korvalin {

namespace {

constexpr char STANDARD_ID[] = "CD001";
constexpr char SYSTEM_ID[] = "PLAYSTATION";

// Copies `text` into a field of `width` bytes and fills the rest with spaces.
void PutPadded(uint8_t* out, const char* text, size_t width) {
    std::memset(out, ' ', width);
    std::memcpy(out, text, std::min(std::strlen(text), width));
}

void PadVolumeLabel(VolumeInfo& info) {
    auto& label = info.label;
    const size_t last = VOLUME_LABEL_FIELD - 1;
    for (size_t i = std::string_view(label.data(), last).find('\0'); i < last; ++i) label[i] = ' ';
    label[last] = '\0';
}

void PutDate(uint8_t* out, const std::string& digits) {
    std::memcpy(out, digits.data(), 16);
    out[16] = 0;  // offset from GMT
}

void PutRootRecord(uint8_t* out, const Project& project) {
    const VolumeInfo& v = project.volumeInfo;
    out[0] = 34;
    PutBoth32(out + 2, static_cast<uint32_t>(FirstDataLba(project.layoutState)));
    PutBoth32(out + 10, project.dirTable[0].size);
    WriteDirRecordDate(out + 18, v.day, v.month, v.year, v.hour, v.minute, v.second);
    out[25] = 2;  // directory
    PutBoth16(out + 28, 1);
    out[32] = 1;
    out[33] = 0;
}

}  // namespace

int32_t FirstDataLba(const LayoutState& layout) { return 18 + 4 * layout.pathTableSectors; }

void BuildPrimaryVolumeDescriptor(Project& project, uint8_t* buffer) {
    PadVolumeLabel(project.volumeInfo);
    const LayoutState& layout = project.layoutState;
    const uint32_t p = static_cast<uint32_t>(layout.pathTableSectors);
    const std::string date = volumeDateString(project.volumeInfo);

    buffer[0] = 1;
    std::memcpy(buffer + 1, STANDARD_ID, 5);
    buffer[6] = 1;
    PutPadded(buffer + 8, SYSTEM_ID, 32);
    std::memcpy(buffer + 40, project.volumeInfo.label.data(), 32);
    PutBoth32(buffer + 80, static_cast<uint32_t>(layout.totalSectors));
    PutBoth16(buffer + 120, 1);
    PutBoth16(buffer + 124, 1);
    PutBoth16(buffer + 128, 2048);
    PutBoth32(buffer + 132, static_cast<uint32_t>(layout.pathTableBytes));
    PutLE32(buffer + 140, 18);
    PutLE32(buffer + 144, p + 18);
    PutBE32(buffer + 148, 2 * p + 18);
    PutBE32(buffer + 152, 3 * p + 18);
    PutRootRecord(buffer + 156, project);
    PutPadded(buffer + 190, "", 128);  // volume set
    PutPadded(buffer + 318, "", 128);  // publisher
    PutPadded(buffer + 446, "", 128);  // data preparer
    PutPadded(buffer + 574, SYSTEM_ID, 128);
    PutPadded(buffer + 702, "", 3 * 37);  // copyright, abstract, bibliographic files
    PutDate(buffer + 813, date);
    PutDate(buffer + 830, date);
    PutDate(buffer + 847, std::string(16, '0'));
    PutDate(buffer + 864, std::string(16, '0'));
    buffer[881] = 1;
    std::memcpy(buffer + 1024, "CD-XA001", 8);
    PutKeptVolumeTexts(project, buffer);
}

void BuildVolumeDescriptorTerminator(uint8_t* buffer) {
    buffer[0] = 0xFF;
    std::memcpy(buffer + 1, STANDARD_ID, 5);
    buffer[6] = 1;
}

}  // namespace korvalin
