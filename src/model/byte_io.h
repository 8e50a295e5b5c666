// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Little-endian reading and writing of the project file's fields.

#include <cstdint>
#include <cstring>
#include <vector>

namespace korvalin {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void U8(uint8_t v) { out_.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Bytes(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        out_.insert(out_.end(), p, p + n);
    }

private:
    std::vector<uint8_t>& out_;
};

// Reads from a byte range; every read checks the bounds first.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Has(size_t n) const { return size_ - pos_ >= n; }
    size_t Position() const { return pos_; }
    uint8_t U8() { return data_[pos_++]; }
    uint16_t U16() {
        const uint16_t lo = U8();
        return static_cast<uint16_t>(lo | (U8() << 8));
    }
    uint32_t U32() {
        const uint32_t lo = U16();
        return lo | (static_cast<uint32_t>(U16()) << 16);
    }
    uint64_t U64() {
        const uint64_t lo = U32();
        return lo | (static_cast<uint64_t>(U32()) << 32);
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    void Bytes(void* out, size_t n) {
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
    }
    const uint8_t* Here() const { return data_ + pos_; }
    void Skip(size_t n) { pos_ += n; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace korvalin
