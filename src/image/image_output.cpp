#include "image/image_output.h"

#include <cstring>

#include "image/raw_sector_batch.h"
#include "image/sector_header.h"

namespace korvalin {

namespace {
// Large writes keep the system-call count low; a multiple of both sector sizes.
constexpr size_t OUTPUT_BUFFER_BYTES = 2352 * 2048;
}  // namespace

bool ImageOutput::Create(const std::string& path, bool rawSectors) {
    pending_ = 0;
    rawSectors_ = rawSectors;
    if (!file_.Create(path)) return false;
    buffer_.resize(OUTPUT_BUFFER_BYTES);
    return true;
}

uint8_t* ImageOutput::Claim(size_t bytes) {
    if (bytes > buffer_.size() - pending_ && !Flush()) return nullptr;
    if (bytes > buffer_.size()) buffer_.resize(bytes);
    uint8_t* space = buffer_.data() + pending_;
    std::memset(space, 0, bytes);
    return space;
}

bool ImageOutput::Append(const uint8_t* data, size_t bytes) {
    uint8_t* space = Claim(bytes);
    if (space == nullptr) return false;
    std::memcpy(space, data, bytes);
    Commit(bytes);
    return true;
}

bool ImageOutput::Flush() {
    const size_t bytes = pending_;
    pending_ = 0;
    if (bytes == 0) return true;
    if (rawSectors_) EncodeRawSectors(buffer_.data(), bytes / RAW_SECTOR_BYTES);
    return file_.Write(buffer_.data(), bytes);
}

bool ImageOutput::Close() {
    const bool flushed = Flush();
    return file_.Close() && flushed;
}

}  // namespace korvalin
