// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/dump_audio_tracks.h"

#include <algorithm>
#include <filesystem>

#include "disc/cue_sheet_parser.h"
#include "disc/disc_image.h"
#include "model/message_format.h"
#include "platform/file_io.h"
#include "platform/file_info.h"
#include "platform/sequential_file.h"

namespace korvalin {

namespace {

namespace fs = std::filesystem;

constexpr char MISSING_FILE[] = "%s names the file %s, which does not exist";
constexpr char BACKWARDS[] = "%s: track %02d does not start after the track before it";
constexpr char TOO_LONG[] = "%s: track %02d is longer than a WAV file can hold";
constexpr char TOO_MANY[] = "%s has %zu audio tracks; a project holds at most %d";
constexpr char CANNOT_WRITE[] = "cannot write %s";
constexpr char CANNOT_READ[] = "cannot read %s";
constexpr uint32_t WAV_HEADER_BYTES = 44;

std::string Resolve(const std::string& cuePath, const std::string& named) {
    const fs::path path(named);
    return path.is_absolute() ? named : (fs::path(cuePath).parent_path() / path).string();
}

int64_t FirstSector(const CueTrack& track) { return track.index0 >= 0 ? track.index0 : track.index1; }

// Where each track's first sector lies in its file, in bytes: sector sizes
// may differ from track to track of one file.
std::vector<uint64_t> TrackStartBytes(const CueSheet& sheet) {
    std::vector<uint64_t> starts(sheet.tracks.size(), 0);
    for (size_t i = 1; i < sheet.tracks.size(); ++i) {
        const CueTrack& before = sheet.tracks[i - 1];
        const CueTrack& track = sheet.tracks[i];
        if (track.file != before.file) continue;
        const int64_t sectors = std::max<int64_t>(FirstSector(track) - FirstSector(before), 0);
        starts[i] = starts[i - 1] + static_cast<uint64_t>(sectors) * static_cast<uint64_t>(before.sectorBytes);
    }
    return starts;
}

// The sectors of the file that holds track `last` and ends with it.
int64_t FileSectors(const std::string& cuePath, const CueSheet& sheet, size_t last,
                    const std::vector<uint64_t>& starts) {
    const CueTrack& track = sheet.tracks[last];
    FileInfo info;
    if (!QueryFileInfo(Resolve(cuePath, track.file), info) || track.sectorBytes <= 0 || info.size < starts[last]) {
        return 0;
    }
    return FirstSector(track) + static_cast<int64_t>((info.size - starts[last]) / static_cast<uint64_t>(track.sectorBytes));
}

bool ReadSheet(const std::string& cuePath, CueSheet& sheet, std::string& problem) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(cuePath, bytes, reason)) {
        problem = FormatMessage("cannot read %s: %s", cuePath.c_str(), reason.c_str());
        return false;
    }
    if (ParseCueSheet(std::string(bytes.begin(), bytes.end()), sheet, reason)) return true;
    problem = FormatMessage("%s: %s", cuePath.c_str(), reason.c_str());
    return false;
}

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

bool ReadCueAudioTracks(const std::string& cuePath, std::vector<CueAudioTrack>& tracks,
                        std::string& problem) {
    CueSheet sheet;
    if (!ReadSheet(cuePath, sheet, problem)) return false;
    const std::vector<uint64_t> starts = TrackStartBytes(sheet);
    bool dataSeen = false;
    int64_t fileBase = 0;  // the disc's sectors in the files before this track's
    for (size_t i = 0; i < sheet.tracks.size(); ++i) {
        const CueTrack& t = sheet.tracks[i];
        if (i > 0 && t.file != sheet.tracks[i - 1].file) fileBase += FileSectors(cuePath, sheet, i - 1, starts);
        if (t.IsData()) dataSeen = dataSeen || t.index1 >= 0;
        if (t.IsData() || !dataSeen || t.index1 < 0) continue;
        CueAudioTrack track;
        track.number = t.number;
        track.file = Resolve(cuePath, t.file);
        FileInfo info;
        if (!QueryFileInfo(track.file, info) || info.kind != FileKind::RegularFile) {
            problem = FormatMessage(MISSING_FILE, cuePath.c_str(), track.file.c_str());
            return false;
        }
        track.pregapSectors = static_cast<int32_t>(t.index1 - FirstSector(t));
        track.startByte = starts[i] + static_cast<uint64_t>(track.pregapSectors) * AUDIO_SECTOR_BYTES;
        uint64_t end = info.size;
        if (i + 1 < sheet.tracks.size() && sheet.tracks[i + 1].file == t.file) end = starts[i + 1];
        if (track.pregapSectors < 0 || end < track.startByte || track.startByte > info.size) {
            problem = FormatMessage(BACKWARDS, cuePath.c_str(), t.number);
            return false;
        }
        track.bytes = std::min<uint64_t>(end, info.size) - track.startByte;
        track.discLba = fileBase + t.index1;
        if (track.bytes > UINT32_MAX - WAV_HEADER_BYTES) {
            problem = FormatMessage(TOO_LONG, cuePath.c_str(), t.number);
            return false;
        }
        tracks.push_back(track);
    }
    return true;
}

bool DumpAudioTracks(const std::string& imagePath, const std::string& outDir, Project& project,
                     std::string& message) {
    if (!IsCueSheetName(imagePath)) return true;
    std::vector<CueAudioTrack> tracks;
    if (!ReadCueAudioTracks(imagePath, tracks, message)) return false;
    if (tracks.empty()) return true;
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
