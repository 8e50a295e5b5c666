// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The laid-out disc tree written out as text: the tree listing the import
// reads back, an LBA table for people, or a C header for game code.

#include <optional>
#include <string>
#include <string_view>

#include "model/project.h"

namespace korvalin {

enum class ListingFormat { ISOBUSTER, LBA_TABLE, C_HEADER };

// "isobuster", "lba", "c-header"; nothing for any other name.
std::optional<ListingFormat> ListingFormatByName(std::string_view name);

// The save dialog of the desktop's export: the chosen type's extension names the format.
constexpr char LISTING_FILE_FILTER[] =
    "IsoBuster Tree Listing (*.txt)|*.txt|LBA Table (*.lst)|*.lst|C Header (*.h)|*.h||";
constexpr char LISTING_DEFAULT_EXTENSION[] = "txt";

// By the extension of the file's name, any case: ".h" a C header, ".lst" an
// LBA table, anything else the tree listing.
ListingFormat ListingFormatForPath(std::string_view path);

// The project must have been laid out. ISOBUSTER: "LBA , \PATH" lines (CR LF),
// the directories below the root and then the files, each table in its
// order, so that importing it (with the files extracted beside it) in mode 0
// gives the same tree at the same LBAs. LBA_TABLE: every entry in LBA order
// with its sectors, size and disc time. C_HEADER: LBA_ and SIZE_ #defines per
// entry, named after its disc path, inside an include guard.
std::string ListingText(const Project& project, ListingFormat format);

// Writes `text` to `outputPath` through a temporary file renamed over it.
// Refuses the project's own file (`projectPath`, may be empty). On failure
// false and a message naming the file.
bool WriteListingFile(const std::string& text, const std::string& outputPath,
                      const std::string& projectPath, std::string& message);

}  // namespace korvalin
