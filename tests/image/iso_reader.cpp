#include "image/iso_reader.h"

#include <cstring>
#include <stdexcept>

namespace korvalin::test {

uint32_t LE32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

uint32_t BE32(const uint8_t* p) {
    return uint32_t{p[3]} | (uint32_t{p[2]} << 8) | (uint32_t{p[1]} << 16) | (uint32_t{p[0]} << 24);
}

std::vector<uint8_t> UserDataOf(const std::vector<uint8_t>& image, int sectorSize) {
    if (sectorSize == 2048) return image;
    std::vector<uint8_t> data;
    for (size_t at = 0; at + 2352 <= image.size(); at += 2352) {
        data.insert(data.end(), image.begin() + at + 24, image.begin() + at + 24 + 2048);
    }
    return data;
}

namespace {

void Require(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
}

uint32_t Both32(const uint8_t* p, const std::string& what) {
    Require(LE32(p) == BE32(p + 4), what + ": byte orders differ");
    return LE32(p);
}

void ReadDirectory(const std::vector<uint8_t>& data, uint32_t lba, uint32_t size,
                   const std::string& prefix, int depth, std::vector<IsoRecord>& out) {
    Require(depth < 9, "directory tree too deep at " + prefix);
    Require(uint64_t{lba} * 2048 + size <= data.size(), "directory beyond the image: " + prefix);
    for (uint32_t sector = 0; sector < size / 2048; ++sector) {
        const uint8_t* base = data.data() + (uint64_t{lba} + sector) * 2048;
        for (uint32_t at = 0; at < 2048 && base[at] != 0;) {
            const uint8_t* r = base + at;
            const uint32_t length = r[0];
            Require(at + length <= 2048 && length >= 34, "record crosses a sector in " + prefix);
            const uint32_t n = r[32];
            IsoRecord record;
            record.lba = Both32(r + 2, prefix);
            record.size = Both32(r + 10, prefix);
            record.isDirectory = (r[25] & 2) != 0;
            const uint32_t systemUseAt = 33 + n + (n % 2 == 0 ? 1 : 0);
            Require(length - systemUseAt == 14, "system use field is not 14 bytes in " + prefix);
            std::memcpy(record.systemUse.data(), r + systemUseAt, 14);
            const std::string name(reinterpret_cast<const char*>(r + 33), n);
            at += length;
            if (n == 1 && (name[0] == 0 || name[0] == 1)) continue;
            record.path = prefix + "/" + name;
            out.push_back(record);
            if (record.isDirectory) {
                ReadDirectory(data, record.lba, record.size, record.path, depth + 1, out);
            }
        }
    }
}

}  // namespace

std::vector<IsoRecord> ReadIsoTree(const std::vector<uint8_t>& data) {
    Require(data.size() >= 17 * 2048, "image too short");
    const uint8_t* pvd = data.data() + 16 * 2048;
    Require(pvd[0] == 1 && std::memcmp(pvd + 1, "CD001", 5) == 0, "no primary volume descriptor");
    const uint8_t* root = pvd + 156;
    std::vector<IsoRecord> records;
    ReadDirectory(data, Both32(root + 2, "root"), Both32(root + 10, "root"), "", 0, records);
    return records;
}

std::vector<uint8_t> ExtentBytes(const std::vector<uint8_t>& data, const IsoRecord& record) {
    const uint64_t at = uint64_t{record.lba} * 2048;
    Require(at + record.size <= data.size(), "extent beyond the image: " + record.path);
    return std::vector<uint8_t>(data.begin() + at, data.begin() + at + record.size);
}

}  // namespace korvalin::test
