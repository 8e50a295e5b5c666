// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/disc_image.h"

#include <filesystem>

#include "disc/cue_sheet_parser.h"
#include "model/disc_names.h"
#include "model/message_format.h"
#include "platform/file_io.h"

namespace korvalin {

namespace {

bool EndsWith(const std::string& path, const char* tail) {
    const std::string upper = UpperCaseAscii(path);
    const std::string upperTail = UpperCaseAscii(tail);
    return upper.size() >= upperTail.size() &&
           upper.compare(upper.size() - upperTail.size(), upperTail.size(), upperTail) == 0;
}

bool OpenSource(const std::string& file, const std::string& shownAs, DiscImage& image, std::string& message) {
    image.source = std::make_unique<FileImageSource>();
    std::string reason;
    if (!image.source->Open(file, reason)) {
        message = FormatMessage("cannot read %s: %s", shownAs.c_str(), reason.c_str());
        return false;
    }
    image.dataFile = file;
    return true;
}

// The sectors of the track up to the next track that starts in the same
// file; the next track's pregap (from its INDEX 00) is not this track's.
int64_t TrackLength(const CueSheet& sheet, size_t index) {
    const CueTrack& track = sheet.tracks[index];
    if (index + 1 < sheet.tracks.size()) {
        const CueTrack& next = sheet.tracks[index + 1];
        const int64_t nextStart = next.index0 >= 0 ? next.index0 : next.index1;
        if (next.file == track.file && nextStart > track.index1) return nextStart - track.index1;
    }
    return -1;
}

bool OpenCueSheet(const std::string& path, DiscImage& image, std::string& message) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(path, bytes, reason)) {
        message = FormatMessage("cannot read %s: %s", path.c_str(), reason.c_str());
        return false;
    }
    CueSheet sheet;
    if (!ParseCueSheet(std::string(bytes.begin(), bytes.end()), sheet, reason)) {
        message = FormatMessage("%s: %s", path.c_str(), reason.c_str());
        return false;
    }
    size_t data = sheet.tracks.size();
    for (size_t i = 0; i < sheet.tracks.size(); ++i) {
        const CueTrack& t = sheet.tracks[i];
        if (data == sheet.tracks.size() && t.IsData() && t.sectorBytes > 0 && t.index1 >= 0) {
            data = i;
        } else {
            image.otherTracks.push_back(FormatMessage("track %02d (%s)", t.number, t.mode.c_str()));
        }
    }
    if (data == sheet.tracks.size()) {
        message = FormatMessage("%s names no data track (MODE1/2352, MODE2/2352 or MODE2/2336) with an INDEX 01",
                                path.c_str());
        return false;
    }
    const CueTrack& track = sheet.tracks[data];
    const std::filesystem::path named(track.file);
    const std::string file =
        named.is_absolute() ? track.file : (std::filesystem::path(path).parent_path() / named).string();
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        message = FormatMessage("%s names the file %s, which does not exist", path.c_str(), file.c_str());
        return false;
    }
    if (!OpenSource(file, file, image, message)) return false;
    const uint64_t start = static_cast<uint64_t>(track.index1) * static_cast<uint64_t>(track.sectorBytes);
    image.format = TrackFormat(image.source->Size(), track.sectorBytes, track.mode == "MODE1/2352", start,
                               TrackLength(sheet, data),
                               FormatMessage("track %02d %s of the cue sheet", track.number, track.mode.c_str()));
    return true;
}

}  // namespace

bool IsCueSheetName(const std::string& path) { return EndsWith(path, ".cue"); }

bool IsFileSystemOnlyImageName(const std::string& path) { return EndsWith(path, ".ims"); }

bool OpenDiscImage(const std::string& path, DiscImage& image, std::string& message) {
    image.path = path;
    if (IsCueSheetName(path)) return OpenCueSheet(path, image, message);
    if (!OpenSource(path, path, image, message)) return false;
    if (image.source->Size() == 0) {
        message = FormatMessage("%s is empty", path.c_str());
        return false;
    }
    image.format = DetectImageFormat(*image.source);
    image.fileSystemOnly = IsFileSystemOnlyImageName(path);
    return true;
}

}  // namespace korvalin
