// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks any PlayStation CD image, raw (2352-byte sectors) or plain (2048):
// every raw sector's sync, address, mode, subheader, EDC and P/Q parity, and
// the ISO 9660 / CD-XA file system: volume descriptors, the four path
// tables, and every directory record of the hierarchy.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "disc/cue_audio_tracks.h"
#include "disc/disc_image.h"
#include "disc/image_reader.h"
#include "disc/image_source.h"
#include "image/verify_problems.h"

namespace korvalin {

struct VerifyOptions {
    // Problems listed per kind (sector level, file system); more are only counted.
    int64_t listLimit = 100;
    // The image holds only the file-system sectors of a larger volume (the
    // IML variant's .ims): the volume may be larger than the file and file
    // extents are not checked. VerifyImage also assumes it for a name ending in ".ims".
    bool fileSystemOnly = false;
    // The disc's sectors when it holds more than the image checked (a cue
    // sheet's audio tracks): file extents may run up to it. 0: the image's.
    int64_t discSectors = 0;
};

// Called now and then during the sector pass with the sectors done so far.
using VerifyProgress = std::function<void(int64_t done, int64_t total)>;

struct VerifyReport {
    bool opened = false;   // false: the file could not be opened; `openError` says why
    std::string openError;
    ImageFormat format;
    int64_t sectorsChecked = 0;  // raw sectors whose sync, header, EDC and parity were checked
    int64_t directories = 0;     // directories and files found in the hierarchy
    int64_t files = 0;
    // Listed problems, sector-level ones first, each group in the order found;
    // a group that went past the list limit ends with a WHOLE_IMAGE line saying how many more.
    std::vector<VerifyProblem> problems;
    int64_t problemCount = 0;  // every problem found, listed or not
    std::vector<std::string> notes;  // things worth saying that are not faults
    // A cue sheet's audio tracks after its data track: placed, not checked.
    std::vector<CueAudioTrack> audioTracks;

    bool Sound() const { return opened && problemCount == 0; }
};

VerifyReport VerifyImage(const std::string& path, const VerifyOptions& options,
                         const VerifyProgress& progress = {});
VerifyReport VerifyImageSource(ImageSource& source, const VerifyOptions& options,
                               const VerifyProgress& progress = {});

}  // namespace korvalin
