// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The audio tracks of a cue sheet, dumped: each becomes a WAV file and a
// track of the project, with the pregap the cue sheet gives it.

#include <cstdint>
#include <string>
#include <vector>

#include "model/project.h"

namespace korvalin {

constexpr char DUMP_TRACKS_FOLDER[] = "tracks";

struct CueAudioTrack {
    int32_t number = 0;
    std::string file;           // the image file holding it, resolved
    int32_t pregapSectors = 0;  // from INDEX 00 (or the track's start) to INDEX 01
    uint64_t startByte = 0;     // INDEX 01 in its file
    uint64_t bytes = 0;         // up to the next track of the file, or the file's end
    int64_t discLba = 0;        // INDEX 01 counted from the disc's first sector
};

// The audio tracks after the first data track of a cue sheet (one file for
// all tracks or one per track). False with `problem` set when a track's
// file is missing or its indexes run backwards.
bool ReadCueAudioTracks(const std::string& cuePath, std::vector<CueAudioTrack>& tracks,
                        std::string& problem);

// The tracks that DumpAudioTracks writes, in order; none for an image that
// is not a cue sheet or one it cannot read.
std::vector<CueAudioTrack> DumpedAudioTracks(const std::string& imagePath);
// "track 02 (AUDIO)", as the disc reader names a track it does not read.
std::string CueTrackName(const CueAudioTrack& track);

// Makes the dummies whose extent starts where a dumped track starts DA
// files of that track (2 for the first of `tracks`).
void MarkDaFiles(Project& project, const std::vector<CueAudioTrack>& tracks);

// For a cue sheet: writes each audio track as OUTDIR/tracks/TRACKnn.wav and
// appends it to the project's tracks. Nothing for any other image. False
// with `message` naming the file that could not be read or written.
bool DumpAudioTracks(const std::string& imagePath, const std::string& outDir, Project& project,
                     std::string& message);

}  // namespace korvalin
