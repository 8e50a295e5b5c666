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

// The project must have been laid out. ISOBUSTER: "LBA , \PATH" lines (CR LF),
// the directories below the root and then the files, each table in its
// order, so that importing it (with the files extracted beside it) in mode 0
// gives the same tree at the same LBAs. LBA_TABLE: every entry in LBA order
// with its sectors, size and disc time. C_HEADER: LBA_ and SIZE_ #defines per
// entry, named after its disc path, inside an include guard.
std::string ListingText(const Project& project, ListingFormat format);

}  // namespace korvalin
