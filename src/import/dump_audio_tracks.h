// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The audio tracks of a cue sheet, dumped: each becomes a WAV file and a
// track of the project, with the pregap the cue sheet gives it.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/cue_audio_tracks.h"
#include "model/project.h"

namespace korvalin {

constexpr char DUMP_TRACKS_FOLDER[] = "tracks";

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
