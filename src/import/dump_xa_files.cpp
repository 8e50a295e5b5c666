// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/dump_xa_files.h"

#include <algorithm>

#include "disc/image_reader.h"
#include "layout/recompute_layout.h"
#include "model/xa_file.h"

namespace korvalin {

namespace {

constexpr int64_t SCAN_BLOCK_SECTORS = 256;
constexpr size_t SUBMODE_BYTE = 2;

}  // namespace

bool ExtentHoldsForm2(const DiscImage& image, const DirectoryRecord& record) {
    ImageReader reader(*image.source, image.format);
    if (!reader.HasSubheaders()) return false;
    const int64_t available = std::max<int64_t>(0, reader.SectorCount() - record.extent);
    const int64_t sectors = std::min<int64_t>(SectorsOf(record.size), available);
    std::vector<uint8_t> block;
    for (int64_t first = 0; first < sectors; first += SCAN_BLOCK_SECTORS) {
        const int64_t count = std::min(SCAN_BLOCK_SECTORS, sectors - first);
        if (!reader.ReadXaSectors(record.extent + first, count, block)) return false;
        for (int64_t i = 0; i < count; ++i) {
            if ((block[static_cast<size_t>(i) * XA_SOURCE_SECTOR_BYTES + SUBMODE_BYTE] & SUBMODE_FORM2) != 0) {
                return true;
            }
        }
    }
    return false;
}

uint32_t DumpedRawXaSize(const DirectoryRecord& record) {
    return static_cast<uint32_t>(SectorsOf(record.size)) * 2048;
}

}  // namespace korvalin
