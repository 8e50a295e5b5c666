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
    enum class Kind : uint8_t { Assembled, FileData, Filler };
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
    std::vector<uint8_t> bytes;
    std::vector<Segment> segments;
    int32_t firstLba = 0;
    int32_t count = 0;
    int32_t ready = 0;  // sectors fit to be written: all but those from a failed source on
    OutputError error;  // why sector `ready` is not, when ready < count
};

class SectorPipeline {
public:
    SectorPipeline(OutputFile file, const OutputOptions& options);
    ~SectorPipeline();
    SectorPipeline(const SectorPipeline&) = delete;
    SectorPipeline& operator=(const SectorPipeline&) = delete;

    bool AppendSector(const uint8_t* sector);
    // FileData or Filler from the next LBA on, split over chunks as needed.
    // Progress counts from its first LBA, and is also reported at sector
    // `extraProgressSector` of the run (-1: none).
    bool AppendRun(Segment run, int32_t extraProgressSector);
    OutputError Finish();
    bool Close();

private:
    Chunk& Filling();
    void Submit();
    void WriteOldest();
    void WriteChunk(const Chunk& chunk);
    void ReportProgress(const Chunk& chunk, int32_t sectors) const;
    void Work();
    void Prepare(Chunk& chunk) const;
    bool FillSegment(Chunk& chunk, const Segment& segment) const;
    void StampSegment(Chunk& chunk, const Segment& segment) const;
    uint8_t* SectorAt(Chunk& chunk, int32_t index) const;

    OutputFile file_;
    const bool raw_;
    const size_t sectorBytes_;
    const ProgressCallback progress_;
    std::vector<Chunk> ring_;
    uint64_t submitted_ = 0;  // chunks handed to the workers
    uint64_t written_ = 0;    // chunks written (or dropped after a failure)
    Chunk* filling_ = nullptr;
    int32_t nextLba_ = 0;
    OutputError error_;

    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable chunkDone_;
    std::deque<Chunk*> queue_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace korvalin
