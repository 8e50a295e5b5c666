// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three compile variants and the names of their files, from the name
// the user chose.

#include <string>

namespace korvalin {

struct ImageVariant {
    int32_t rawSectors = 1;
    bool imlMode = false;
    std::string imagePath;          // where the image goes
    std::string outputSidecarPath;  // the cue sheet or the IML file

    // Whether the compile writes outputSidecarPath: a .iso names one but has none.
    bool HasCompanion() const { return rawSectors == 1 || imlMode; }
};

// "x.iso" (any case): 2048-byte sectors, no companion file.
// "x.iml" (any case): 2048-byte sectors in "x.ims" (third letter made a
// lower-case s) and the IML file "x.iml".
// Anything else: raw sectors under the chosen name, cue sheet beside it with
// the extension replaced by "cue".
// The extension is the text after the last dot of the file's own name; a
// name without one gets ".cue" or ".iml" appended instead.
ImageVariant ChooseImageVariant(const std::string& chosenPath);

// The file's own name: the text after the last '/'.
std::string FileNamePart(const std::string& path);

}  // namespace korvalin
