// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/kept_sectors.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "model/byte_io.h"
#include "model/message_format.h"
#include "platform/file_io.h"

namespace korvalin {

namespace {

namespace fs = std::filesystem;

constexpr size_t FILE_HEADER_BYTES = 28;
constexpr size_t SECTOR_HEADER_BYTES = 20;
constexpr uint64_t FNV_PRIME = 0x100000001b3ULL;

constexpr char MSG_CANNOT_READ[] =
    "kept sectors: %s: cannot be read (%s); put it back or dump the disc again";
constexpr char MSG_CHANGED[] =
    "kept sectors: %s: changed since it was written (%llu bytes, %llu expected, or another "
    "checksum); put back the file the dump wrote or dump the disc again";
constexpr char MSG_DAMAGED[] = "kept sectors: %s: damaged: %s";

bool ReadSectors(ByteReader& in, uint32_t count, size_t sectorBytes, KeptSectors& kept,
                 std::string& problem) {
    int32_t previous = -1;
    for (uint32_t i = 0; i < count; ++i) {
        if (!in.Has(SECTOR_HEADER_BYTES)) {
            problem = FormatMessage("it ends in sector %u of %u", i, count);
            return false;
        }
        KeptSector sector;
        sector.lba = in.I32();
        sector.flags = in.U16();
        in.Skip(2);
        sector.generatedHash = in.U64();
        const uint32_t length = in.U32();
        if (sector.lba <= previous || !in.Has(length) || length > 2 * sectorBytes ||
            ((sector.flags & KEPT_PLAIN) && length != sectorBytes)) {
            problem = FormatMessage("its sector %u (LBA %d) is out of order or of a wrong length",
                                    i, sector.lba);
            return false;
        }
        previous = sector.lba;
        sector.stored.assign(in.Here(), in.Here() + length);
        in.Skip(length);
        kept.sectors.push_back(std::move(sector));
    }
    return true;
}

}  // namespace

std::vector<KeptSector>::const_iterator KeptSectors::From(int32_t lba) const {
    return std::lower_bound(sectors.begin(), sectors.end(), lba,
                            [](const KeptSector& s, int32_t value) { return s.lba < value; });
}

bool KeptSectors::AnyIn(int32_t first, int32_t count) const {
    const auto it = From(first);
    return it != sectors.end() && it->lba < first + count;
}

uint64_t HashBytes(const uint8_t* bytes, size_t count, uint64_t hash) {
    for (size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * FNV_PRIME;
    return hash;
}

KeptSector PackKeptSector(int32_t lba, const uint8_t* disc, const uint8_t* generated,
                          size_t sectorBytes) {
    KeptSector sector;
    sector.lba = lba;
    sector.flags = generated == nullptr ? KEPT_PAST_END : 0;
    sector.generatedHash = generated == nullptr ? 0 : HashBytes(generated, sectorBytes);
    uLongf packed = compressBound(static_cast<uLong>(sectorBytes));
    sector.stored.resize(packed);
    if (compress2(sector.stored.data(), &packed, disc, static_cast<uLong>(sectorBytes),
                  Z_BEST_COMPRESSION) == Z_OK &&
        packed < sectorBytes) {
        sector.stored.resize(packed);
    } else {
        sector.flags |= KEPT_PLAIN;
        sector.stored.assign(disc, disc + sectorBytes);
    }
    return sector;
}

bool UnpackKeptSector(const KeptSector& sector, uint8_t* out, size_t sectorBytes) {
    if (sector.flags & KEPT_PLAIN) {
        if (sector.stored.size() != sectorBytes) return false;
        std::memcpy(out, sector.stored.data(), sectorBytes);
        return true;
    }
    uLongf length = static_cast<uLongf>(sectorBytes);
    return uncompress(out, &length, sector.stored.data(),
                      static_cast<uLong>(sector.stored.size())) == Z_OK &&
           length == sectorBytes;
}

std::vector<uint8_t> EncodeKeptSectors(const KeptSectors& kept) {
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    out.Bytes(KEPT_SECTORS_MAGIC, sizeof KEPT_SECTORS_MAGIC);
    out.U16(KEPT_SECTORS_VERSION);
    out.U16(static_cast<uint16_t>(kept.sectorBytes));
    out.U32(static_cast<uint32_t>(kept.sectors.size()));
    out.I32(kept.layoutSectors);
    out.U64(kept.treeHash);
    for (const KeptSector& sector : kept.sectors) {
        out.I32(sector.lba);
        out.U16(sector.flags);
        out.U16(0);
        out.U64(sector.generatedHash);
        out.U32(static_cast<uint32_t>(sector.stored.size()));
        out.Bytes(sector.stored.data(), sector.stored.size());
    }
    return bytes;
}

bool DecodeKeptSectors(const std::vector<uint8_t>& bytes, KeptSectors& kept, std::string& problem) {
    ByteReader in(bytes.data(), bytes.size());
    if (!in.Has(FILE_HEADER_BYTES) ||
        std::memcmp(bytes.data(), KEPT_SECTORS_MAGIC, sizeof KEPT_SECTORS_MAGIC) != 0) {
        problem = FormatMessage("it does not begin with \"%s\"", KEPT_SECTORS_MAGIC);
        return false;
    }
    in.Skip(sizeof KEPT_SECTORS_MAGIC);
    const uint16_t version = in.U16();
    kept.sectorBytes = in.U16();
    const uint32_t count = in.U32();
    kept.layoutSectors = in.I32();
    kept.treeHash = in.U64();
    if (version != KEPT_SECTORS_VERSION || (kept.sectorBytes != 2352 && kept.sectorBytes != 2048)) {
        problem =
            FormatMessage("it has version %u and %d-byte sectors; this Korvalin reads version %u",
                          version, kept.sectorBytes, KEPT_SECTORS_VERSION);
        return false;
    }
    kept.sectors.clear();
    if (!ReadSectors(in, count, static_cast<size_t>(kept.sectorBytes), kept, problem)) return false;
    if (in.Position() != bytes.size()) {
        problem =
            FormatMessage("it has %zu bytes after its last sector", bytes.size() - in.Position());
        return false;
    }
    return true;
}

bool WriteKeptSectorsFile(const std::string& path, const KeptSectors& kept, KeptSectorsRef& ref,
                          std::string& message) {
    const std::vector<uint8_t> bytes = EncodeKeptSectors(kept);
    std::string reason;
    if (!WriteFileAtomically(path, bytes, reason)) {
        message = FormatMessage("cannot write %s: %s", path.c_str(), reason.c_str());
        return false;
    }
    ref.path = path;
    ref.storedPath.clear();
    ref.count = static_cast<uint32_t>(kept.sectors.size());
    ref.fileBytes = bytes.size();
    ref.checksum = HashBytes(bytes.data(), bytes.size());
    return true;
}

bool ReadKeptSectorsFile(const KeptSectorsRef& ref, KeptSectors& kept, std::string& message) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(ref.path, bytes, reason)) {
        message = FormatMessage(MSG_CANNOT_READ, ref.path.c_str(), reason.c_str());
        return false;
    }
    if (bytes.size() != ref.fileBytes || HashBytes(bytes.data(), bytes.size()) != ref.checksum) {
        message = FormatMessage(MSG_CHANGED, ref.path.c_str(),
                                static_cast<unsigned long long>(bytes.size()),
                                static_cast<unsigned long long>(ref.fileBytes));
        return false;
    }
    if (!DecodeKeptSectors(bytes, kept, reason)) {
        message = FormatMessage(MSG_DAMAGED, ref.path.c_str(), reason.c_str());
        return false;
    }
    return true;
}

std::string KeptSectorsPathFor(const std::string& projectPath) {
    return fs::path(projectPath).replace_extension(KEPT_SECTORS_EXTENSION).string();
}

void AnchorKeptSectorsPath(KeptSectorsRef& ref, const std::string& projectPath) {
    if (!ref.Present()) return;
    const fs::path stored(ref.storedPath);
    if (stored.is_absolute()) return;
    const fs::path folder = fs::absolute(projectPath).parent_path();
    ref.path = (folder / stored).lexically_normal().string();
}

void StoreKeptSectorsPathFor(KeptSectorsRef& ref, const std::string& projectPath) {
    if (!ref.Present()) return;
    const fs::path target = fs::absolute(ref.path).lexically_normal();
    const fs::path folder = fs::absolute(projectPath).lexically_normal().parent_path();
    const fs::path relative = target.lexically_relative(folder);
    ref.storedPath = relative.empty() ? target.string() : relative.string();
}

}  // namespace korvalin
