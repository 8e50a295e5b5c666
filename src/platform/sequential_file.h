// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plain sequential file access for the image writer: one output file written
// front to back, source files read front to back.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace korvalin {

class InputFile;
class WriteBehind;

// A file created (or truncated) for writing. Moves only, closes on destruction.
class OutputFile {
public:
    OutputFile();
    ~OutputFile();
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool Create(const std::string& path);
    // Opens an existing file to write after its last byte.
    bool OpenForAppend(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    // From now on, starts the disk on what was written every few megabytes
    // (see write_behind.h).
    void StartWriteBehind();
    // True when every byte was written.
    bool Write(const uint8_t* data, size_t size) { return WriteSome(data, size) == size; }
    // Writes until every byte is written or the file takes no more; returns
    // the count written.
    size_t WriteSome(const uint8_t* data, size_t size);
    // Appends `size` bytes of `source` from byte `offset`, inside the kernel
    // where the file systems allow it. Returns the count appended; it falls
    // short where the source ends, or with `writeFailed` set.
    size_t AppendFrom(const InputFile& source, uint64_t offset, size_t size, bool& writeFailed);
    bool Close();

private:
    size_t CopyThroughMemory(const InputFile& source, uint64_t offset, size_t size, bool& writeFailed);
    void Wrote(size_t bytes);

    int fd_ = -1;
    uint64_t end_ = 0;  // bytes written
    std::unique_ptr<WriteBehind> writeBehind_;
};

// A file opened for reading, with the kernel told it is read sequentially.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Refuses, without waiting, anything but a regular file (a source
    // replaced by a pipe or a device).
    bool Open(const std::string& path);
    // Reads until `size` bytes, the end of the file or an error; returns the
    // count read.
    size_t Read(uint8_t* data, size_t size);
    // The same from byte `offset`, leaving the file position alone, so that
    // several threads may read one file.
    size_t ReadAt(uint64_t offset, uint8_t* data, size_t size) const;
    // Reads from byte `offset` into `pieces` pieces of `pieceBytes` bytes
    // that lie `stride` bytes apart (the data areas of raw sectors), in one
    // call where it can; returns the count read.
    size_t ReadPiecesAt(uint64_t offset, uint8_t* first, size_t pieceBytes, size_t stride,
                        size_t pieces) const;
    void Close();

private:
    friend class OutputFile;
    int fd_ = -1;
};

}  // namespace korvalin
