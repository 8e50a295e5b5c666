// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Repairs a raw image in place: what each sector's data determine is
// recomputed (the header's address where the sync is present, the EDC of
// Form 1 and Form 2 sectors, the P/Q parity of Form 1 sectors); user data
// and subheaders are never touched.

#include <cstdint>
#include <string>
#include <vector>

#include "model/progress.h"

namespace korvalin {

struct RepairOptions {
    bool dryRun = false;    // list what would be repaired, write nothing
    bool backup = false;    // copy the image to IMAGE.orig before the first write
    bool form2Edc = false;  // also fill in Form 2 EDC fields left zero
};

struct RepairedSector {
    int64_t lba = 0;
    std::string wrong;  // "address, EDC, P parity"
    std::string owner;  // the disc path of the file or directory holding it; "" for none
};

struct RepairReport {
    std::string dataFile;
    std::string backupFile;              // set when a backup was written
    int64_t sectorsChecked = 0;
    std::vector<RepairedSector> repaired;  // in LBA order
    int64_t leftAlone = 0;  // sectors without sync, with differing subheader copies, or Mode 1
    std::string ownersProblem;  // why sectors could not be given owners, when they could not
};

// False with a message naming the file when it cannot be patched (missing,
// read-only, not a regular file, a 2048-byte image with nothing to
// recompute) or a write fails; the report holds what was done up to then.
bool RepairImage(const std::string& path, const RepairOptions& options, RepairReport& report,
                 std::string& message, const ProgressCallback& progress = {});

}  // namespace korvalin
