#pragma once
// Reads the user data of any sector of a raw (2352-byte) or plain (2048-byte)
// CD image, after working out which of the two the file is.

#include <cstdint>
#include <string>
#include <vector>

#include "image/image_source.h"

namespace korvalin {

struct ImageFormat {
    int32_t sectorBytes = 0;    // 2352 raw, 2048 plain
    int32_t dataOffset = 0;     // where the 2048 user bytes start in a sector
    int64_t sectorCount = 0;    // whole sectors in the file
    int64_t trailingBytes = 0;  // bytes of a last, cut-short sector
    std::string description;    // which format was assumed, and why
};

// Judges the format from the sync pattern at sector 0 or 16, the volume
// descriptor at sector 16 of either layout, and at last the file size.
ImageFormat DetectImageFormat(ImageSource& source);

class ImageReader {
public:
    ImageReader(ImageSource& source, const ImageFormat& format) : source_(source), format_(format) {}

    const ImageFormat& Format() const { return format_; }
    int64_t SectorCount() const { return format_.sectorCount; }

    // The 2048 user bytes of sector `lba` into `out`; false when it is not in the file.
    bool ReadUserData(int64_t lba, uint8_t* out);
    // `count` sectors of user data from `lba` on, back to back; false when
    // any of them is not in the file.
    bool ReadUserData(int64_t lba, int64_t count, std::vector<uint8_t>& out);

private:
    ImageSource& source_;
    ImageFormat format_;
};

}  // namespace korvalin
