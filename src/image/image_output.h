#pragma once
// The image file, written strictly front to back through a large buffer.
// Each writer flushes what it added before it reports success, so a failed
// write is always met by the writer whose data it was. In a raw image every
// sector is encoded (EDC and parity) as it leaves the buffer; writers put in
// sectors whose header and user data are in place.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sequential_file.h"

namespace korvalin {

class ImageOutput {
public:
    // `rawSectors`: the data are 2352-byte sectors to encode before writing.
    bool Create(const std::string& path, bool rawSectors);
    bool IsOpen() const { return file_.IsOpen(); }
    // Room for `bytes` more bytes at the end of the pending data, zeroed.
    // Writes out the pending data first when the buffer is too full; nullptr
    // when that write fails.
    uint8_t* Claim(size_t bytes);
    // Adds the first `bytes` bytes of the last claim to the pending data.
    void Commit(size_t bytes) { pending_ += bytes; }
    bool Append(const uint8_t* data, size_t bytes);
    // Writes out the pending data; false when the file took fewer bytes.
    bool Flush();
    // Writes out what is pending (as far as it goes) and closes the file.
    bool Close();

private:
    OutputFile file_;
    std::vector<uint8_t> buffer_;
    size_t pending_ = 0;
    bool rawSectors_ = false;
};

}  // namespace korvalin
