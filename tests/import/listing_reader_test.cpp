#include "import/listing_reader.h"

#include <gtest/gtest.h>

#include <sstream>

namespace korvalin {
namespace {

std::vector<ListingEntry> Read(const std::string& text) {
    std::istringstream in(text);
    return ReadListingEntries(in, LISTING_MAX_ENTRIES);
}

TEST(ListingReader, LbaIsTheNumberAtTheStartOfItsToken) {
    EXPECT_EQ(LbaFromToken("-1"), -1);
    EXPECT_EQ(LbaFromToken("150abc"), 150);
    EXPECT_EQ(LbaFromToken("abc"), 0);
    EXPECT_EQ(LbaFromToken("99999999999999999999999"), 2147483647);
    EXPECT_EQ(LbaFromToken("-99999999999999999999999"), -2147483647 - 1);
}

TEST(ListingReader, ReadsTriplesAcrossAnyWhiteSpace) {
    const auto entries = Read("24 , \\DATA\\MOVIE.STR\r\n\t30\n,x\n/A.BIN   -5 ,, B.BIN");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].lba, 24);
    EXPECT_EQ(entries[0].path, "\\DATA\\MOVIE.STR");
    EXPECT_EQ(entries[1].lba, 30);
    EXPECT_EQ(entries[1].path, "/A.BIN");
    EXPECT_EQ(entries[2].lba, -5);
    EXPECT_EQ(entries[2].path, "B.BIN");
}

TEST(ListingReader, StopsAtAHeaderABlankInAPathOrAnIncompleteEntry) {
    EXPECT_TRUE(Read("IsoBuster tree listing\n24 , \\A.BIN\n").empty());
    // "\MY" is an entry; "FILE.BIN 30 ," then fails the comma test.
    const auto split = Read("24 , \\MY FILE.BIN\n30 , \\B.BIN\n");
    ASSERT_EQ(split.size(), 1u);
    EXPECT_EQ(split[0].path, "\\MY");
    EXPECT_EQ(Read("24 , \\A.BIN 25 ,").size(), 1u);
}

TEST(ListingReader, PathEndsAtANulAndLongTokensAreBounded) {
    const auto entries = Read(std::string("1 , \\A\0..\\X 2 , ", 16) + std::string(10000, 'q'));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, "\\A");
    EXPECT_EQ(entries[1].path.size(), 4096u);
}

TEST(ListingReader, BoundariesAreTheSeparatorsThenTheEndAtMostNine) {
    EXPECT_EQ(PathBoundaries("\\DATA\\MOVIE.STR"), (std::vector<size_t>{0, 5, 15}));
    EXPECT_EQ(PathBoundaries("FILE.BIN"), (std::vector<size_t>{8}));
    EXPECT_EQ(PathBoundaries(""), (std::vector<size_t>{0}));
    const auto deep = PathBoundaries("\\1\\2\\3\\4\\5\\6\\7\\8\\9\\X");
    EXPECT_EQ(deep, (std::vector<size_t>{0, 2, 4, 6, 8, 10, 12, 14, 16}));
}

}  // namespace
}  // namespace korvalin
