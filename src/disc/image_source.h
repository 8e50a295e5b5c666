// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes of an image, from a file on disk or from memory, read by offset.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace korvalin {

class ImageSource {
public:
    virtual ~ImageSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads exactly `count` bytes at `offset`; false when they are not all there.
    virtual bool Read(uint64_t offset, uint8_t* out, size_t count) = 0;
};

class FileImageSource : public ImageSource {
public:
    // Opens the file for reading; on failure returns false and the system's reason.
    bool Open(const std::string& path, std::string& reason);
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, uint8_t* out, size_t count) override;

private:
    std::ifstream file_;
    uint64_t size_ = 0;
};

class MemoryImageSource : public ImageSource {
public:
    explicit MemoryImageSource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, uint8_t* out, size_t count) override;

private:
    const std::vector<uint8_t>& bytes_;
};

}  // namespace korvalin
