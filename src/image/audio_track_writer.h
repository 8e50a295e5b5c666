// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The audio tracks of a raw image: after the data track, each pregap as
// silent sectors and each track's samples as bare 2352-byte sectors.

#include <string>

#include "image/compile_state.h"
#include "model/project.h"

namespace korvalin {

// Why the image named `chosenPath` cannot hold the project's tracks, or "".
std::string AudioTracksVariantProblem(const Project& project, const std::string& chosenPath);

// Appends every track to the finished data track at state.imagePath,
// progress counting on from the data track's last sector. False with
// compileMessage set on failure.
bool AppendAudioTracks(const Project& project, CompileState& state);

// The cue sheet's lines for the tracks: "TRACK 02 AUDIO" and its indexes.
std::string AudioTrackCueLines(const Project& project);

}  // namespace korvalin
