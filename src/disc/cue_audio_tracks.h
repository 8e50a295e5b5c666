// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the audio tracks of a cue sheet lie: in their files, and on the disc
// the cue sheet describes (pregaps it leaves to the burner counted).

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

struct CueAudioTrack {
    int32_t number = 0;
    std::string file;           // the image file holding it, resolved
    int32_t pregapSectors = 0;  // INDEX 00 (or the track's start) to INDEX 01, plus PREGAP
    int32_t pregapInFile = 0;   // the part of the pregap its file holds
    uint64_t startByte = 0;     // INDEX 01 in its file
    uint64_t bytes = 0;         // up to the next track of the file, or the file's end
    int64_t discLba = 0;        // INDEX 01 counted from the disc's first sector

    int64_t Sectors() const;    // whole sectors, a partial last one counted
};

// The audio tracks after the first data track of a cue sheet (one file for
// all tracks or one per track). False with `problem` set when a track's
// file is missing or its indexes run backwards.
bool ReadCueAudioTracks(const std::string& cuePath, std::vector<CueAudioTrack>& tracks,
                        std::string& problem);

// "track 02 (AUDIO): INDEX 00 at 00:42:10 (LBA 3160), INDEX 01 at 00:44:10
// (LBA 3310), 1200 sectors (00:16:00)": times count from the disc's first
// sector, as a one-file cue sheet writes them.
std::string CueAudioTrackNote(const CueAudioTrack& track);

}  // namespace korvalin
