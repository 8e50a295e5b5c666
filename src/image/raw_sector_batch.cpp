#include "image/raw_sector_batch.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

#include "image/sector_encoder.h"
#include "image/sector_header.h"

namespace korvalin {

namespace {

// Below this many sectors per part a thread costs more than it saves.
constexpr size_t MIN_SECTORS_PER_PART = 128;
constexpr size_t MAX_PARTS = 16;

void EncodeRun(uint8_t* sectors, size_t count) {
    SectorEncoder encoder;
    for (size_t i = 0; i < count; ++i) encoder.EncodeSector(sectors + i * RAW_SECTOR_BYTES);
}

size_t PartsFor(size_t count) {
    const size_t cores = std::max<size_t>(1, std::thread::hardware_concurrency());
    return std::clamp<size_t>(count / MIN_SECTORS_PER_PART, 1, std::min(cores, MAX_PARTS));
}

}  // namespace

void EncodeRawSectors(uint8_t* sectors, size_t count) {
    const size_t parts = PartsFor(count);
    const size_t perPart = (count + parts - 1) / parts;
    std::vector<std::thread> helpers;
    for (size_t part = 1; part < parts; ++part) {
        const size_t first = part * perPart;
        if (first >= count) break;
        uint8_t* run = sectors + first * RAW_SECTOR_BYTES;
        const size_t runCount = std::min(perPart, count - first);
        try {
            helpers.emplace_back(EncodeRun, run, runCount);
        } catch (const std::system_error&) {
            EncodeRun(run, runCount);  // no thread to be had: do it here
        }
    }
    EncodeRun(sectors, std::min(perPart, count));
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace korvalin
