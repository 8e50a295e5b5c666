// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/system_area_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "disc/image_source.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "image/system_area_sectors.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr int32_t LICENSE_TEXT_SECTOR = 4;
constexpr size_t CUE_BYTES_READ = 64 * 1024;  // a cue sheet is small; this is more than enough
constexpr size_t LICENSE_TEXT_LIMIT = 160;

struct SectorLayout {
    int32_t sectorBytes;  // 2352, 2336 or 2048
    int32_t sectorCount;  // sectors the file gives (12 or 16)
    const char* what;     // for the success message
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsLicenseSize(uint64_t size, SectorLayout& layout) {
    for (int32_t bytes : {2352, 2336, 2048}) {
        for (int32_t count : {12, 16}) {
            if (size == static_cast<uint64_t>(bytes) * static_cast<uint64_t>(count)) {
                layout = {bytes, count, "a license file"};
                return true;
            }
        }
    }
    return false;
}

// A disc image has its volume descriptor ("\1CD001") at sector 16.
bool IsDiscImage(ImageSource& source, SectorLayout& layout) {
    for (int32_t bytes : {2352, 2048}) {
        const uint64_t at = 16ull * static_cast<uint64_t>(bytes) + (bytes == 2352 ? 24 : 0);
        uint8_t id[6];
        if (source.Read(at, id, sizeof id) && std::memcmp(id, "\1CD001", 6) == 0) {
            layout = {bytes, SYSTEM_AREA_SECTORS,
                      bytes == 2352 ? "a raw disc image" : "a 2048-byte disc image"};
            return true;
        }
    }
    return false;
}

bool IsAllZero(const uint8_t* bytes, size_t count) {
    return std::all_of(bytes, bytes + count, [](uint8_t b) { return b == 0; });
}

// One sector of the file as a stored raw sector of LBA `lba`.
void ToRawSector(const uint8_t* in, int32_t inBytes, int32_t lba, uint8_t* out) {
    if (inBytes == RAW_SECTOR_BYTES) {
        std::memcpy(out, in, RAW_SECTOR_BYTES);
    } else if (IsAllZero(in, static_cast<size_t>(inBytes))) {
        std::memset(out, 0, RAW_SECTOR_BYTES);
    } else if (inBytes == RAW_SECTOR_BYTES - 16) {
        MakeEmptyRawSector(lba, out);
        std::memcpy(out + 16, in, static_cast<size_t>(inBytes));
    } else {
        std::memcpy(out, initialSectorHeader.data(), SECTOR_HEADER_BYTES);
        const auto address = BcdAddressOfLba(lba);
        std::memcpy(out + 12, address.data(), address.size());
        std::memcpy(out + USER_DATA_OFFSET, in, USER_DATA_BYTES);
        SectorEncoder().EncodeSector(out);
    }
}

// Raw sectors must be usable as they stand: empty, or Mode 2 with sync.
int32_t FirstUnusableSector(const std::vector<uint8_t>& area) {
    for (int32_t i = 0; i < SYSTEM_AREA_SECTORS; ++i) {
        const uint8_t* sector = area.data() + i * RAW_SECTOR_SIZE;
        const bool empty = IsAllZero(sector, RAW_SECTOR_SIZE);
        if (!empty && !(HasSyncPattern(sector) && sector[15] == 2)) return i;
    }
    return -1;
}

bool ReadSectors(ImageSource& source, const SectorLayout& layout, const std::string& path,
                 std::vector<uint8_t>& area, std::string& message) {
    std::vector<uint8_t> in(static_cast<size_t>(layout.sectorBytes));
    for (int32_t i = 0; i < SYSTEM_AREA_SECTORS; ++i) {
        uint8_t* out = area.data() + i * RAW_SECTOR_SIZE;
        if (i >= layout.sectorCount) {
            MakeEmptyRawSector(i, out);
            continue;
        }
        if (!source.Read(static_cast<uint64_t>(i) * in.size(), in.data(), in.size())) {
            message = FormatMessage("Cannot read sector %d of \"%s\"", i, path.c_str());
            return false;
        }
        ToRawSector(in.data(), layout.sectorBytes, i, out);
    }
    const int32_t bad = FirstUnusableSector(area);
    if (bad >= 0) {
        message = FormatMessage("\"%s\": sector %d is neither empty nor a Mode 2 sector with sync",
                                path.c_str(), bad);
        return false;
    }
    return true;
}

bool AreaFromFile(const std::string& path, bool discImageOnly, std::vector<uint8_t>& area,
                  std::string& what, std::string& message) {
    FileImageSource source;
    std::string reason;
    if (!source.Open(path, reason)) {
        message = FormatMessage("Cannot read \"%s\": %s", path.c_str(), reason.c_str());
        return false;
    }
    SectorLayout layout{};
    const bool known = (!discImageOnly && IsLicenseSize(source.Size(), layout)) ||
                       IsDiscImage(source, layout);
    if (!known) {
        message = FormatMessage(
            "\"%s\" (%llu bytes) is neither a disc image (raw or 2048-byte, with its volume "
            "descriptor at sector 16) nor a license file (12 or 16 sectors of 2352, 2336 or "
            "2048 bytes)",
            path.c_str(), static_cast<unsigned long long>(source.Size()));
        return false;
    }
    if (!ReadSectors(source, layout, path, area, message)) return false;
    what = FormatMessage("%s, %d sectors of %d bytes", layout.what, layout.sectorCount,
                         layout.sectorBytes);
    return true;
}

// Printable text of a sector's user data, runs of blanks and other bytes
// shown as one blank.
std::string PrintableText(const uint8_t* data, size_t count) {
    std::string text;
    for (size_t i = 0; i < count && text.size() < LICENSE_TEXT_LIMIT; ++i) {
        const bool printable = data[i] > 0x20 && data[i] < 0x7F;
        if (printable) {
            text += static_cast<char>(data[i]);
        } else if (!text.empty() && text.back() != ' ') {
            text += ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

const char* OnOff(bool value) { return value ? "on" : "off"; }

}  // namespace

bool ImagePathOfCueSheet(const std::string& cuePath, std::string& imagePath, std::string& message) {
    std::ifstream cue(cuePath, std::ios::binary);
    if (!cue) {
        message = FormatMessage("Cannot read \"%s\"", cuePath.c_str());
        return false;
    }
    std::string text(CUE_BYTES_READ, '\0');
    cue.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(cue.gcount()));
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (Lower(keyword) != "file") continue;
        words >> std::ws;
        std::string name;
        if (words.peek() == '"') {
            words.get();
            std::getline(words, name, '"');
        } else {
            words >> name;
        }
        if (name.empty()) break;
        const std::filesystem::path image(name);
        imagePath = image.is_absolute()
                        ? name
                        : (std::filesystem::path(cuePath).parent_path() / image).string();
        return true;
    }
    message = FormatMessage("\"%s\": no FILE line names the image", cuePath.c_str());
    return false;
}

bool LoadSystemAreaFromFile(Project& project, const std::string& path, std::string& message) {
    std::string source = path;
    const bool isCue = Lower(std::filesystem::path(path).extension().string()) == ".cue";
    if (isCue && !ImagePathOfCueSheet(path, source, message)) return false;
    std::vector<uint8_t> area(SYSTEM_AREA_SIZE, 0);
    std::string what;
    if (!AreaFromFile(source, isCue, area, what, message)) return false;
    project.systemArea = std::move(area);
    project.settings.keepSystemArea = true;
    message = FormatMessage("System area taken from \"%s\" (%s)", source.c_str(), what.c_str());
    return true;
}

void ClearSystemArea(Project& project) {
    project.systemArea.assign(SYSTEM_AREA_SIZE, 0);
    project.settings.keepSystemArea = false;
}

std::string DescribeSystemArea(const Project& project) {
    const uint8_t* area = project.systemArea.data();
    int32_t withData = 0;
    int32_t withSync = 0;
    int32_t addressed = 0;
    for (int32_t i = 0; i < SYSTEM_AREA_SECTORS; ++i) {
        const uint8_t* sector = area + i * RAW_SECTOR_SIZE;
        if (!IsAllZero(sector + USER_DATA_OFFSET, USER_DATA_BYTES)) ++withData;
        if (!HasSyncPattern(sector)) continue;
        ++withSync;
        const auto address = BcdAddressOfLba(i);
        if (std::memcmp(sector + 12, address.data(), address.size()) == 0) ++addressed;
    }
    std::string out;
    if (IsAllZero(area, SYSTEM_AREA_SIZE)) {
        out += "System area: all zero\n";
    } else {
        out += FormatMessage("System area: %d of 16 sectors hold data\n", withData);
    }
    out += FormatMessage("Sync and header: %d of 16 sectors (%d with the address of their LBA)\n",
                         withSync, addressed);
    const std::string license = PrintableText(
        area + LICENSE_TEXT_SECTOR * RAW_SECTOR_SIZE + USER_DATA_OFFSET, USER_DATA_BYTES);
    out += "License text: " + (license.empty() ? std::string("none") : license) + "\n";
    out += FormatMessage("Keep system-area data: %s\n", OnOff(project.settings.keepSystemArea));
    out += FormatMessage("Stamp empty system area: %s\n", OnOff(project.settings.stampSystemArea));
    return out;
}

}  // namespace korvalin
