// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/cue_audio_tracks.h"

#include <algorithm>
#include <filesystem>

#include "disc/cue_sheet_parser.h"
#include "model/audio_track.h"
#include "model/message_format.h"
#include "platform/file_io.h"
#include "platform/file_info.h"

namespace korvalin {

namespace {

namespace fs = std::filesystem;

constexpr char MISSING_FILE[] = "%s names the file %s, which does not exist";
constexpr char BACKWARDS[] = "%s: track %02d does not start after the track before it";
constexpr char TRACK_NOTE[] = "track %02d (AUDIO): INDEX 00 at %s (LBA %lld), INDEX 01 at %s (LBA %lld), "
                              "%lld sectors (%s)";

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

}  // namespace

int64_t CueAudioTrack::Sectors() const {
    return static_cast<int64_t>((bytes + AUDIO_SECTOR_BYTES - 1) / AUDIO_SECTOR_BYTES);
}

bool ReadCueAudioTracks(const std::string& cuePath, std::vector<CueAudioTrack>& tracks,
                        std::string& problem) {
    CueSheet sheet;
    if (!ReadSheet(cuePath, sheet, problem)) return false;
    const std::vector<uint64_t> starts = TrackStartBytes(sheet);
    bool dataSeen = false;
    int64_t fileBase = 0;      // the disc's sectors in the files before this track's
    int64_t pregapsBefore = 0; // PREGAP sectors so far: on the disc, in no file
    for (size_t i = 0; i < sheet.tracks.size(); ++i) {
        const CueTrack& t = sheet.tracks[i];
        if (i > 0 && t.file != sheet.tracks[i - 1].file) fileBase += FileSectors(cuePath, sheet, i - 1, starts);
        // Sector 0 is the data track's INDEX 01: a PREGAP of that track lies before it.
        if (dataSeen) pregapsBefore += t.pregap;
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
        track.pregapInFile = static_cast<int32_t>(t.index1 - FirstSector(t));
        track.pregapSectors = track.pregapInFile + static_cast<int32_t>(t.pregap);
        track.startByte = starts[i] + static_cast<uint64_t>(track.pregapInFile) * AUDIO_SECTOR_BYTES;
        uint64_t end = info.size;
        if (i + 1 < sheet.tracks.size() && sheet.tracks[i + 1].file == t.file) end = starts[i + 1];
        if (track.pregapInFile < 0 || end < track.startByte || track.startByte > info.size) {
            problem = FormatMessage(BACKWARDS, cuePath.c_str(), t.number);
            return false;
        }
        track.bytes = std::min<uint64_t>(end, info.size) - track.startByte;
        track.discLba = fileBase + pregapsBefore + t.index1;
        tracks.push_back(track);
    }
    return true;
}

std::string CueAudioTrackNote(const CueAudioTrack& track) {
    const int64_t pregapLba = track.discLba - track.pregapSectors;
    return FormatMessage(TRACK_NOTE, track.number, MsfText(pregapLba).c_str(),
                         static_cast<long long>(pregapLba), MsfText(track.discLba).c_str(),
                         static_cast<long long>(track.discLba), static_cast<long long>(track.Sectors()),
                         MsfText(track.Sectors()).c_str());
}

}  // namespace korvalin
