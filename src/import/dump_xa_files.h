// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which dumped files become raw XA files: those whose extent in a raw image
// holds Form 2 sectors. They are extracted as 2336-byte sectors and compile
// back to the same sectors.

#include "disc/disc_image.h"
#include "disc/directory_record.h"

namespace korvalin {

// Whether any sector of the record's extent that the image holds is Form 2
// by its subheader. False for an image without subheaders.
bool ExtentHoldsForm2(const DiscImage& image, const DirectoryRecord& record);

// The size a raw XA entry records for the dumped file: its sectors x 2048.
uint32_t DumpedRawXaSize(const DirectoryRecord& record);

}  // namespace korvalin
