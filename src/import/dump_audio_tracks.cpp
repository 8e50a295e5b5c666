// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/dump_audio_tracks.h"

#include <algorithm>
#include <filesystem>

#include "disc/disc_image.h"
#include "model/message_format.h"
#include "platform/file_io.h"
#include "platform/file_info.h"
#include "platform/sequential_file.h"

namespace korvalin {

namespace {

namespace fs = std::filesystem;

constexpr char TOO_LONG[] = "%s: track %02d is longer than a WAV file can hold";
constexpr char TOO_MANY[] = "%s has %zu audio tracks; a project holds at most %d";
constexpr char CANNOT_WRITE[] = "cannot write %s";
constexpr char CANNOT_READ[] = "cannot read %s";
constexpr uint32_t WAV_HEADER_BYTES = 44;

std::vector<uint8_t> WavHeader(uint32_t dataBytes) {
    std::vector<uint8_t> header;
    const auto put = [&header](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) header.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    const auto text = [&header](const char* four) { header.insert(header.end(), four, four + 4); };
    text("RIFF");
    put(WAV_HEADER_BYTES - 8 + dataBytes, 4);
    text("WAVE");
    text("fmt ");
    put(16, 4);
    put(1, 2);  // PCM
    put(2, 2);
    put(44100, 4);
    put(44100 * 4, 4);
    put(4, 2);
    put(16, 2);
    text("data");
    put(dataBytes, 4);
    return header;
}

bool WriteWav(const CueAudioTrack& track, const std::string& path, std::string& message) {
    InputFile in;
    if (!in.Open(track.file)) {
        message = FormatMessage(CANNOT_READ, track.file.c_str());
        return false;
    }
    OutputFile out;
    const std::vector<uint8_t> header = WavHeader(static_cast<uint32_t>(track.bytes));
    bool writeFailed = false;
    if (!out.Create(path) || !out.Write(header.data(), header.size()) ||
        out.AppendFrom(in, track.startByte, track.bytes, writeFailed) != track.bytes || !out.Close()) {
        message = FormatMessage(writeFailed ? CANNOT_WRITE : CANNOT_READ,
                                (writeFailed ? path : track.file).c_str());
        return false;
    }
    return true;
}

}  // namespace

std::vector<CueAudioTrack> DumpedAudioTracks(const std::string& imagePath) {
    std::vector<CueAudioTrack> tracks;
    std::string ignored;
    if (!IsCueSheetName(imagePath) || !ReadCueAudioTracks(imagePath, tracks, ignored)) tracks.clear();
    return tracks;
}

std::string CueTrackName(const CueAudioTrack& track) { return FormatMessage("track %02d (AUDIO)", track.number); }

void MarkDaFiles(Project& project, const std::vector<CueAudioTrack>& tracks) {
    for (FileEntry& file : project.fileTable) {
        for (size_t k = 0; k < tracks.size(); ++k) {
            if (file.lba == tracks[k].discLba) file.daTrack = static_cast<int32_t>(k) + 2;
        }
    }
}

bool DumpAudioTracks(const std::string& imagePath, const std::string& outDir, Project& project,
                     std::string& message) {
    if (!IsCueSheetName(imagePath)) return true;
    std::vector<CueAudioTrack> tracks;
    if (!ReadCueAudioTracks(imagePath, tracks, message)) return false;
    if (tracks.empty()) return true;
    for (const CueAudioTrack& track : tracks) {
        if (track.bytes > UINT32_MAX - WAV_HEADER_BYTES) {
            message = FormatMessage(TOO_LONG, imagePath.c_str(), track.number);
            return false;
        }
    }
    if (tracks.size() > MAX_AUDIO_TRACKS) {
        message = FormatMessage(TOO_MANY, imagePath.c_str(), tracks.size(), MAX_AUDIO_TRACKS);
        return false;
    }
    const fs::path folder = fs::path(outDir) / DUMP_TRACKS_FOLDER;
    std::error_code error;
    fs::create_directories(folder, error);
    for (const CueAudioTrack& track : tracks) {
        const std::string path = (folder / FormatMessage("TRACK%02d.wav", track.number)).string();
        if (!WriteWav(track, path, message)) return false;
        project.audioTracks.push_back(AudioTrack{path, AudioSourceKind::Wav, track.pregapSectors,
                                                 WAV_HEADER_BYTES, static_cast<uint32_t>(track.bytes)});
    }
    return true;
}

}  // namespace korvalin
