// SPDX-License-Identifier: GPL-3.0-or-later
#include "patch/repair_image.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

#include "disc/disc_field_reader.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "model/message_format.h"
#include "patch/patch_target.h"
#include "patch/sector_owners.h"

namespace korvalin {

namespace {

constexpr const char* NOTHING_TO_RECOMPUTE =
    "%s holds 2048-byte sectors: there are no headers, EDC or parity to repair";
constexpr const char* MODE1_TRACK = "%s holds Mode 1 sectors, which this program does not re-encode";
constexpr const char* BACKUP_EXISTS = "%s already exists: move it away or repair without --backup";
constexpr const char* BACKUP_FAILED = "cannot copy %s to %s: %s";
constexpr int64_t BLOCK_SECTORS = 512;

// What is wrong with one raw sector, and the sector made right in `fixed`;
// "" when nothing is, or nothing can be recomputed.
std::string RepairSector(const uint8_t* sector, int64_t lba, bool form2Edc, uint8_t* fixed, bool& leftAlone) {
    leftAlone = false;
    std::memcpy(fixed, sector, RAW_SECTOR_BYTES);
    const int32_t mode = SectorEncoder::DetectMode(sector);
    if (mode != SECTOR_FORM1 && mode != SECTOR_FORM2) {
        const bool zero = std::all_of(sector, sector + RAW_SECTOR_BYTES, [](uint8_t b) { return b == 0; });
        leftAlone = !zero;  // a system area without headers is what a new project writes
        return "";
    }
    if (std::memcmp(sector + 16, sector + 20, 4) != 0) {
        leftAlone = true;  // which copy is right cannot be told
        return "";
    }
    std::string wrong;
    const auto join = [&wrong](const char* what) { wrong += (wrong.empty() ? "" : ", ") + std::string(what); };
    const auto address = BcdAddressOfLba(static_cast<int32_t>(lba));
    if (std::memcmp(sector + 12, address.data(), 3) != 0) {
        std::memcpy(fixed + 12, address.data(), 3);
        join("address");
    }
    if (mode == SECTOR_FORM2 && GetLE32(sector + FORM2_EDC_OFFSET) == 0 && !form2Edc) return wrong;
    SectorEncoder().EncodeSector(fixed);
    if (mode == SECTOR_FORM2) {
        if (std::memcmp(fixed + FORM2_EDC_OFFSET, sector + FORM2_EDC_OFFSET, 4) != 0) join("Form 2 EDC");
        return wrong;
    }
    const auto differs = [&](int32_t from, int32_t to) { return std::memcmp(fixed + from, sector + from, to - from) != 0; };
    if (differs(FORM1_EDC_OFFSET, FORM1_P_OFFSET)) join("EDC");
    if (differs(FORM1_P_OFFSET, FORM1_Q_OFFSET)) join("P parity");
    if (differs(FORM1_Q_OFFSET, RAW_SECTOR_BYTES)) join("Q parity");
    return wrong;
}

std::vector<SectorOwner> OwnersOrNone(PatchTarget& target, RepairReport& report) {
    IsoTree tree;
    if (!target.ReadTree(tree, report.ownersProblem)) return {};
    return SectorOwners(tree);
}

bool MakeBackup(const std::string& file, RepairReport& report, std::string& message) {
    const std::string backup = file + ".orig";
    std::error_code error;
    if (!std::filesystem::copy_file(file, backup, std::filesystem::copy_options::none, error)) {
        message = FormatMessage(BACKUP_FAILED, file.c_str(), backup.c_str(), error.message().c_str());
        return false;
    }
    report.backupFile = backup;
    return true;
}

// The findings of one block of sectors, worked out on every core.
struct BlockCheck {
    std::vector<std::string> wrong;
    std::vector<char> leftAlone;
    std::vector<uint8_t> fixed;  // raw sectors as they should be
};

void CheckRun(const PatchTarget& target, int64_t first, size_t from, size_t to, const std::vector<uint8_t>& block,
              bool form2Edc, BlockCheck& check) {
    const size_t stored = static_cast<size_t>(target.Format().sectorBytes);
    uint8_t sector[RAW_SECTOR_BYTES];
    for (size_t i = from; i < to; ++i) {
        const int64_t lba = first + static_cast<int64_t>(i);
        target.StoredToRaw(lba, &block[i * stored], sector);
        bool leftAlone = false;
        check.wrong[i] = RepairSector(sector, lba, form2Edc, &check.fixed[i * RAW_SECTOR_BYTES], leftAlone);
        check.leftAlone[i] = leftAlone;
    }
}

void CheckBlock(const PatchTarget& target, int64_t first, int64_t count, const std::vector<uint8_t>& block,
                bool form2Edc, BlockCheck& check) {
    const size_t n = static_cast<size_t>(count);
    check.wrong.assign(n, std::string());
    check.leftAlone.assign(n, 0);
    check.fixed.resize(n * RAW_SECTOR_BYTES);
    const size_t parts = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    const size_t per = (n + parts - 1) / parts;
    std::vector<std::thread> helpers;
    for (size_t from = per; from < n; from += per) {
        const size_t to = std::min(n, from + per);
        try {
            helpers.emplace_back([&, from, to] { CheckRun(target, first, from, to, block, form2Edc, check); });
        } catch (const std::system_error&) {
            CheckRun(target, first, from, to, block, form2Edc, check);  // no thread to be had: do it here
        }
    }
    CheckRun(target, first, 0, std::min(n, per), block, form2Edc, check);
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace

bool RepairImage(const std::string& path, const RepairOptions& options, RepairReport& report,
                 std::string& message, const ProgressCallback& progress) {
    PatchTarget target;
    if (!target.Open(path, message)) return false;
    report.dataFile = target.DataFile();
    if (!target.HasEncodedSectors()) {
        const bool plain = target.Format().sectorBytes == PLAIN_SECTOR_BYTES;
        message = FormatMessage(plain ? NOTHING_TO_RECOMPUTE : MODE1_TRACK, target.DataFile().c_str());
        return false;
    }
    const std::string backup = target.DataFile() + ".orig";
    std::error_code error;
    if (options.backup && !options.dryRun && std::filesystem::exists(backup, error)) {
        message = FormatMessage(BACKUP_EXISTS, backup.c_str());
        return false;
    }
    const std::vector<SectorOwner> owners = OwnersOrNone(target, report);
    const int64_t count = target.Format().sectorCount;
    std::vector<uint8_t> block;
    BlockCheck check;
    for (int64_t first = 0; first < count; first += BLOCK_SECTORS) {
        const int64_t n = std::min(BLOCK_SECTORS, count - first);
        if (!target.ReadStored(first, n, block)) {
            message = FormatMessage("cannot read %s at sector %lld", target.DataFile().c_str(),
                                    static_cast<long long>(first));
            return false;
        }
        CheckBlock(target, first, n, block, options.form2Edc, check);
        for (int64_t i = 0; i < n; ++i) {
            const int64_t lba = first + i;
            ++report.sectorsChecked;
            report.leftAlone += check.leftAlone[static_cast<size_t>(i)] ? 1 : 0;
            const std::string& wrong = check.wrong[static_cast<size_t>(i)];
            if (wrong.empty()) continue;
            report.repaired.push_back({lba, wrong, OwnerOf(owners, lba)});
            if (options.dryRun) continue;
            if (options.backup && report.backupFile.empty() && !MakeBackup(target.DataFile(), report, message)) {
                return false;
            }
            if (!target.WriteRaw(lba, &check.fixed[static_cast<size_t>(i) * RAW_SECTOR_BYTES], message)) return false;
        }
        if (progress) progress(static_cast<int32_t>((first + n) * BULK_PROGRESS_RANGE / count));
    }
    return options.dryRun || target.Sync(message);
}

}  // namespace korvalin
