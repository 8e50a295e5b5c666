// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a dump of a disc image will do, worked out before anything is
// written: the project whose tables follow the disc, the files to extract,
// and what the project cannot hold.

#include <cstdint>
#include <string>
#include <vector>

#include "disc/disc_image.h"
#include "disc/iso_tree.h"
#include "model/project.h"

namespace korvalin {

struct DumpedFile {
    DirectoryRecord record;
    std::string discPath;      // "\DATA\ONE.BIN"
    std::string relativePath;  // "DATA/ONE.BIN", below the files folder
    int32_t fileIndex = -1;    // its FileTable index; -1 when the project cannot hold it
    bool form2 = false;        // extracted as 2336-byte sectors
    bool rawXa = false;        // its extent holds Form 2 sectors: a raw XA file (dump_xa_files.h)
};

struct DumpPlan {
    DiscImage image;
    IsoTree tree;
    Project project;
    std::vector<std::string> dirRelativePaths;  // per tree directory, "" for the root
    std::vector<DumpedFile> files;              // every file record, directory by directory
    std::vector<std::string> unrepresented;     // what the project cannot hold, one line each
    int32_t aliases = 0;
    int64_t bytes = 0;                          // file bytes to extract
    std::string label;                          // the volume label, trailing blanks dropped
};

// Opens and reads the image and builds the project; source paths point
// into `filesFolder`. False with a message naming the image and the fault.
bool PlanDump(const std::string& imagePath, const std::string& filesFolder, DumpPlan& plan, std::string& message);

// A date of a directory record as the project stores it: the recorded time
// taken as the time shown (UTC plus one hour), back to UTC in DOS words.
// Odd seconds go down to DOS's 2-second steps; false when the year is
// outside 1980-2107 and was held at the nearest end.
bool RecordDateToDos(const RecordDate& date, uint16_t& dosDate, uint16_t& dosTime);

}  // namespace korvalin
