// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Cue sheets as disc images come with them: FILE, TRACK, INDEX and PREGAP lines.

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

struct CueTrack {
    int32_t number = 0;
    std::string mode;          // "MODE1/2352", "MODE2/2352", "MODE2/2336", "AUDIO", ...
    int32_t sectorBytes = 0;   // 2352, 2336 or 2048; 0 for a mode this reader does not know
    std::string file;          // the FILE it is in, as the cue sheet names it
    int64_t index1 = -1;       // INDEX 01 in sectors from the start of its file; -1 when missing
    int64_t index0 = -1;       // INDEX 00, where its pregap begins; -1 when it has none
    int64_t pregap = 0;        // PREGAP: silence before it that its file does not hold
    bool IsData() const { return mode != "AUDIO"; }
};

struct CueSheet {
    std::vector<CueTrack> tracks;
};

// Parses the text of a cue sheet. False with a reason naming the line for a
// TRACK before any FILE, an INDEX or PREGAP outside a track or a malformed time.
bool ParseCueSheet(const std::string& text, CueSheet& sheet, std::string& problem);

}  // namespace korvalin
