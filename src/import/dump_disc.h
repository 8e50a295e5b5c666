// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Disc image in, project and files out: extracts every file of an ISO 9660
// image into OUTDIR/files, writes a project whose tables follow the disc
// (every entry pinned at its LBA) and the tree listing the import reads.

#include <cstdint>
#include <string>
#include <vector>

#include "model/progress.h"

namespace korvalin {

struct DumpOptions {
    std::string imagePath;
    std::string outDir;
    std::string projectPath;  // empty: OUTDIR/<LABEL>.krv
    bool force = false;       // write into a folder that is not empty
    bool keepSectors = true;  // keep what the project cannot generate in a side file
};

struct DumpResult {
    int32_t directories = 0;  // the root included
    int32_t files = 0;
    int64_t bytes = 0;
    int32_t aliases = 0;
    int32_t audioTracks = 0;  // written to OUTDIR/tracks
    std::vector<std::string> unrepresented;  // what the project cannot hold, by name
    std::string projectPath;
    std::string listingPath;
    std::string filesFolder;
    int32_t keptSectors = 0;    // sectors kept verbatim in keptPath
    int64_t keptBytes = 0;      // the side file's size
    std::string keptPath;       // empty when nothing was kept
    std::string notKeptReason;  // why no sector could be compared, if so
};

constexpr char DUMP_FILES_FOLDER[] = "files";

// 0 when everything was written; 1 with `message` naming the file and the
// fault. The project file is written last, so a dump that fails leaves none.
// Progress runs from 0 to BULK_PROGRESS_RANGE over the bytes extracted.
int DumpDiscImage(const DumpOptions& options, DumpResult& result, std::string& message,
                  const ProgressCallback& progress = {});

}  // namespace korvalin
