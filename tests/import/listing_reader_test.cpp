// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/listing_reader.h"

#include <gtest/gtest.h>

#include <sstream>

namespace korvalin {
namespace {

std::vector<std::pair<int32_t, std::string>> Read(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::pair<int32_t, std::string>> entries;
    for (const ListingEntry& e : ReadListingEntries(in, LISTING_MAX_ENTRIES)) {
        entries.emplace_back(e.lba, e.path);
    }
    return entries;
}

TEST(ListingReader, ReadsTriplesAcrossAnyWhiteSpaceUntilAnEntryFails) {
    EXPECT_EQ(Read("24 , \\DATA\\MOVIE.STR\r\n\t30\n,x\n/A.BIN   -5 ,, B.BIN 6 , C 7 ,"),
              (std::vector<std::pair<int32_t, std::string>>{
                  {24, "\\DATA\\MOVIE.STR"}, {30, "/A.BIN"}, {-5, "B.BIN"}, {6, "C"}}));
    EXPECT_TRUE(Read("IsoBuster tree listing\n24 , \\A.BIN\n").empty());
    // "\MY" is an entry; "FILE.BIN 30 ," then fails the comma test.
    EXPECT_EQ(Read("24 , \\MY FILE.BIN\n30 , \\B.BIN\n").size(), 1u);
    // A path ends at a NUL; a long token is bounded.
    const auto entries = Read(std::string("1 , \\A\0..\\X 2 , ", 16) + std::string(10000, 'q'));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].second, "\\A");
    EXPECT_EQ(entries[1].second.size(), 4096u);
    EXPECT_EQ(LbaFromToken("150abc"), 150);
    EXPECT_EQ(LbaFromToken("-99999999999999999999999"), -2147483647 - 1);
}

}  // namespace
}  // namespace korvalin
