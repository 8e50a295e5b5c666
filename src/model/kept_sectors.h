// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sectors a dumped disc holds that the project cannot describe (another
// tool's descriptor quirks, path tables, directory padding, zero gaps
// without sync, data no file owns, sectors past the volume's end), kept
// verbatim in a side file beside the project. Each carries the hash of the
// sector this program generates at its LBA: the compile puts the disc's
// bytes back only where it still generates exactly that sector, so an edit
// regenerates what it touches.
//
// A kept descriptor, path table or directory sector names the disc's other
// structure sectors (a kept volume descriptor names the disc's root), so
// those are put back only while the whole tree is the dumped one: the side
// file records a hash of the tree, and an edited tree regenerates every
// structure sector.
//
// Side file, little-endian: "korvsec\0", u16 version, u16 sector bytes
// (2352 or 2048), u32 count, u32 the dumped layout's sector count, u64 the
// tree hash, then per sector: u32 LBA, u16 flags, u16 0, u64 generated
// hash, u32 stored length and the stored bytes (zlib, or plain when flagged).

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

constexpr char KEPT_SECTORS_MAGIC[] = "korvsec";  // 8 bytes with the NUL
constexpr uint16_t KEPT_SECTORS_VERSION = 1;
constexpr char KEPT_SECTORS_EXTENSION[] = ".ksec";
// Sector flags.
constexpr uint16_t KEPT_PAST_END = 0x0001;  // past the layout's end: nothing generated there
constexpr uint16_t KEPT_PLAIN = 0x0002;     // stored uncompressed
constexpr uint16_t KEPT_STRUCTURE = 0x0004; // a structure sector of the disc's or of the generated layout

// The project's reference to its side file (extension record 0x0006).
struct KeptSectorsRef {
    std::string path;        // in memory: absolute once loaded or dumped
    std::string storedPath;  // as the project file records it (relative to its folder when possible)
    uint32_t count = 0;
    uint64_t fileBytes = 0;
    uint64_t checksum = 0;  // FNV-1a 64 of the whole side file

    bool Present() const { return !path.empty(); }
    bool operator==(const KeptSectorsRef&) const = default;
};

struct KeptSector {
    int32_t lba = 0;
    uint16_t flags = 0;
    uint64_t generatedHash = 0;
    std::vector<uint8_t> stored;
};

struct KeptSectors {
    int32_t sectorBytes = 0;
    int32_t layoutSectors = 0;
    uint64_t treeHash = 0;
    std::vector<KeptSector> sectors;  // ascending LBA

    // The first kept sector at or after `lba`.
    std::vector<KeptSector>::const_iterator From(int32_t lba) const;
    bool AnyIn(int32_t first, int32_t count) const;
};

// FNV-1a, 64 bits; a hash of several pieces passes each result on as `hash`.
constexpr uint64_t HASH_START = 0xcbf29ce484222325ULL;
uint64_t HashBytes(const uint8_t* bytes, size_t count, uint64_t hash = HASH_START);

// The disc's sector as kept; `generated` is nullptr past the layout's end.
KeptSector PackKeptSector(int32_t lba, const uint8_t* disc, const uint8_t* generated, size_t sectorBytes);
// The disc's bytes back into `out` (sectorBytes long); false when damaged.
bool UnpackKeptSector(const KeptSector& sector, uint8_t* out, size_t sectorBytes);

std::vector<uint8_t> EncodeKeptSectors(const KeptSectors& kept);
bool DecodeKeptSectors(const std::vector<uint8_t>& bytes, KeptSectors& kept, std::string& problem);

// Writes the side file and fills `ref` (path, count, size, checksum).
bool WriteKeptSectorsFile(const std::string& path, const KeptSectors& kept, KeptSectorsRef& ref,
                          std::string& message);
// Reads the side file `ref` names; false with a message naming it when it
// is missing, changed since it was referenced, or damaged.
bool ReadKeptSectorsFile(const KeptSectorsRef& ref, KeptSectors& kept, std::string& message);

// The side file's path beside a project file: "X.krv" -> "X.ksec".
std::string KeptSectorsPathFor(const std::string& projectPath);
// After a load: a relative stored path is taken from the project's folder.
void AnchorKeptSectorsPath(KeptSectorsRef& ref, const std::string& projectPath);
// Before a save: the stored path becomes relative to the project's folder
// (absolute when there is no relative way), so a save-as elsewhere still finds it.
void StoreKeptSectorsPathFor(KeptSectorsRef& ref, const std::string& projectPath);

}  // namespace korvalin
