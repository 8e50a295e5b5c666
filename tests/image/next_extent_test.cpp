#include "image/next_extent.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace korvalin {
namespace {

TEST(NextExtent, LowestStartNotBelowTheCursorLaterEntryOnTiesEmptyFilesPassedOver) {
    Project p = test::NewProject();
    test::AddFile(p, "A", 4096);
    test::AddFile(p, "B", 2048);
    test::AddFile(p, "EMPTY", 0);
    test::AddFile(p, "HUGE", 0x80000000u);  // reads as negative: no data either
    p.extentTable = {{0, 22, 22, EXTENT_PLACED_DIR},
                     {FileId(0), 30, 31, EXTENT_PINNED_FILE},
                     {FileId(1), 30, 30, EXTENT_PLACED_FILE},
                     {FileId(2), 25, 25, EXTENT_PLACED_FILE},
                     {FileId(3), 26, 26, EXTENT_PLACED_FILE}};
    EXPECT_EQ(NextExtentPosition(p, 0), 0);
    EXPECT_EQ(NextExtentPosition(p, 23), 2);  // the tie at 30 goes to the later entry
    EXPECT_EQ(NextExtentPosition(p, 31), -1);
}

}  // namespace
}  // namespace korvalin
