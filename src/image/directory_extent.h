// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Directory extents: the "." and ".." records, then the child directories,
// then the files, each in table order, every record with its CD-XA field.

#include <cstdint>

#include "image/sector_output.h"
#include "model/project.h"

namespace korvalin {

constexpr uint16_t XA_DIR_ATTRIBUTES = 0x8D55;
constexpr uint16_t XA_FILE_ATTRIBUTES = 0x0D55;
// A raw XA file may hold Form 1 and Form 2 sectors, interleaved: 0x0800 |
// 0x1000 | 0x2000 with the same read and execute bits as every file.
constexpr uint16_t XA_RAW_FILE_ATTRIBUTES = 0x3D55;
// A DA file: the CD-DA bit (14) and the same read/execute permissions.
constexpr uint16_t XA_CDDA_ATTRIBUTES = 0x4555;

// Writes the extent of directory number `dirNumber` (DirTable index + 1) at
// writeLba. 0 on success, 1 when a sector was written short.
int32_t WriteDirectoryExtent(const Project& project, CompileState& state, SectorBuffer& sector,
                             uint32_t dirNumber);

}  // namespace korvalin
