// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/read_ahead.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace korvalin {
namespace {

std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    return bytes;
}

// The blocks put together are the range asked for, the last one short;
// a range that runs past the source ends in a failure after its whole blocks;
// a reader left half way stops without hanging.
TEST(ReadAhead, HandsOutTheRangeInOrderAndStopsAtAShortSource) {
    const std::vector<uint8_t> bytes = Counting(1000);
    MemoryImageSource source(bytes);
    {
        ReadAhead blocks(source, 3, 990, 64);
        std::vector<uint8_t> got;
        size_t size = 0;
        while (const uint8_t* block = blocks.Next(size)) got.insert(got.end(), block, block + size);
        EXPECT_FALSE(blocks.Failed());
        EXPECT_EQ(got, std::vector<uint8_t>(bytes.begin() + 3, bytes.begin() + 993));
    }
    {
        ReadAhead blocks(source, 900, 300, 64);
        size_t size = 0;
        EXPECT_NE(blocks.Next(size), nullptr);
        EXPECT_EQ(size, 64u);
        EXPECT_EQ(blocks.Next(size), nullptr);  // bytes 964-1027: past the end
        EXPECT_TRUE(blocks.Failed());
        EXPECT_EQ(blocks.Next(size), nullptr);
    }
    ReadAhead abandoned(source, 0, 1000, 10);
    size_t size = 0;
    EXPECT_NE(abandoned.Next(size), nullptr);
}

}  // namespace
}  // namespace korvalin
