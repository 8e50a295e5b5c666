// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project's system area taken from a file, cleared, and described.

#include <string>

#include "model/project.h"

namespace korvalin {

// Replaces the system area with the sixteen sectors FILE holds and turns
// "keep system-area data" on. FILE is judged in this order:
//   - a name ending in .cue: the image its first FILE line names, which must
//     be a disc image;
//   - a license file: exactly 12 or 16 sectors of 2352, 2336 or 2048 bytes;
//   - a disc image: a raw (2352) or 2048-byte image with its volume
//     descriptor at sector 16.
// Raw sectors are taken whole; 2336-byte sectors get sync and the header of
// their LBA; 2048-byte sectors that hold data become Form 1 sectors with EDC
// and parity, empty ones stay all zero; the sectors after a 12-sector
// license are empty addressed sectors. On failure nothing changes and
// `message` names the file and what is wrong; on success it says what was
// taken.
bool LoadSystemAreaFromFile(Project& project, const std::string& path, std::string& message);

// All zero again, and nothing to keep.
void ClearSystemArea(Project& project);

// Lines that say what the area holds and how the two settings stand.
std::string DescribeSystemArea(const Project& project);

// The image a cue sheet's first FILE line names, beside the cue sheet when
// the name is relative. False with `message` set when there is none.
bool ImagePathOfCueSheet(const std::string& cuePath, std::string& imagePath, std::string& message);

}  // namespace korvalin
