// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The image file, written strictly front to back. Writers append sectors in
// image order: sectors they assembled themselves, runs of file data and runs
// of filler. A pool of worker threads, made once per image, reads file data
// straight into the sectors' data areas and, for a raw image, stamps and
// encodes (EDC and parity) chunks of sectors while they are hot in the
// cache; the thread that appends writes the finished chunks in order and
// reports progress in LBA order. A ring of chunk buffers bounds the memory.
//
// Failures surface in image order: everything before the first failed sector
// is written, nothing after it, and Finish() names the owner of that sector.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "model/progress.h"

namespace korvalin {

struct KeptSectors;

constexpr int32_t ISO_SECTOR_BYTES = 2048;
// Progress is reported once per this many sectors of file data or filler
// (counted from the start of the file or run), and for every sector a
// writer assembled.
constexpr int32_t FILL_BATCH_SECTORS = 20;

// Owners of sectors other than file data (which are owned by their FileTable index).
constexpr int32_t OWNER_STRUCTURE = -1;
constexpr int32_t OWNER_FILLER = -2;

// Takes the finished sectors in image order in place of the image file.
class SectorSink {
public:
    virtual ~SectorSink() = default;
    // `count` sectors from `lba` on; false fails the image as a short write.
    virtual bool Take(int32_t lba, const uint8_t* sectors, int32_t count) = 0;
};

enum class OutputFailure { None, ShortWrite, CannotOpenSource, SourceShort };

struct OutputError {
    OutputFailure failure = OutputFailure::None;
    int32_t owner = OWNER_STRUCTURE;  // whose sector it was
};

struct OutputOptions {
    bool rawSectors = false;  // 2352-byte sectors, stamped and encoded here
    unsigned workerThreads = 0;  // 0: one per usable processor but one (at least one)
    ProgressCallback progress;
    const KeptSectors* keptSectors = nullptr;  // put back over the finished sectors
    SectorSink* sink = nullptr;  // set: the sectors go there and no file is made
    bool writeBehind = false;    // start the disk on the image as it is written (write_behind.h)
};

class SectorPipeline;

class ImageOutput {
public:
    ImageOutput();
    ~ImageOutput();
    ImageOutput(ImageOutput&&) noexcept;
    ImageOutput& operator=(ImageOutput&&) noexcept;

    // Creates the file at `path`, or none when the options name a sink.
    bool Create(const std::string& path, const OutputOptions& options);
    bool IsOpen() const { return pipeline_ != nullptr; }

    // The appends return false once the image has failed; Finish() says how.
    // One sector the caller assembled: 2352 bytes with sync, header and
    // subheader in place (a raw image), or 2048 bytes.
    bool AppendSector(const uint8_t* sector);
    // The ceil(size / 2048) sectors of a file read from `source` (nullptr:
    // none, which fails as a source that cannot be opened). Whole sectors are
    // read; data missing from whole sectors are zeros, but a final partial
    // sector that gets fewer than its bytes fails.
    bool AppendFile(const std::string* source, uint32_t size, int32_t owner);
    // `sectors` raw XA sectors of 2336 bytes each read from `source` (a raw
    // image only; see xa_sectors.h). A source with fewer fails.
    bool AppendXaFile(const std::string* source, int32_t sectors, int32_t owner);
    // `count` sectors of zero data.
    bool AppendFiller(int32_t count);

    // Writes out everything appended and returns the first failure, if any.
    OutputError Finish();
    // Finishes, stops the workers and closes the file; true when all went in.
    bool Close();

private:
    std::unique_ptr<SectorPipeline> pipeline_;
};

}  // namespace korvalin
