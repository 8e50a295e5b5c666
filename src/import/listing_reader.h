// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The IsoBuster tree listing: white-space separated triples of an LBA, a
// token that starts with a comma, and a disc path.

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace korvalin {

// As many entries as a full project's directories and files, so that the
// listing of any disc the tables can hold is read whole.
constexpr int32_t LISTING_MAX_ENTRIES = 1024 + 4096;
constexpr size_t LISTING_MAX_BOUNDARIES = 9;

struct ListingEntry {
    int32_t lba = 0;
    std::string path;
};

// The entries every pass of the import reads: from the start, up to
// `maxEntries`, ending early at the end of the text, at an incomplete entry
// or at one whose separator does not start with a comma. A path ends at its
// first NUL byte; paths are kept to 4096 characters (no longer one can be
// found on disk).
std::vector<ListingEntry> ReadListingEntries(std::istream& in,
                                             int32_t maxEntries = LISTING_MAX_ENTRIES);

// The number at the start of a token: optional sign and digits, 0 when
// there is none; values beyond 32 bits are held at the nearest limit.
int32_t LbaFromToken(std::string_view token);

// The positions of each '\' or '/' of the path and then of its end, at most 9.
std::vector<size_t> PathBoundaries(std::string_view path);

}  // namespace korvalin
