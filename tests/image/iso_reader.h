#pragma once
// A small ISO 9660 reader for the tests, independent of the writer: it walks
// the tree from the volume descriptor's root record as any reader would.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace korvalin::test {

struct IsoRecord {
    std::string path;  // "/DATA/ONE.BIN;1"
    bool isDirectory = false;
    uint32_t lba = 0;
    uint32_t size = 0;
    std::array<uint8_t, 14> systemUse{};
};

// The 2048 user-data bytes of every sector, from a raw (2352) or plain (2048) image.
std::vector<uint8_t> UserDataOf(const std::vector<uint8_t>& image, int sectorSize);

// Every record below the root, depth first, "." and ".." left out. Throws
// std::runtime_error on anything malformed.
std::vector<IsoRecord> ReadIsoTree(const std::vector<uint8_t>& userData);

// The bytes of a record's extent.
std::vector<uint8_t> ExtentBytes(const std::vector<uint8_t>& userData, const IsoRecord& record);

uint32_t LE32(const uint8_t* p);
uint32_t BE32(const uint8_t* p);

}  // namespace korvalin::test
