// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The machinery behind ImageOutput: chunks of sectors described by the
// appending thread, prepared (read, stamped, encoded) by worker threads and
// written in order by the appending thread.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "image/image_output.h"
#include "platform/sequential_file.h"

namespace korvalin {

// A run of sectors within a chunk that come from one place.
struct Segment {
    // FileData is read into the chunk by a worker; Copied (whole sectors of
    // a 2048-byte image) goes from file to file when the chunk is written;
    // XaData is whole 2336-byte source sectors of a raw image (xa_sectors.h).
    enum class Kind : uint8_t { Assembled, FileData, Copied, Filler, XaData };
    Kind kind = Kind::Assembled;
    int32_t first = 0;  // index of its first sector in the chunk
    int32_t count = 0;
    int32_t owner = OWNER_STRUCTURE;
    const std::string* source = nullptr;  // FileData
    uint64_t offset = 0;                  // source byte of the first sector
    int32_t finalBytes = 0;  // > 0: the last sector is the file's partial end and needs this many
    // Progress is reported at the LBAs progressOrigin + k * progressEvery and at progressExtra.
    int32_t progressOrigin = 0;
    int32_t progressEvery = 1;
    int32_t progressExtra = -1;
};

struct Chunk {
    enum class State { Free, Filling, Queued, Done };
    State state = State::Free;
    std::vector<uint8_t> storage;
    uint8_t* bytes = nullptr;  // page-aligned within storage: the kernel copies page to page
    std::vector<Segment> segments;
    int32_t firstLba = 0;
    int32_t count = 0;
    int32_t ready = 0;  // sectors fit to be written: all but those from a failed source on
    OutputError error;  // why sector `ready` is not, when ready < count
};

// The source file last read, kept open for the next chunk of the same file.
class OpenSource {
public:
    // nullptr when `path` is nullptr or cannot be opened.
    const InputFile* Open(const std::string* path);

private:
    const std::string* path_ = nullptr;
    InputFile file_;
};

class SectorPipeline {
public:
    SectorPipeline(OutputFile file, const OutputOptions& options);
    ~SectorPipeline();
    SectorPipeline(const SectorPipeline&) = delete;
    SectorPipeline& operator=(const SectorPipeline&) = delete;

    bool AppendSector(const uint8_t* sector);
    bool AppendFile(const std::string* source, uint32_t size, int32_t owner);
    bool AppendXaFile(const std::string* source, int32_t sectors, int32_t owner);
    // FileData, Copied or Filler from the next LBA on, split over chunks as
    // needed. Progress counts from its first LBA.
    bool AppendRun(Segment run);
    OutputError Finish();
    bool Close();

private:
    Chunk& Filling();
    void Submit();
    void WriteOldest();
    void WriteChunk(const Chunk& chunk);
    // Writes sectors [from, to) of the chunk's buffer; false on a short write.
    bool WriteBuffered(const Chunk& chunk, int32_t from, int32_t to, int32_t& done);
    OutputFailure WriteCopied(const Segment& segment, int32_t& done);
    void ReportProgress(const Chunk& chunk, int32_t sectors) const;
    void Work();
    void Prepare(Chunk& chunk, OpenSource& source) const;
    void EncodeChunk(Chunk& chunk) const;
    bool FillSegment(Chunk& chunk, const Segment& segment, OpenSource& source) const;
    bool FillXaSegment(Chunk& chunk, const Segment& segment, OpenSource& sources) const;
    void StampSegment(Chunk& chunk, const Segment& segment) const;
    uint8_t* SectorAt(Chunk& chunk, int32_t index) const;

    OutputFile file_;
    const bool raw_;
    const size_t sectorBytes_;
    const ProgressCallback progress_;
    const KeptSectors* const kept_;
    SectorSink* const sink_;
    std::vector<Chunk> ring_;
    uint64_t submitted_ = 0;  // chunks handed to the workers
    uint64_t written_ = 0;    // chunks written (or dropped after a failure)
    Chunk* filling_ = nullptr;
    int32_t nextLba_ = 0;
    OutputError error_;
    OpenSource writerSource_;  // for Copied segments, and for chunks prepared without workers

    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable chunkDone_;
    std::deque<Chunk*> queue_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace korvalin
