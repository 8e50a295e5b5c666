// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opens what a user calls a disc image: a .cue sheet (its first data
// track), a raw .bin, a 2048-byte .iso or the IML variant's .ims.

#include <memory>
#include <string>
#include <vector>

#include "disc/image_reader.h"
#include "disc/image_source.h"

namespace korvalin {

struct DiscImage {
    std::string path;       // as given
    std::string dataFile;   // the file the data track is read from
    std::unique_ptr<FileImageSource> source;
    ImageFormat format;
    bool fileSystemOnly = false;          // a .ims: files lie past its end by design
    std::vector<std::string> otherTracks; // tracks of a cue sheet that are not read, e.g. "track 02 (AUDIO)"
};

// True for a path ending in ".cue" (any case).
bool IsCueSheetName(const std::string& path);
// True for a path ending in ".ims" (any case), the IML variant's image.
bool IsFileSystemOnlyImageName(const std::string& path);

// False with a message naming the file and what is wrong: it cannot be read,
// a cue sheet names a missing file or holds no data track of a known mode.
bool OpenDiscImage(const std::string& path, DiscImage& image, std::string& message);

}  // namespace korvalin
