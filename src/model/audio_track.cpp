// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/audio_track.h"

#include <algorithm>
#include <cstring>

#include "model/disc_path.h"
#include "model/message_format.h"
#include "model/project.h"
#include "platform/file_info.h"
#include "platform/sequential_file.h"

namespace korvalin {

namespace {

constexpr char NOT_OPENED[] = "cannot be opened as a regular file";
constexpr char TOO_LARGE[] = "is larger than 4 GiB";
constexpr char NO_FMT_CHUNK[] = "is a WAV file without a \"fmt \" chunk before its \"data\" chunk";
constexpr char NO_DATA_CHUNK[] = "is a WAV file without a \"data\" chunk";
constexpr char SHORT_DATA[] = "is a WAV file whose \"data\" chunk claims %u bytes, but %llu follow";
constexpr char NOT_PCM[] = "is a WAV file in format %u, not PCM (1)";
constexpr char WRONG_SHAPE[] =
    "is a WAV file of %u channel(s), %u Hz, %u bits; CD audio needs 2 channels, 44100 Hz, 16 bits";
constexpr char DISC_TOO_LONG[] =
    "The audio tracks end the disc at sector %lld, past 99:59:74, the last address a cue sheet "
    "can name";
constexpr char NOT_RIFF[] = "is not a RIFF WAVE file";
constexpr char SOURCE_NOT_OPENED[] = "Audio track %02zu: its source %s cannot be opened as a regular file";
constexpr char SOURCE_SHORT[] =
    "Audio track %02zu: its source %s holds %llu bytes; its samples need %llu";

constexpr uint16_t FORMAT_PCM = 1;
constexpr uint16_t FORMAT_EXTENSIBLE = 0xFFFE;

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Checks a "fmt " chunk's body; "" when it describes CD audio.
std::string CheckFormat(const uint8_t* fmt, size_t size) {
    if (size < 16) return NO_FMT_CHUNK;
    uint16_t format = Le16(fmt);
    // An extensible header names its real format in the GUID's first bytes.
    if (format == FORMAT_EXTENSIBLE && size >= 26) format = Le16(fmt + 24);
    if (format != FORMAT_PCM) return FormatMessage(NOT_PCM, format);
    const uint16_t channels = Le16(fmt + 2);
    const uint32_t rate = Le32(fmt + 4);
    const uint16_t bits = Le16(fmt + 14);
    if (channels != 2 || rate != 44100 || bits != 16) {
        return FormatMessage(WRONG_SHAPE, channels, rate, bits);
    }
    return "";
}

// Walks the chunks of a RIFF WAVE file of `fileSize` bytes.
bool ProbeWav(const InputFile& in, uint64_t fileSize, AudioTrack& track, std::string& problem) {
    uint64_t at = 12;
    bool formatSeen = false;
    uint8_t head[8];
    while (in.ReadAt(at, head, 8) == 8) {
        const uint32_t size = Le32(head + 4);
        const uint64_t body = at + 8;
        if (std::memcmp(head, "fmt ", 4) == 0) {
            uint8_t fmt[40] = {};
            const size_t got = in.ReadAt(body, fmt, std::min<size_t>(size, sizeof fmt));
            problem = CheckFormat(fmt, got);
            if (!problem.empty()) return false;
            formatSeen = true;
        } else if (std::memcmp(head, "data", 4) == 0) {
            if (!formatSeen) {
                problem = NO_FMT_CHUNK;
                return false;
            }
            if (size > fileSize - body) {
                problem = FormatMessage(SHORT_DATA, size,
                                        static_cast<unsigned long long>(fileSize - body));
                return false;
            }
            track.kind = AudioSourceKind::Wav;
            track.dataOffset = static_cast<uint32_t>(body);
            track.dataBytes = size;
            return true;
        }
        at = body + size + (size & 1);  // chunks are padded to even lengths
    }
    problem = NO_DATA_CHUNK;
    return false;
}

bool HasWavName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(c | 0x20);
    return tail == ".wav";
}

bool ParseNumber(const std::string& text, int64_t max, int64_t& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= max;
}

}  // namespace

int32_t AudioSectors(const AudioTrack& track) {
    return static_cast<int32_t>((uint64_t{track.dataBytes} + AUDIO_SECTOR_BYTES - 1) /
                                AUDIO_SECTOR_BYTES);
}

bool ProbeAudioSource(const std::string& path, AudioTrack& track, std::string& problem) {
    FileInfo info;
    InputFile in;
    if (!QueryFileInfo(path, info) || info.kind != FileKind::RegularFile || !in.Open(path)) {
        problem = NOT_OPENED;
        return false;
    }
    if (info.size > UINT32_MAX) {
        problem = TOO_LARGE;
        return false;
    }
    uint8_t riff[12] = {};
    const bool isRiff = in.ReadAt(0, riff, 12) == 12 && std::memcmp(riff, "RIFF", 4) == 0 &&
                        std::memcmp(riff + 8, "WAVE", 4) == 0;
    track.sourcePath = path;
    if (isRiff) return ProbeWav(in, info.size, track, problem);
    if (HasWavName(path)) {
        problem = NOT_RIFF;
        return false;
    }
    track.kind = AudioSourceKind::RawCd;
    track.dataOffset = 0;
    track.dataBytes = static_cast<uint32_t>(info.size);
    return true;
}

std::vector<AudioTrackPlace> PlaceAudioTracks(const Project& project) {
    std::vector<AudioTrackPlace> places;
    int64_t next = project.layoutState.totalSectors;
    for (const AudioTrack& track : project.audioTracks) {
        AudioTrackPlace place;
        place.pregapLba = static_cast<int32_t>(next);
        place.startLba = static_cast<int32_t>(next + track.pregapSectors);
        place.sectors = AudioSectors(track);
        next = int64_t{place.startLba} + place.sectors;
        places.push_back(place);
    }
    return places;
}

int64_t DiscEndLba(const Project& project) {
    const std::vector<AudioTrackPlace> places = PlaceAudioTracks(project);
    if (places.empty()) return project.layoutState.totalSectors;
    return int64_t{places.back().startLba} + places.back().sectors;
}

std::string RemoveAudioTrack(Project& project, size_t index) {
    const int32_t number = static_cast<int32_t>(index) + 2;
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        if (project.fileTable[static_cast<size_t>(f)].daTrack == number) return DiscPathOfEntry(project, FileId(f));
    }
    for (FileEntry& file : project.fileTable) {
        if (file.daTrack > number) --file.daTrack;
    }
    project.audioTracks.erase(project.audioTracks.begin() + static_cast<ptrdiff_t>(index));
    return "";
}

void MoveAudioTrack(Project& project, size_t from, size_t to) {
    std::vector<int32_t> numberOf(project.audioTracks.size());  // old index -> new track number
    std::vector<size_t> order(project.audioTracks.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    order.erase(order.begin() + static_cast<ptrdiff_t>(from));
    order.insert(order.begin() + static_cast<ptrdiff_t>(to), from);
    std::vector<AudioTrack> moved;
    for (size_t i = 0; i < order.size(); ++i) {
        numberOf[order[i]] = static_cast<int32_t>(i) + 2;
        moved.push_back(project.audioTracks[order[i]]);
    }
    project.audioTracks = std::move(moved);
    for (FileEntry& file : project.fileTable) {
        const int32_t old = file.daTrack - 2;
        if (old >= 0 && static_cast<size_t>(old) < numberOf.size()) file.daTrack = numberOf[static_cast<size_t>(old)];
    }
}

std::vector<std::string> CheckAudioTracks(const Project& project) {
    // A data-only disc never had a limit: its cue sheet names sector 0 alone.
    const int64_t end = DiscEndLba(project);
    if (project.audioTracks.empty() || end <= MAX_DISC_SECTORS) return {};
    return {FormatMessage(DISC_TOO_LONG, static_cast<long long>(end))};
}

std::vector<std::string> CheckAudioSources(const Project& project) {
    std::vector<std::string> messages;
    for (size_t i = 0; i < project.audioTracks.size(); ++i) {
        const AudioTrack& track = project.audioTracks[i];
        FileInfo info;
        InputFile in;
        const char* path = track.sourcePath.c_str();
        if (!QueryFileInfo(track.sourcePath, info) || info.kind != FileKind::RegularFile || !in.Open(track.sourcePath)) {
            messages.push_back(FormatMessage(SOURCE_NOT_OPENED, i + 2, path));
            continue;
        }
        const uint64_t needed = uint64_t{track.dataOffset} + track.dataBytes;
        if (info.size < needed) {
            messages.push_back(FormatMessage(SOURCE_SHORT, i + 2, path, static_cast<unsigned long long>(info.size),
                                             static_cast<unsigned long long>(needed)));
        }
    }
    return messages;
}

std::string DiscTimeText(const Project& project) {
    return MsfText(DiscEndLba(project) + DEFAULT_PREGAP_SECTORS);
}

std::string MsfText(int64_t sectors) {
    const int64_t frames = sectors % CD_FRAMES_PER_SECOND;
    const int64_t seconds = sectors / CD_FRAMES_PER_SECOND;
    return FormatMessage("%02lld:%02lld:%02lld", static_cast<long long>(seconds / 60),
                         static_cast<long long>(seconds % 60), static_cast<long long>(frames));
}

bool ParsePregap(const std::string& text, int32_t& sectors) {
    int64_t value = 0;
    if (text.find(':') == std::string::npos) {
        if (!ParseNumber(text, MAX_DISC_SECTORS, value)) return false;
        sectors = static_cast<int32_t>(value);
        return true;
    }
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return false;
    int64_t m = 0, s = 0, f = 0;
    if (!ParseNumber(text.substr(0, 2), 99, m) || !ParseNumber(text.substr(3, 2), 59, s) ||
        !ParseNumber(text.substr(6, 2), CD_FRAMES_PER_SECOND - 1, f)) {
        return false;
    }
    sectors = static_cast<int32_t>((m * 60 + s) * CD_FRAMES_PER_SECOND + f);
    return true;
}

}  // namespace korvalin
