// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/da_files.h"

#include "model/disc_path.h"
#include "model/message_format.h"

namespace korvalin {

namespace {
constexpr char NO_SUCH_TRACK[] = "The DA file %s names audio track %d, which the project does not have";
constexpr uint32_t LOGICAL_BLOCK_BYTES = 2048;
}  // namespace

uint32_t DaFileSize(const AudioTrackPlace& place) {
    const uint64_t bytes = uint64_t{static_cast<uint32_t>(place.sectors)} * LOGICAL_BLOCK_BYTES;
    return bytes > INT32_MAX ? INT32_MAX : static_cast<uint32_t>(bytes);
}

void PlaceDaFiles(Project& project) {
    const std::vector<AudioTrackPlace> places = PlaceAudioTracks(project);
    for (FileEntry& file : project.fileTable) {
        if (file.daTrack < 2 || static_cast<size_t>(file.daTrack - 2) >= places.size()) continue;
        const AudioTrackPlace& place = places[static_cast<size_t>(file.daTrack - 2)];
        file.lba = place.startLba;
        file.size = DaFileSize(place);
    }
}

void SetDaFileEditor(EntryEditorState& state, const AudioTrackPlace& place) {
    if (!state.setLba) ToggleSetLba(state);
    state.lbaText = std::to_string(place.startLba);
    if (!state.setFilesize) ToggleSetFilesize(state);
    state.sizeText = std::to_string(DaFileSize(place));
}

std::vector<std::string> CheckDaFiles(const Project& project) {
    std::vector<std::string> messages;
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        const int32_t track = project.fileTable[static_cast<size_t>(f)].daTrack;
        if (track == 0 || (track >= 2 && static_cast<size_t>(track - 2) < project.audioTracks.size())) continue;
        messages.push_back(FormatMessage(NO_SUCH_TRACK, DiscPathOfEntry(project, FileId(f)).c_str(), track));
    }
    return messages;
}

}  // namespace korvalin
