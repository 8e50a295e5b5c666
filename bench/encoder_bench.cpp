// SPDX-License-Identifier: GPL-3.0-or-later
// Raw sector encoding and image verification speed. Bytes processed count
// 2048 user-data bytes per sector, so the MB/s figure is user data.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "disc/image_source.h"
#include "image/image_verifier.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"

namespace {

using namespace korvalin;

std::vector<uint8_t> RandomUserData(size_t sectors) {
    std::mt19937 random(42);
    std::vector<uint8_t> data(sectors * USER_DATA_BYTES);
    for (uint8_t& b : data) b = static_cast<uint8_t>(random());
    return data;
}

// Arg 0: the portable path, 1: SSSE3 + PCLMULQDQ, 2: AVX-512 + GFNI.
EncoderPath PathOf(const benchmark::State& state) { return static_cast<EncoderPath>(state.range(0)); }

bool Skipped(benchmark::State& state) {
    const std::vector<EncoderPath> paths = AvailableEncoderPaths();
    if (std::find(paths.begin(), paths.end(), PathOf(state)) != paths.end()) return false;
    state.SkipWithError("this processor lacks the path's instructions");
    return true;
}

// What a writer does per sector: stamp the header, then EDC and P/Q parity.
void BM_StampAndEncodeSector(benchmark::State& state) {
    if (Skipped(state)) return;
    constexpr size_t BATCH = 20;  // a writer's batch of sectors
    const std::vector<uint8_t> data = RandomUserData(BATCH);
    std::vector<uint8_t> batch(BATCH * RAW_SECTOR_BYTES);
    for (size_t i = 0; i < BATCH; ++i) {
        std::memcpy(batch.data() + i * RAW_SECTOR_BYTES + USER_DATA_OFFSET, data.data() + i * USER_DATA_BYTES,
                    USER_DATA_BYTES);
    }
    SectorHeaderTemplate header;
    const EncoderPath path = PathOf(state);
    for (auto _ : state) {
        for (size_t i = 0; i < BATCH; ++i) {
            uint8_t* sector = batch.data() + i * RAW_SECTOR_BYTES;
            StampSectorHeader(sector, header);
            EncodeSectorOn(path, sector);
        }
        benchmark::DoNotOptimize(batch.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BATCH * USER_DATA_BYTES));
}
BENCHMARK(BM_StampAndEncodeSector)->DenseRange(0, 2);

void BM_ComputeEdcForm1(benchmark::State& state) {
    if (Skipped(state)) return;
    std::vector<uint8_t> sector(RAW_SECTOR_BYTES);
    std::memcpy(sector.data() + USER_DATA_OFFSET, RandomUserData(1).data(), USER_DATA_BYTES);
    const EncoderPath path = PathOf(state);
    for (auto _ : state) benchmark::DoNotOptimize(ComputeEdcOn(path, sector.data(), SECTOR_FORM1));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * USER_DATA_BYTES));
}
BENCHMARK(BM_ComputeEdcForm1)->DenseRange(0, 2);

void BM_ComputeEcc(benchmark::State& state) {
    if (Skipped(state)) return;
    std::vector<uint8_t> sector(RAW_SECTOR_BYTES);
    std::memcpy(sector.data() + USER_DATA_OFFSET, RandomUserData(1).data(), USER_DATA_BYTES);
    const EncoderPath path = PathOf(state);
    for (auto _ : state) {
        ComputeEccOn(path, sector.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * USER_DATA_BYTES));
}
BENCHMARK(BM_ComputeEcc)->DenseRange(0, 2);

// A raw image of stamped, encoded sectors after an all-zero system area
// (no file system: the sector pass is what is measured).
std::vector<uint8_t> RawImage(size_t sectors) {
    const std::vector<uint8_t> data = RandomUserData(sectors);
    std::vector<uint8_t> image(sectors * RAW_SECTOR_BYTES);
    SectorHeaderTemplate header;
    SectorEncoder encoder;
    for (size_t lba = 0; lba < sectors; ++lba) {
        uint8_t* sector = image.data() + lba * RAW_SECTOR_BYTES;
        StampSectorHeader(sector, header);
        if (lba < 16) {
            std::memset(sector, 0, RAW_SECTOR_BYTES);
            continue;
        }
        std::memcpy(sector + USER_DATA_OFFSET, data.data() + lba * USER_DATA_BYTES, USER_DATA_BYTES);
        encoder.EncodeSector(sector);
    }
    return image;
}

void BM_VerifyRawImageInMemory(benchmark::State& state) {
    const size_t sectors = static_cast<size_t>(state.range(0));
    const std::vector<uint8_t> image = RawImage(sectors);
    for (auto _ : state) {
        MemoryImageSource source(image);
        const VerifyReport report = VerifyImageSource(source, VerifyOptions{});
        benchmark::DoNotOptimize(report.problemCount);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sectors * USER_DATA_BYTES));
}
BENCHMARK(BM_VerifyRawImageInMemory)->Arg(8192)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
