// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The extension records of the audio tracks: one per track, in track order.

#include <cstdint>
#include <string>
#include <vector>

#include "model/project.h"

namespace korvalin {

// Payload: u8 source kind, 3 zero bytes, u32 pregap sectors, u32 data
// offset, u32 data bytes, u32 path length and the path. Bytes after the
// path are left to later versions.
ExtensionRecord AudioTrackRecord(const AudioTrack& track);
// Appends the record's track to `tracks`; false with `problem` set when the
// payload is damaged or out of range, or the tracks are already full.
bool TakeAudioTrackRecord(const ExtensionRecord& record, uint32_t number,
                          std::vector<AudioTrack>& tracks, std::string& problem);

}  // namespace korvalin
