// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/sector_pipeline.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "image/kept_sector_writer.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "image/xa_sectors.h"
#include "model/xa_file.h"
#include "platform/processor_count.h"

namespace korvalin {

namespace {

// 128 raw sectors (301 KB) stay in a core's cache from the read to the write.
constexpr int32_t CHUNK_SECTORS = 128;
constexpr unsigned MAX_WORKERS = 16;
constexpr size_t PAGE_BYTES = 4096;
// From this many whole sectors on, a 2048-byte image copies a file's data
// file to file in the kernel (as cp and cat do) rather than through a chunk.
constexpr int32_t MIN_COPIED_SECTORS = 64;

unsigned WorkerCount(unsigned requested) {
    // The writing thread keeps a processor busy too.
    const unsigned others = UsableProcessorCount() > 1 ? UsableProcessorCount() - 1 : 1;
    return std::clamp(requested > 0 ? requested : others, 1u, MAX_WORKERS);
}

}  // namespace

const InputFile* OpenSource::Open(const std::string* path) {
    if (path == nullptr) return nullptr;
    if (path != path_) {
        path_ = nullptr;
        if (!file_.Open(*path)) return nullptr;
        path_ = path;
    }
    return &file_;
}

SectorPipeline::SectorPipeline(OutputFile file, const OutputOptions& options)
    : file_(std::move(file)),
      raw_(options.rawSectors),
      sectorBytes_(options.rawSectors ? RAW_SECTOR_BYTES : ISO_SECTOR_BYTES),
      progress_(options.progress),
      kept_(options.keptSectors),
      sink_(options.sink) {
    const unsigned workers = WorkerCount(options.workerThreads);
    // Enough chunks that every worker has one while the writer writes two.
    ring_.resize(2 * workers + 2);
    for (Chunk& chunk : ring_) {
        chunk.storage.resize(CHUNK_SECTORS * sectorBytes_ + PAGE_BYTES);
        const auto address = reinterpret_cast<uintptr_t>(chunk.storage.data());
        chunk.bytes = chunk.storage.data() + (PAGE_BYTES - address % PAGE_BYTES) % PAGE_BYTES;
    }
    for (unsigned i = 0; i < workers; ++i) {
        try {
            workers_.emplace_back(&SectorPipeline::Work, this);
        } catch (const std::system_error&) {
            break;  // fewer threads, or none: Submit() then prepares chunks itself
        }
    }
}

SectorPipeline::~SectorPipeline() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workReady_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

uint8_t* SectorPipeline::SectorAt(Chunk& chunk, int32_t index) const {
    return chunk.bytes + static_cast<size_t>(index) * sectorBytes_;
}

// The chunk being described, taking the next one of the ring (and writing
// out what holds it) when there is none.
Chunk& SectorPipeline::Filling() {
    if (filling_ != nullptr) return *filling_;
    Chunk& next = ring_[submitted_ % ring_.size()];
    while (submitted_ - written_ >= ring_.size()) WriteOldest();
    next.state = Chunk::State::Filling;
    next.segments.clear();
    next.firstLba = nextLba_;
    next.count = 0;
    filling_ = &next;
    return next;
}

void SectorPipeline::Submit() {
    Chunk& chunk = *filling_;
    filling_ = nullptr;
    ++submitted_;
    if (workers_.empty()) {
        Prepare(chunk, writerSource_);
        chunk.state = Chunk::State::Done;
        return;
    }
    {
        std::lock_guard lock(mutex_);
        chunk.state = Chunk::State::Queued;
        queue_.push_back(&chunk);
    }
    workReady_.notify_one();
}

bool SectorPipeline::AppendSector(const uint8_t* sector) {
    if (error_.failure != OutputFailure::None) return false;
    Chunk& chunk = Filling();
    std::memcpy(SectorAt(chunk, chunk.count), sector, sectorBytes_);
    Segment* last = chunk.segments.empty() ? nullptr : &chunk.segments.back();
    if (last != nullptr && last->kind == Segment::Kind::Assembled) {
        ++last->count;
    } else {
        Segment segment;
        segment.first = chunk.count;
        segment.count = 1;
        segment.progressOrigin = nextLba_;
        chunk.segments.push_back(segment);
    }
    ++chunk.count;
    ++nextLba_;
    if (chunk.count == CHUNK_SECTORS) Submit();
    return true;
}

// A 2048-byte image takes a large file's whole sectors straight from file to
// file (unless a sink takes the sectors); everything else is read into
// chunks. Progress is reported every 20 sectors from the file's start and at
// its final partial sector.
bool SectorPipeline::AppendFile(const std::string* source, uint32_t size, int32_t owner) {
    const int32_t wholeSectors = static_cast<int32_t>(size / ISO_SECTOR_BYTES);
    const int32_t finalBytes = static_cast<int32_t>(size % ISO_SECTOR_BYTES);
    Segment run;
    run.kind = Segment::Kind::FileData;
    run.owner = owner;
    run.source = source;
    run.progressEvery = FILL_BATCH_SECTORS;
    // A kept sector must pass through a chunk to be put back.
    const bool keptWithin = kept_ != nullptr && kept_->AnyIn(nextLba_, wholeSectors);
    if (!raw_ && wholeSectors >= MIN_COPIED_SECTORS && !keptWithin && sink_ == nullptr) {
        Segment whole = run;
        whole.kind = Segment::Kind::Copied;
        whole.count = wholeSectors;
        if (!AppendRun(whole) || finalBytes == 0) return error_.failure == OutputFailure::None;
        run.offset = static_cast<uint64_t>(wholeSectors) * ISO_SECTOR_BYTES;
        run.count = 1;
    } else {
        run.count = wholeSectors + (finalBytes > 0 ? 1 : 0);
        run.progressExtra = finalBytes > 0 ? nextLba_ + wholeSectors : -1;
    }
    run.finalBytes = finalBytes;
    return AppendRun(run);
}

bool SectorPipeline::AppendXaFile(const std::string* source, int32_t sectors, int32_t owner) {
    Segment run;
    run.kind = Segment::Kind::XaData;
    run.owner = owner;
    run.source = source;
    run.count = sectors;
    run.progressEvery = FILL_BATCH_SECTORS;
    return AppendRun(run);
}

bool SectorPipeline::AppendRun(Segment run) {
    run.progressOrigin = nextLba_;
    const uint64_t sourceSectorBytes =
        run.kind == Segment::Kind::XaData ? XA_SOURCE_SECTOR_BYTES : ISO_SECTOR_BYTES;
    const int32_t total = run.count;
    const int32_t finalBytes = run.finalBytes;
    for (int32_t done = 0; done < total;) {
        if (error_.failure != OutputFailure::None) return false;
        Chunk& chunk = Filling();
        Segment part = run;
        part.first = chunk.count;
        part.count = std::min(total - done, CHUNK_SECTORS - chunk.count);
        part.offset = run.offset + static_cast<uint64_t>(done) * sourceSectorBytes;
        part.finalBytes = done + part.count == total ? finalBytes : 0;
        chunk.segments.push_back(part);
        chunk.count += part.count;
        nextLba_ += part.count;
        done += part.count;
        if (chunk.count == CHUNK_SECTORS) Submit();
    }
    return error_.failure == OutputFailure::None;
}

OutputError SectorPipeline::Finish() {
    if (filling_ != nullptr) {
        if (filling_->count > 0) {
            Submit();
        } else {
            filling_->state = Chunk::State::Free;
            filling_ = nullptr;
        }
    }
    while (written_ < submitted_) WriteOldest();
    return error_;
}

bool SectorPipeline::Close() {
    const bool finished = Finish().failure == OutputFailure::None;
    return file_.Close() && finished;
}

void SectorPipeline::WriteOldest() {
    Chunk& chunk = ring_[written_ % ring_.size()];
    {
        std::unique_lock lock(mutex_);
        chunkDone_.wait(lock, [&] { return chunk.state == Chunk::State::Done; });
    }
    if (error_.failure == OutputFailure::None) WriteChunk(chunk);
    chunk.state = Chunk::State::Free;
    ++written_;
}

// Writes the chunk's sectors up to the first that is not fit to be written,
// and records the first failure.
void SectorPipeline::WriteChunk(const Chunk& chunk) {
    int32_t done = 0;  // sectors of the chunk now in the image
    OutputFailure failure = OutputFailure::None;
    const auto& segments = chunk.segments;
    for (size_t i = 0; i < segments.size() && done < chunk.ready && failure == OutputFailure::None;) {
        if (segments[i].kind == Segment::Kind::Copied) {
            failure = WriteCopied(segments[i++], done);
            continue;
        }
        int32_t to = done;  // the buffered segments up to the next copied one
        for (; i < segments.size() && segments[i].kind != Segment::Kind::Copied; ++i) {
            to = segments[i].first + segments[i].count;
        }
        if (!WriteBuffered(chunk, done, std::min(to, chunk.ready), done)) failure = OutputFailure::ShortWrite;
    }
    ReportProgress(chunk, done);
    if (failure != OutputFailure::None) {
        const auto owns = [&](const Segment& s) { return done < s.first + s.count; };
        error_ = {failure, std::find_if(segments.begin(), segments.end(), owns)->owner};
    } else if (chunk.ready < chunk.count) {
        error_ = chunk.error;
    }
}

bool SectorPipeline::WriteBuffered(const Chunk& chunk, int32_t from, int32_t to, int32_t& done) {
    if (sink_ != nullptr) {
        const uint8_t* first = chunk.bytes + static_cast<size_t>(from) * sectorBytes_;
        const bool taken = sink_->Take(chunk.firstLba + from, first, to - from);
        done = taken ? to : from;
        return taken;
    }
    const size_t wanted = static_cast<size_t>(to - from) * sectorBytes_;
    const size_t written = file_.WriteSome(chunk.bytes + static_cast<size_t>(from) * sectorBytes_, wanted);
    done = from + static_cast<int32_t>(written / sectorBytes_);
    return written == wanted;
}

// Whole sectors of a file, copied by the kernel; what the source lacks is zeros.
OutputFailure SectorPipeline::WriteCopied(const Segment& segment, int32_t& done) {
    static const std::vector<uint8_t> zeros(CHUNK_SECTORS * ISO_SECTOR_BYTES, 0);
    const InputFile* source = writerSource_.Open(segment.source);
    if (source == nullptr) return OutputFailure::CannotOpenSource;
    const size_t wanted = static_cast<size_t>(segment.count) * ISO_SECTOR_BYTES;
    bool writeFailed = false;
    size_t copied = file_.AppendFrom(*source, segment.offset, wanted, writeFailed);
    if (!writeFailed && copied < wanted) {
        const size_t missing = wanted - copied;
        const size_t put = file_.WriteSome(zeros.data(), missing);
        copied += put;
        writeFailed = put < missing;
    }
    done = segment.first + static_cast<int32_t>(copied / ISO_SECTOR_BYTES);
    return writeFailed ? OutputFailure::ShortWrite : OutputFailure::None;
}

void SectorPipeline::ReportProgress(const Chunk& chunk, int32_t sectors) const {
    if (!progress_) return;
    for (const Segment& s : chunk.segments) {
        const int32_t end = std::min(s.first + s.count, sectors);
        for (int32_t i = s.first; i < end; ++i) {
            const int32_t lba = chunk.firstLba + i;
            if ((lba - s.progressOrigin) % s.progressEvery == 0 || lba == s.progressExtra) progress_(lba);
        }
    }
}

void SectorPipeline::Work() {
    OpenSource source;
    for (;;) {
        Chunk* chunk = nullptr;
        {
            std::unique_lock lock(mutex_);
            workReady_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            chunk = queue_.front();
            queue_.pop_front();
        }
        Prepare(*chunk, source);
        {
            std::lock_guard lock(mutex_);
            chunk->state = Chunk::State::Done;
        }
        chunkDone_.notify_all();
    }
}

// Reads and stamps every segment, then encodes the sectors that are fit to
// be written, all while the chunk is in this core's cache.
void SectorPipeline::Prepare(Chunk& chunk, OpenSource& source) const {
    chunk.ready = chunk.count;
    for (const Segment& segment : chunk.segments) {
        const bool filled = FillSegment(chunk, segment, source);
        if (raw_) StampSegment(chunk, segment);
        if (!filled) break;
    }
    if (raw_) EncodeChunk(chunk);
    if (kept_ != nullptr) {
        RestoreKeptSectors(*kept_, chunk.firstLba, chunk.ready, chunk.bytes, sectorBytes_);
    }
}

// EDC and parity of every sector filled so far, each as its segment says.
void SectorPipeline::EncodeChunk(Chunk& chunk) const {
    SectorEncoder encoder;
    for (const Segment& segment : chunk.segments) {
        const int32_t end = std::min(segment.first + segment.count, chunk.ready);
        for (int32_t i = segment.first; i < end; ++i) {
            if (segment.kind == Segment::Kind::XaData) {
                EncodeXaSector(encoder, SectorAt(chunk, i));
            } else {
                encoder.EncodeSector(SectorAt(chunk, i));
            }
        }
    }
}

// Puts the segment's data in place; false (with chunk.ready and chunk.error
// set) when its source fails.
bool SectorPipeline::FillSegment(Chunk& chunk, const Segment& segment, OpenSource& sources) const {
    if (segment.kind == Segment::Kind::Assembled || segment.kind == Segment::Kind::Copied) return true;
    if (segment.kind == Segment::Kind::XaData) return FillXaSegment(chunk, segment, sources);
    const size_t dataOffset = raw_ ? USER_DATA_OFFSET : 0;
    uint8_t* first = SectorAt(chunk, segment.first) + dataOffset;
    size_t got = 0;
    if (segment.kind == Segment::Kind::FileData) {
        const InputFile* source = sources.Open(segment.source);
        if (source == nullptr) {
            chunk.ready = segment.first;
            chunk.error = {OutputFailure::CannotOpenSource, segment.owner};
            return false;
        }
        const size_t pieces = static_cast<size_t>(segment.count);
        got = raw_ ? source->ReadPiecesAt(segment.offset, first, ISO_SECTOR_BYTES, sectorBytes_, pieces)
                   : source->ReadAt(segment.offset, first, pieces * ISO_SECTOR_BYTES);
    }
    // What the source did not give is zeros.
    for (int32_t i = static_cast<int32_t>(got / ISO_SECTOR_BYTES); i < segment.count; ++i) {
        const size_t within = std::max<size_t>(got, size_t(i) * ISO_SECTOR_BYTES) - size_t(i) * ISO_SECTOR_BYTES;
        std::memset(first + static_cast<size_t>(i) * sectorBytes_ + within, 0, ISO_SECTOR_BYTES - within);
    }
    if (segment.finalBytes > 0) {
        const size_t before = static_cast<size_t>(segment.count - 1) * ISO_SECTOR_BYTES;
        if (got < before + static_cast<size_t>(segment.finalBytes)) {
            chunk.ready = segment.first + segment.count - 1;
            chunk.error = {OutputFailure::SourceShort, segment.owner};
            return false;
        }
    }
    return true;
}

// Whole source sectors; a source that cannot give them all fails at the first one missing.
bool SectorPipeline::FillXaSegment(Chunk& chunk, const Segment& segment, OpenSource& sources) const {
    const InputFile* source = sources.Open(segment.source);
    const int32_t got =
        source == nullptr ? 0 : ReadXaSectors(*source, segment.offset, SectorAt(chunk, segment.first), segment.count);
    if (got == segment.count) return true;
    chunk.ready = segment.first + got;
    chunk.error = {source == nullptr ? OutputFailure::CannotOpenSource : OutputFailure::SourceShort, segment.owner};
    return false;
}

// Sync, header with the sector's address, and the Form 1 data subheader.
void SectorPipeline::StampSegment(Chunk& chunk, const Segment& segment) const {
    if (segment.kind == Segment::Kind::XaData) {
        StampXaSectorHeaders(SectorAt(chunk, segment.first), segment.count, chunk.firstLba + segment.first);
        return;
    }
    if (segment.kind != Segment::Kind::FileData && segment.kind != Segment::Kind::Filler) return;
    SectorHeaderTemplate header;
    const auto address = BcdAddressOfLba(chunk.firstLba + segment.first);
    std::copy(address.begin(), address.end(), header.bytes.begin() + 12);
    for (int32_t i = 0; i < segment.count; ++i) StampSectorHeader(SectorAt(chunk, segment.first + i), header);
}

}  // namespace korvalin
