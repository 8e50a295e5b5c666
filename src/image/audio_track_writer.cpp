// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/audio_track_writer.h"

#include <algorithm>
#include <vector>

#include "image/image_naming.h"
#include "model/message_format.h"
#include "platform/sequential_file.h"

namespace korvalin {

namespace {

constexpr char NOT_BIN[] = "%s: a disc with audio tracks compiles only to a .bin image";
constexpr char CANNOT_OPEN_IMAGE[] = "no es posible crear: %s ";
constexpr char CANNOT_OPEN_SOURCE[] = "Cannot open file  %s ";
constexpr char SOURCE_TOO_SHORT[] = "Read error,incorrect filesize specified in: %s";
constexpr char WRITE_ERROR[] = "error when writing!!";
constexpr int32_t CHUNK_SECTORS = FILL_BATCH_SECTORS;

class TrackWriter {
public:
    explicit TrackWriter(CompileState& state) : state_(state) {}
    bool Open() { return image_.OpenForAppend(state_.imagePath); }
    bool Close() { return image_.Close(); }

    bool Silence(int32_t sectors) {
        chunk_.assign(size_t{CHUNK_SECTORS} * AUDIO_SECTOR_BYTES, 0);
        while (sectors > 0) {
            const int32_t n = std::min(sectors, CHUNK_SECTORS);
            if (!Put(n)) return false;
            sectors -= n;
        }
        return true;
    }

    // The samples, the last sector padded with silence. False with the
    // message set.
    bool Samples(const AudioTrack& track) {
        InputFile source;
        if (!source.Open(track.sourcePath)) {
            return Fail(FormatMessage(CANNOT_OPEN_SOURCE, track.sourcePath.c_str()));
        }
        uint64_t offset = track.dataOffset;
        uint64_t left = track.dataBytes;
        int32_t sectors = AudioSectors(track);
        while (sectors > 0) {
            const int32_t n = std::min(sectors, CHUNK_SECTORS);
            chunk_.assign(size_t{static_cast<uint32_t>(n)} * AUDIO_SECTOR_BYTES, 0);
            const size_t want = static_cast<size_t>(std::min<uint64_t>(left, chunk_.size()));
            if (source.ReadAt(offset, chunk_.data(), want) != want) {
                return Fail(FormatMessage(SOURCE_TOO_SHORT, track.sourcePath.c_str()));
            }
            if (!Put(n)) return false;
            offset += want;
            left -= want;
            sectors -= n;
        }
        return true;
    }

private:
    bool Put(int32_t sectors) {
        if (!image_.Write(chunk_.data(), size_t{static_cast<uint32_t>(sectors)} * AUDIO_SECTOR_BYTES)) {
            return Fail(WRITE_ERROR);
        }
        state_.writeLba += sectors;
        ReportProgress(state_, state_.writeLba);
        return true;
    }
    bool Fail(const std::string& message) {
        state_.compileMessage = message;
        return false;
    }

    CompileState& state_;
    OutputFile image_;
    std::vector<uint8_t> chunk_;
};

}  // namespace

std::string AudioTracksVariantProblem(const Project& project, const std::string& chosenPath) {
    if (project.audioTracks.empty() || ChooseImageVariant(chosenPath).rawSectors == 1) return "";
    return FormatMessage(NOT_BIN, chosenPath.c_str());
}

bool AppendAudioTracks(const Project& project, CompileState& state) {
    TrackWriter writer(state);
    if (!writer.Open()) {
        state.compileMessage = FormatMessage(CANNOT_OPEN_IMAGE, state.imagePath.c_str());
        return false;
    }
    const std::vector<AudioTrackPlace> places = PlaceAudioTracks(project);
    state.writeLba = project.layoutState.totalSectors;
    for (size_t i = 0; i < places.size(); ++i) {
        if (!writer.Silence(places[i].startLba - places[i].pregapLba) ||
            !writer.Samples(project.audioTracks[i])) {
            return false;
        }
    }
    if (!writer.Close()) {
        state.compileMessage = WRITE_ERROR;
        return false;
    }
    return true;
}

std::string AudioTrackCueLines(const Project& project) {
    std::string lines;
    const std::vector<AudioTrackPlace> places = PlaceAudioTracks(project);
    for (size_t i = 0; i < places.size(); ++i) {
        lines += FormatMessage("  TRACK %02zu AUDIO\n", i + 2);
        if (places[i].startLba != places[i].pregapLba) {
            lines += "    INDEX 00 " + MsfText(places[i].pregapLba) + "\n";
        }
        lines += "    INDEX 01 " + MsfText(places[i].startLba) + "\n";
    }
    return lines;
}

}  // namespace korvalin
