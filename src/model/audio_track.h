// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CD-DA tracks after the data track: where their sound comes from, their
// pregaps, and where each lands on the disc once the data track is laid out.

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

struct Project;

constexpr int32_t CD_FRAMES_PER_SECOND = 75;
constexpr int32_t DEFAULT_PREGAP_SECTORS = 2 * CD_FRAMES_PER_SECOND;
// Track 1 is the data track; a disc has at most 99.
constexpr int32_t MAX_AUDIO_TRACKS = 98;
// The last address an MSF time can name: 99:59:74.
constexpr int32_t MAX_DISC_SECTORS = (99 * 60 + 59) * CD_FRAMES_PER_SECOND + 75;
constexpr uint32_t AUDIO_SECTOR_BYTES = 2352;

enum class AudioSourceKind : uint8_t {
    Wav = 0,    // RIFF WAVE, 16-bit stereo 44.1 kHz PCM
    RawCd = 1,  // bare little-endian samples, as a cue/bin image holds them
};

struct AudioTrack {
    std::string sourcePath;
    AudioSourceKind kind = AudioSourceKind::Wav;
    int32_t pregapSectors = DEFAULT_PREGAP_SECTORS;  // silence before the track
    // Where the samples lie in the source, found when it was added.
    uint32_t dataOffset = 0;
    uint32_t dataBytes = 0;

    bool operator==(const AudioTrack&) const = default;
};

// Sectors the samples fill; the last one is padded with silence.
int32_t AudioSectors(const AudioTrack& track);

// Reads the source's header into a track (kind, data offset and length),
// pregap left at its default. False with `problem` saying what is wrong
// with the file (without its name).
bool ProbeAudioSource(const std::string& path, AudioTrack& track, std::string& problem);

// Where one track lies in the image, in sectors from its start.
struct AudioTrackPlace {
    int32_t pregapLba = 0;  // INDEX 00
    int32_t startLba = 0;   // INDEX 01
    int32_t sectors = 0;
};

// After the project's last layout: one place per track, in order.
std::vector<AudioTrackPlace> PlaceAudioTracks(const Project& project);
// The sector after the last one the image holds, audio included.
int64_t DiscEndLba(const Project& project);

// Track list edits that keep DA files on their tracks. `index` counts from
// 0 (track 2). A track that a DA file names is not removed: the disc path
// of the first such file, or "" once removed.
std::string RemoveAudioTrack(Project& project, size_t index);
void MoveAudioTrack(Project& project, size_t from, size_t to);

// Before a compile: a message when the audio tracks take the disc past the
// last address a cue sheet can name; empty when all is well or when there
// are no audio tracks.
std::vector<std::string> CheckAudioTracks(const Project& project);
// A message per track whose source cannot be opened or is shorter than
// the samples found in it when it was added.
std::vector<std::string> CheckAudioSources(const Project& project);

// The disc's time with its audio tracks, as a player shows it (the first
// sector lies 2 seconds in): "MM:SS:FF".
std::string DiscTimeText(const Project& project);
// "MM:SS:FF" for a sector count or address.
std::string MsfText(int64_t sectors);
// A pregap as typed: a sector count ("150") or a time ("00:02:00").
bool ParsePregap(const std::string& text, int32_t& sectors);

}  // namespace korvalin
