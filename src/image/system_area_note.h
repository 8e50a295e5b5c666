// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// verify's word on a raw image whose sectors 0-15 are all zero, without sync
// or header: allowed, but emulators refuse such a disc, so it is worth
// saying for a disc meant to boot (SYSTEM.CNF or PSX.EXE in its root).

#include <cstdint>
#include <optional>
#include <string>

#include "disc/image_reader.h"
#include "disc/image_source.h"

namespace korvalin {

// The note, when all sixteen sectors were blank and the disc is meant to boot.
std::optional<std::string> BlankSystemAreaNote(ImageSource& source, const ImageFormat& format,
                                               int64_t blankSystemAreaSectors);

}  // namespace korvalin
