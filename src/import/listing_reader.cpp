// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/listing_reader.h"

#include <limits>

namespace korvalin {

namespace {

constexpr size_t KEPT_TOKEN_CHARS = 4096;

bool IsBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The next white-space separated token; false at the end of the text.
// Characters beyond KEPT_TOKEN_CHARS are read and dropped.
bool ReadToken(std::streambuf& in, std::string& token) {
    token.clear();
    using Traits = std::streambuf::traits_type;
    int c = in.sgetc();
    while (c != Traits::eof() && IsBlank(c)) c = in.snextc();
    if (c == Traits::eof()) return false;
    while (c != Traits::eof() && !IsBlank(c)) {
        if (token.size() < KEPT_TOKEN_CHARS) token += static_cast<char>(c);
        c = in.snextc();
    }
    return true;
}

}  // namespace

int32_t LbaFromToken(std::string_view token) {
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
        negative = token[i] == '-';
        ++i;
    }
    int64_t value = 0;
    constexpr int64_t LIMIT = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        value = std::min(value * 10 + (token[i] - '0'), LIMIT);
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

std::vector<ListingEntry> ReadListingEntries(std::istream& in, int32_t maxEntries) {
    std::vector<ListingEntry> entries;
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) return entries;
    std::string lba;
    std::string separator;
    std::string path;
    while (static_cast<int32_t>(entries.size()) < maxEntries) {
        if (!ReadToken(*buffer, lba) || !ReadToken(*buffer, separator) ||
            !ReadToken(*buffer, path) || separator[0] != ',') {
            break;
        }
        entries.push_back({LbaFromToken(lba), path.substr(0, path.find('\0'))});
    }
    return entries;
}

std::vector<size_t> PathBoundaries(std::string_view path) {
    std::vector<size_t> boundaries;
    for (size_t i = 0; i < path.size() && boundaries.size() < LISTING_MAX_BOUNDARIES; ++i) {
        if (path[i] == '\\' || path[i] == '/') boundaries.push_back(i);
    }
    if (boundaries.size() < LISTING_MAX_BOUNDARIES) boundaries.push_back(path.size());
    return boundaries;
}

}  // namespace korvalin
