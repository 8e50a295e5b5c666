// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sequential_file.h"

#include "platform/file_io.h"
#include "platform/write_behind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <utility>
#include <vector>

namespace korvalin {

OutputFile::OutputFile() = default;
OutputFile::~OutputFile() { Close(); }

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), end_(other.end_), writeBehind_(std::move(other.writeBehind_)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        end_ = other.end_;
        writeBehind_ = std::move(other.writeBehind_);
    }
    return *this;
}

bool OutputFile::Create(const std::string& path) {
    Close();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    end_ = 0;
    return fd_ >= 0;
}

bool OutputFile::OpenForAppend(const std::string& path) {
    Close();
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const off_t end = fd_ >= 0 ? ::lseek(fd_, 0, SEEK_END) : 0;
    end_ = end > 0 ? static_cast<uint64_t>(end) : 0;
    return fd_ >= 0;
}

size_t OutputFile::WriteSome(const uint8_t* data, size_t size) {
    size_t done = 0;
    while (fd_ >= 0 && done < size) {
        const ssize_t n = ::write(fd_, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    Wrote(done);
    return done;
}

void OutputFile::StartWriteBehind() {
    if (fd_ >= 0 && !writeBehind_) writeBehind_ = std::make_unique<WriteBehind>(fd_);
}

void OutputFile::Wrote(size_t bytes) {
    end_ += bytes;
    if (writeBehind_) writeBehind_->Written(end_);
}

size_t OutputFile::AppendFrom(const InputFile& source, uint64_t offset, size_t size, bool& writeFailed) {
    writeFailed = false;
    size_t done = 0;
    while (fd_ >= 0 && source.fd_ >= 0 && done < size) {
        loff_t from = static_cast<loff_t>(offset + done);
        const ssize_t n = ::copy_file_range(source.fd_, &from, fd_, nullptr, size - done, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
            return done + CopyThroughMemory(source, offset + done, size - done, writeFailed);
        }
        if (n < 0) writeFailed = true;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
        Wrote(static_cast<size_t>(n));
    }
    return done;
}

// Where the kernel cannot copy file to file: read and write.
size_t OutputFile::CopyThroughMemory(const InputFile& source, uint64_t offset, size_t size,
                                     bool& writeFailed) {
    constexpr size_t BLOCK_BYTES = 256 * 1024;
    std::vector<uint8_t> block(std::min(size, BLOCK_BYTES));
    size_t done = 0;
    while (done < size) {
        const size_t wanted = std::min(block.size(), size - done);
        const size_t got = source.ReadAt(offset + done, block.data(), wanted);
        const size_t put = WriteSome(block.data(), got);
        done += put;
        if (put < got) {
            writeFailed = true;
            break;
        }
        if (got < wanted) break;  // the source ended
    }
    return done;
}

bool OutputFile::Close() {
    writeBehind_.reset();
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
}

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& path) {
    Close();
    std::string reason;
    fd_ = OpenRegularFileForReading(path, reason);
    if (fd_ < 0) return false;
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

size_t InputFile::Read(uint8_t* data, size_t size) {
    size_t done = 0;
    while (fd_ >= 0 && done < size) {
        const ssize_t n = ::read(fd_, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

size_t InputFile::ReadAt(uint64_t offset, uint8_t* data, size_t size) const {
    size_t done = 0;
    while (fd_ >= 0 && done < size) {
        const ssize_t n = ::pread(fd_, data + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

size_t InputFile::ReadPiecesAt(uint64_t offset, uint8_t* first, size_t pieceBytes, size_t stride,
                               size_t pieces) const {
    constexpr size_t MAX_PIECES_PER_CALL = 256;
    const size_t total = pieceBytes * pieces;
    size_t done = 0;
    while (fd_ >= 0 && done < total) {
        // Pieces from where the last call stopped, the first one perhaps in part.
        iovec vectors[MAX_PIECES_PER_CALL];
        size_t count = 0;
        for (size_t at = done; at < total && count < MAX_PIECES_PER_CALL; ++count) {
            const size_t piece = at / pieceBytes;
            const size_t within = at % pieceBytes;
            vectors[count].iov_base = first + piece * stride + within;
            vectors[count].iov_len = pieceBytes - within;
            at += pieceBytes - within;
        }
        const ssize_t n = ::preadv(fd_, vectors, static_cast<int>(count), static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace korvalin
