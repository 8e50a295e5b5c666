// SPDX-License-Identifier: GPL-3.0-or-later
#include "patch/inject_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "disc/disc_field_reader.h"
#include "image/byte_order.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "model/disc_names.h"
#include "model/message_format.h"
#include "patch/patch_target.h"
#include "patch/sector_owners.h"
#include "platform/file_io.h"

namespace korvalin {

namespace {

constexpr const char* NOT_ON_DISC = "%s is not a file on %s";
constexpr const char* DOES_NOT_FIT =
    "%s (%lld bytes) needs %lld sectors, but %s has %lld on the disc: %lld %s missing. "
    "Rebuild the disc instead: `korvalin dump` it, replace the file, and `korvalin compile`";
constexpr const char* FORM2_SOURCE =
    "%s is a Form 2 (XA) file of %lld sectors: inject a file of %lld bytes (2336-byte sectors, as "
    "`korvalin dump` extracts it), not one of %lld bytes";
constexpr const char* NOT_PLAIN_DATA = "%s is %s, which inject does not replace";
constexpr const char* FORM2_PLAIN = "%s is a Form 2 (XA) file, which a 2048-byte image cannot hold";
constexpr const char* MODE1_IMAGE = "%s holds Mode 1 sectors, which this program does not re-encode";
constexpr const char* NOT_ENCODABLE = "sector %lld of %s is not a %s sector: the image is left unchanged";
constexpr const char* RECORD_NOT_FOUND = "the directory record of %s was not found in its directory";
constexpr uint32_t SIZE_FIELD = 10;  // both-byte-order data length in a directory record

struct DiscFile {
    const IsoDirectory* dir = nullptr;
    DirectoryRecord record;
    std::string path;
};

// "\DATA\FILE.BIN" in upper case for "/data/file.bin;1".
std::string ComparablePath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.empty() || path[0] != '\\') path.insert(path.begin(), '\\');
    const size_t version = path.rfind(';');
    if (version != std::string::npos && path.find('\\', version) == std::string::npos) path.resize(version);
    return UpperCaseAscii(path);
}

std::vector<DiscFile> FilesOf(const IsoTree& tree) {
    std::vector<DiscFile> files;
    for (const IsoDirectory& dir : tree.dirs) {
        for (const DirectoryRecord& record : dir.files) files.push_back({&dir, record, FileDiscPath(dir, record)});
    }
    return files;
}

const DiscFile* FindFile(const std::vector<DiscFile>& files, const std::string& discPath) {
    const std::string wanted = ComparablePath(discPath);
    for (const DiscFile& f : files) {
        if (UpperCaseAscii(f.path) == wanted) return &f;
    }
    return nullptr;
}

// The LBA of the directory sector holding the file's record and the record's byte in that sector.
bool FindRecord(const PatchTarget& target, const DiscFile& file, int64_t& lba, uint32_t& offset) {
    const DirectoryRecord& dir = file.dir->record;
    const int32_t dataOffset = target.Format().dataOffset;
    std::vector<uint8_t> stored;
    for (int64_t i = 0; i < ExtentSectors(dir.size); ++i) {
        if (!target.ReadStored(dir.extent + i, 1, stored)) return false;
        const uint8_t* data = stored.data() + dataOffset;
        for (uint32_t at = 0; at < PLAIN_SECTOR_BYTES && data[at] != 0;) {
            DirectoryRecord record;
            std::string problem;
            if (!ParseDirectoryRecord(data + at, PLAIN_SECTOR_BYTES - at, record, problem)) break;
            if (record.identifier == file.record.identifier && record.extent == file.record.extent) {
                lba = dir.extent + i;
                offset = at;
                return true;
            }
            at += record.length;
        }
    }
    return false;
}

// The 2048 user bytes (Form 1) or 2336 stored bytes (Form 2) of sector `i` of the new data.
struct Payload {
    const std::vector<uint8_t>& bytes;
    bool form2;
    size_t Unit() const { return form2 ? MODE2_SECTOR_BYTES : PLAIN_SECTOR_BYTES; }
    void Copy(int64_t i, uint8_t* out) const {
        const size_t from = static_cast<size_t>(i) * Unit();
        std::memset(out, 0, Unit());
        if (from < bytes.size()) std::memcpy(out, bytes.data() + from, std::min(Unit(), bytes.size() - from));
    }
};

// Every sector the file has must be of the form the new data are written as.
bool CheckSectorModes(const PatchTarget& target, const DiscFile& file, int64_t sectors, bool form2,
                      std::string& message) {
    uint8_t raw[RAW_SECTOR_BYTES];
    for (int64_t i = 0; i < sectors; ++i) {
        const int64_t lba = file.record.extent + i;
        if (!target.ReadRaw(lba, raw)) {
            message = FormatMessage("%s: the extent of %s runs past the end of the image", target.DataFile().c_str(),
                                    file.path.c_str());
            return false;
        }
        const int32_t mode = SectorEncoder::DetectMode(raw);
        if (form2 ? mode == SECTOR_INVALID || mode == SECTOR_MODE1 : mode != SECTOR_FORM1) {
            message = FormatMessage(NOT_ENCODABLE, static_cast<long long>(lba), target.DataFile().c_str(),
                                    form2 ? "Mode 2" : "Mode 2 Form 1");
            return false;
        }
    }
    return true;
}

// Writes one sector of the file: user data, or subheader and data; raw sectors are encoded again.
bool WriteFileSector(PatchTarget& target, int64_t lba, const uint8_t* payload, bool form2, std::string& message) {
    if (!target.HasEncodedSectors()) return target.WriteStored(lba, payload, message);
    uint8_t raw[RAW_SECTOR_BYTES];
    if (!target.ReadRaw(lba, raw)) {
        message = FormatMessage("cannot read sector %lld of %s", static_cast<long long>(lba), target.DataFile().c_str());
        return false;
    }
    if (form2) {
        std::memcpy(raw + 16, payload, MODE2_SECTOR_BYTES);
    } else {
        std::memcpy(raw + USER_DATA_OFFSET, payload, USER_DATA_BYTES);
    }
    // A Form 2 sector given without EDC keeps none, as CD-XA allows.
    const bool keepZeroEdc = form2 && SectorEncoder::DetectMode(raw) == SECTOR_FORM2 &&
                             GetLE32(raw + FORM2_EDC_OFFSET) == 0;
    if (!keepZeroEdc) SectorEncoder().EncodeSector(raw);
    return target.WriteRaw(lba, raw, message);
}

struct RecordPlace {
    int64_t lba = 0;
    uint32_t offset = 0;
};

bool WriteRecordSize(PatchTarget& target, const RecordPlace& place, uint32_t size, std::string& message) {
    std::vector<uint8_t> stored;
    if (!target.ReadStored(place.lba, 1, stored)) return false;
    if (!target.HasEncodedSectors()) {
        PutBoth32(stored.data() + place.offset + SIZE_FIELD, size);
        return target.WriteStored(place.lba, stored.data(), message);
    }
    uint8_t raw[RAW_SECTOR_BYTES];
    target.StoredToRaw(place.lba, stored.data(), raw);
    PutBoth32(raw + USER_DATA_OFFSET + place.offset + SIZE_FIELD, size);
    SectorEncoder().EncodeSector(raw);
    return target.WriteRaw(place.lba, raw, message);
}

// Checks everything first, so a refused file leaves the image as it was.
bool InjectOne(PatchTarget& target, const DiscFile& file, const std::string& source, InjectReport& report,
               std::string& message) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(source, bytes, reason)) {
        message = FormatMessage("cannot read %s: %s", source.c_str(), reason.c_str());
        return false;
    }
    if (file.record.IsAudio() || (file.record.flags & RECORD_FLAG_MULTI_EXTENT) != 0) {
        message = FormatMessage(NOT_PLAIN_DATA, file.path.c_str(),
                                file.record.IsAudio() ? "a CD audio file" : "one part of a file of several extents");
        return false;
    }
    const int64_t have = ExtentSectors(file.record.size);
    const bool form2 = file.record.IsForm2();
    const long long size = static_cast<long long>(bytes.size());
    if (form2 && !target.HasEncodedSectors()) {
        message = FormatMessage(FORM2_PLAIN, file.path.c_str());
        return false;
    }
    if (form2 && bytes.size() != static_cast<size_t>(have) * MODE2_SECTOR_BYTES) {
        message = FormatMessage(FORM2_SOURCE, file.path.c_str(), static_cast<long long>(have),
                                static_cast<long long>(have) * MODE2_SECTOR_BYTES, size);
        return false;
    }
    const int64_t need = (size + PLAIN_SECTOR_BYTES - 1) / PLAIN_SECTOR_BYTES;
    if (!form2 && (need > have || bytes.size() > UINT32_MAX)) {
        message = FormatMessage(DOES_NOT_FIT, source.c_str(), size, static_cast<long long>(need), file.path.c_str(),
                                static_cast<long long>(have), static_cast<long long>(need - have),
                                need - have == 1 ? "sector is" : "sectors are");
        return false;
    }
    if (target.HasEncodedSectors() && !CheckSectorModes(target, file, have, form2, message)) return false;
    const uint32_t newSize = form2 ? file.record.size : static_cast<uint32_t>(bytes.size());
    RecordPlace place;
    if (newSize != file.record.size && !FindRecord(target, file, place.lba, place.offset)) {
        message = FormatMessage(RECORD_NOT_FOUND, file.path.c_str());
        return false;
    }
    const Payload payload{bytes, form2};
    std::vector<uint8_t> unit(payload.Unit());
    for (int64_t i = 0; i < have; ++i) {
        payload.Copy(i, unit.data());
        if (!WriteFileSector(target, file.record.extent + i, unit.data(), form2, message)) return false;
    }
    if (newSize != file.record.size && !WriteRecordSize(target, place, newSize, message)) return false;
    report.injected.push_back({file.path, source, have, file.record.size, newSize, form2});
    return true;
}

bool OpenForInject(PatchTarget& target, const std::string& imagePath, std::vector<DiscFile>& files, IsoTree& tree,
                   std::string& message) {
    if (!target.Open(imagePath, message)) return false;
    const ImageFormat& f = target.Format();
    if (f.sectorBytes == RAW_SECTOR_BYTES && f.subheaderOffset < 0) {
        message = FormatMessage(MODE1_IMAGE, target.DataFile().c_str());
        return false;
    }
    if (!target.ReadTree(tree, message)) return false;
    files = FilesOf(tree);
    return true;
}

}  // namespace

bool InjectFile(const std::string& imagePath, const std::string& discPath, const std::string& sourceFile,
                InjectReport& report, std::string& message) {
    PatchTarget target;
    IsoTree tree;
    std::vector<DiscFile> files;
    if (!OpenForInject(target, imagePath, files, tree, message)) return false;
    const DiscFile* file = FindFile(files, discPath);
    if (file == nullptr) {
        message = FormatMessage(NOT_ON_DISC, discPath.c_str(), imagePath.c_str());
        return false;
    }
    return InjectOne(target, *file, sourceFile, report, message) && target.Sync(message);
}

bool InjectFolder(const std::string& imagePath, const std::string& folder, InjectReport& report,
                  std::string& message) {
    PatchTarget target;
    IsoTree tree;
    std::vector<DiscFile> files;
    if (!OpenForInject(target, imagePath, files, tree, message)) return false;
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        message = FormatMessage("%s is not a folder", folder.c_str());
        return false;
    }
    std::vector<std::filesystem::path> sources;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder, error)) {
        if (item.is_regular_file()) sources.push_back(item.path());
    }
    std::sort(sources.begin(), sources.end());
    size_t refused = 0;
    for (const std::filesystem::path& source : sources) {
        const std::string relative = std::filesystem::relative(source, folder).generic_string();
        const DiscFile* file = FindFile(files, relative);
        std::string why;
        if (file == nullptr) {
            report.skipped.push_back(FormatMessage("%s: no such file on the disc", source.c_str()));
        } else if (!InjectOne(target, *file, source.string(), report, why)) {
            report.skipped.push_back(why);
            ++refused;
        }
    }
    if (!target.Sync(message)) return false;
    if (refused == 0) return true;
    message = FormatMessage("%zu files were not injected", refused);
    return false;
}

}  // namespace korvalin
