// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sound sources for the audio-track tests: WAV files and bare samples.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/project.h"
#include "test_support.h"

namespace korvalin::test {

// `bytes` bytes of recognisable samples, different for each `seed`.
inline std::vector<uint8_t> Samples(size_t bytes, uint32_t seed) {
    std::vector<uint8_t> pcm(bytes);
    uint32_t x = seed * 2654435761u + 1;
    for (uint8_t& b : pcm) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 16);
    }
    return pcm;
}

inline void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A RIFF WAVE file around `pcm`; `extra` chunks go between "fmt " and "data".
inline std::vector<uint8_t> WavFile(const std::vector<uint8_t>& pcm, uint16_t channels = 2,
                                    uint32_t rate = 44100, uint16_t bits = 16,
                                    uint16_t format = 1, const std::vector<uint8_t>& extra = {}) {
    std::vector<uint8_t> wav{'R', 'I', 'F', 'F'};
    PutLe(wav, static_cast<uint32_t>(4 + 24 + extra.size() + 8 + pcm.size()), 4);
    for (char c : std::string("WAVEfmt ")) wav.push_back(static_cast<uint8_t>(c));
    PutLe(wav, 16, 4);
    PutLe(wav, format, 2);
    PutLe(wav, channels, 2);
    PutLe(wav, rate, 4);
    PutLe(wav, rate * channels * bits / 8, 4);
    PutLe(wav, channels * bits / 8, 2);
    PutLe(wav, bits, 2);
    wav.insert(wav.end(), extra.begin(), extra.end());
    for (char c : std::string("data")) wav.push_back(static_cast<uint8_t>(c));
    PutLe(wav, static_cast<uint32_t>(pcm.size()), 4);
    wav.insert(wav.end(), pcm.begin(), pcm.end());
    return wav;
}

// Appends three tracks of odd lengths (a partial last sector, a single
// sample, whole sectors) with pregaps of 150, 0 and 75 sectors, from WAV,
// raw and WAV sources written to `folder`. Returns their samples.
inline std::vector<std::vector<uint8_t>> AddThreeTracks(Project& project,
                                                        const std::filesystem::path& folder) {
    std::vector<std::vector<uint8_t>> pcm = {Samples(2352 * 3 + 100, 1), Samples(4, 2),
                                             Samples(2352 * 2, 3)};
    WriteBytes(folder / "one.wav", WavFile(pcm[0]));
    WriteBytes(folder / "two.raw", pcm[1]);
    WriteBytes(folder / "three.wav", WavFile(pcm[2]));
    const std::pair<const char*, int32_t> tracks[] = {{"one.wav", 150}, {"two.raw", 0}, {"three.wav", 75}};
    for (const auto& [name, pregap] : tracks) {
        AudioTrack track;
        std::string problem;
        EXPECT_TRUE(ProbeAudioSource((folder / name).string(), track, problem)) << problem;
        track.pregapSectors = pregap;
        project.audioTracks.push_back(track);
    }
    return pcm;
}

}  // namespace korvalin::test
