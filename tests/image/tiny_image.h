#pragma once
// A small but complete PlayStation-style disc built by hand for the verifier
// tests: system area, primary volume descriptor, terminator, the four path
// tables, the root (DATA\ and README.TXT) and DATA\ with FILE00.BIN ...
// in two sectors, every file with one sector of data.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "image/sector_encoder.h"
#include "image/sector_header.h"

namespace korvalin::test {

using UserSector = std::array<uint8_t, 2048>;

struct TinyImage {
    static constexpr int32_t PVD = 16;
    static constexpr int32_t TERMINATOR = 17;
    // 32 records of 60 bytes fill DATA's first sector after "." and "..",
    // 34 the second: both end near the sector's end.
    static constexpr int32_t DATA_FILES = 66;

    // P sectors per path table; with P = 2 the root's record fills the first
    // sector of each table (as far as the table's size says) and DATA's
    // record starts the second, after zero fill, as this program packs them.
    int32_t pathSectors = 1;
    int32_t lTable = 18, lCopy = 19, mTable = 20, mCopy = 21;
    int32_t root = 22;
    int32_t data = 23;  // two sectors
    int32_t readme = 25;
    int32_t firstDataFile = 26;
    uint32_t pathTableBytes = 22;

    std::vector<UserSector> sectors;

    int32_t SectorCount() const { return static_cast<int32_t>(sectors.size()); }

    std::vector<uint8_t> Plain() const {
        std::vector<uint8_t> out;
        for (const UserSector& s : sectors) out.insert(out.end(), s.begin(), s.end());
        return out;
    }

    // Stamped and encoded like the program's raw images; the system area all zero.
    std::vector<uint8_t> Raw() const {
        std::vector<uint8_t> out(sectors.size() * RAW_SECTOR_BYTES);
        SectorHeaderTemplate header;
        SectorEncoder encoder;
        for (size_t lba = 0; lba < sectors.size(); ++lba) {
            uint8_t* sector = out.data() + lba * RAW_SECTOR_BYTES;
            StampSectorHeader(sector, header);
            if (lba < 16) {
                std::memset(sector, 0, RAW_SECTOR_BYTES);
                continue;
            }
            std::memcpy(sector + USER_DATA_OFFSET, sectors[lba].data(), USER_DATA_BYTES);
            encoder.EncodeSector(sector);
        }
        return out;
    }
};

inline size_t RawOffset(int64_t lba, size_t byte) { return static_cast<size_t>(lba) * RAW_SECTOR_BYTES + byte; }

inline void PutBoth32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = p[7 - i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutBoth16(uint8_t* p, uint16_t v) {
    p[0] = p[3] = static_cast<uint8_t>(v);
    p[1] = p[2] = static_cast<uint8_t>(v >> 8);
}

// A directory record with the 14-byte CD-XA system-use field.
inline std::vector<uint8_t> DirRecord(const std::string& name, uint32_t extent, uint32_t size, bool directory) {
    const size_t n = name.size();
    const size_t length = 33 + n + (n % 2 == 0 ? 1 : 0) + 14;
    std::vector<uint8_t> r(length, 0);
    r[0] = static_cast<uint8_t>(length);
    PutBoth32(&r[2], extent);
    PutBoth32(&r[10], size);
    const uint8_t date[7] = {124, 6, 5, 11, 20, 30, 36};
    std::memcpy(&r[18], date, 7);
    r[25] = directory ? 2 : 0;
    PutBoth16(&r[28], 1);
    r[32] = static_cast<uint8_t>(n);
    std::memcpy(&r[33], name.data(), n);
    uint8_t* xa = &r[length - 14];
    xa[4] = directory ? 0x8D : 0x0D;
    xa[5] = 0x55;
    xa[6] = 'X';
    xa[7] = 'A';
    return r;
}

// Packs records as the program's writer does: a sector holds at most 2047
// bytes of records and none straddles two sectors.
inline void PackRecords(std::vector<UserSector>& sectors, int32_t firstLba,
                        const std::vector<std::vector<uint8_t>>& records) {
    int32_t lba = firstLba;
    size_t used = 0;
    for (const auto& r : records) {
        if (used + r.size() > 2047) {
            ++lba;
            used = 0;
        }
        std::memcpy(sectors[lba].data() + used, r.data(), r.size());
        used += r.size();
    }
}

inline std::string DataFileName(int32_t i) {
    const char digits[3] = {static_cast<char>('0' + i / 10), static_cast<char>('0' + i % 10), 0};
    return std::string("FILE") + digits + ".BIN;1";
}

inline void BuildPathTables(TinyImage& image) {
    uint8_t lRoot[10] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    uint8_t mRoot[10] = {1, 0, 0, 0, 0, 0, 0, 1, 0, 0};
    uint8_t lData[12] = {4, 0, 0, 0, 0, 0, 1, 0, 'D', 'A', 'T', 'A'};
    uint8_t mData[12] = {4, 0, 0, 0, 0, 0, 0, 1, 'D', 'A', 'T', 'A'};
    lRoot[2] = mRoot[5] = static_cast<uint8_t>(image.root);
    lData[2] = mData[5] = static_cast<uint8_t>(image.data);
    const size_t dataAt = image.pathSectors == 1 ? 10 : 2048;
    for (int32_t table : {image.lTable, image.lCopy, image.mTable, image.mCopy}) {
        const bool little = table == image.lTable || table == image.lCopy;
        std::memcpy(image.sectors[table].data(), little ? lRoot : mRoot, 10);
        uint8_t* dataRecord = image.pathSectors == 1 ? image.sectors[table].data() + 10 : image.sectors[table + 1].data();
        std::memcpy(dataRecord, little ? lData : mData, 12);
    }
    image.pathTableBytes = static_cast<uint32_t>(dataAt + 12);
}

inline void BuildVolumeDescriptors(TinyImage& image) {
    uint8_t* p = image.sectors[TinyImage::PVD].data();
    std::memset(p + 8, ' ', 2040 - 8);
    p[0] = 1;
    std::memcpy(p + 1, "CD001", 5);
    p[6] = 1;
    p[7] = 0;
    std::memcpy(p + 8, "PLAYSTATION", 11);
    std::memcpy(p + 40, "TINY", 4);
    std::memset(p + 72, 0, 190 - 72);
    PutBoth32(p + 80, static_cast<uint32_t>(image.SectorCount()));
    PutBoth16(p + 120, 1);
    PutBoth16(p + 124, 1);
    PutBoth16(p + 128, 2048);
    PutBoth32(p + 132, image.pathTableBytes);
    p[140] = static_cast<uint8_t>(image.lTable);
    p[144] = static_cast<uint8_t>(image.lCopy);
    p[151] = static_cast<uint8_t>(image.mTable);
    p[155] = static_cast<uint8_t>(image.mCopy);
    std::vector<uint8_t> root = DirRecord(std::string(1, '\0'), static_cast<uint32_t>(image.root), 2048, true);
    root.resize(34);
    root[0] = 34;
    std::memcpy(p + 156, root.data(), 34);
    std::memcpy(p + 813, "2024060511203000", 16);
    p[829] = 0;
    std::memcpy(p + 830, "2024060511203000", 16);
    p[846] = 0;
    std::memcpy(p + 847, "0000000000000000", 16);
    p[863] = 0;
    std::memcpy(p + 864, "0000000000000000", 16);
    p[880] = 0;
    p[881] = 1;
    std::memset(p + 882, 0, 2048 - 882);
    std::memcpy(p + 1024, "CD-XA001", 8);
    uint8_t* t = image.sectors[TinyImage::TERMINATOR].data();
    t[0] = 0xFF;
    std::memcpy(t + 1, "CD001", 5);
    t[6] = 1;
}

inline TinyImage BuildTinyImage(int32_t pathSectors = 1) {
    TinyImage image;
    const int32_t shift = 4 * (pathSectors - 1);
    image.pathSectors = pathSectors;
    image.lTable = 18;
    image.lCopy = 18 + pathSectors;
    image.mTable = 18 + 2 * pathSectors;
    image.mCopy = 18 + 3 * pathSectors;
    image.root += shift;
    image.data += shift;
    image.readme += shift;
    image.firstDataFile += shift;
    image.sectors.assign(static_cast<size_t>(image.firstDataFile + TinyImage::DATA_FILES), UserSector{});
    BuildPathTables(image);
    BuildVolumeDescriptors(image);
    const std::string self(1, '\0'), parent(1, '\1');
    const auto root = static_cast<uint32_t>(image.root);
    const auto data = static_cast<uint32_t>(image.data);
    PackRecords(image.sectors, image.root,
                {DirRecord(self, root, 2048, true), DirRecord(parent, root, 2048, true),
                 DirRecord("DATA", data, 4096, true),
                 DirRecord("README.TXT;1", static_cast<uint32_t>(image.readme), 11, false)});
    std::vector<std::vector<uint8_t>> records = {DirRecord(self, data, 4096, true),
                                                 DirRecord(parent, root, 2048, true)};
    for (int32_t i = 0; i < TinyImage::DATA_FILES; ++i) {
        records.push_back(DirRecord(DataFileName(i), static_cast<uint32_t>(image.firstDataFile + i), 100 + i, false));
        image.sectors[static_cast<size_t>(image.firstDataFile + i)].fill(static_cast<uint8_t>(i + 1));
    }
    PackRecords(image.sectors, image.data, records);
    std::memcpy(image.sectors[static_cast<size_t>(image.readme)].data(), "hello disc\n", 11);
    return image;
}

}  // namespace korvalin::test
