// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/system_area_note.h"

#include <algorithm>

#include "disc/iso_tree.h"
#include "model/project.h"

namespace korvalin {

namespace {

constexpr char BLANK_SYSTEM_AREA_NOTE[] =
    "sectors 0-15 are all zero, without sync or header: some emulators (DuckStation for one) refuse "
    "such an image; stamp them with korvalin system-area PROJECT --stamp on (or korvalin new "
    "--stamp-system-area) and compile again";

bool MeantToBoot(ImageSource& source, const ImageFormat& format) {
    ImageReader reader(source, format);
    IsoTree tree;
    std::string problem;
    if (!ReadIsoTree(reader, false, tree, problem) || tree.dirs.empty()) return false;
    const auto& files = tree.dirs[0].files;
    return std::any_of(files.begin(), files.end(), [](const DirectoryRecord& r) {
        const std::string name = NameWithoutVersion(r.identifier);
        return name == "SYSTEM.CNF" || name == "PSX.EXE";
    });
}

}  // namespace

std::optional<std::string> BlankSystemAreaNote(ImageSource& source, const ImageFormat& format,
                                               int64_t blankSystemAreaSectors) {
    if (blankSystemAreaSectors != SYSTEM_AREA_SECTORS || !MeantToBoot(source, format)) return std::nullopt;
    return BLANK_SYSTEM_AREA_NOTE;
}

}  // namespace korvalin
