#include "model/picker_date.h"

#include <gtest/gtest.h>

namespace korvalin {
namespace {

// Stored dates that do not exist show as the nearest real one (the editors'
// openings cover the usual carries); the command line's dates must be real.
TEST(PickerDate, ShowsTheNearestRealDateAndParsesOnlyRealOnes) {
    EXPECT_EQ(PickerDateOf(CalendarTime{2004, 1, 0, 0, 0, 0}),
              (CalendarTime{2003, 12, 31, 0, 0, 0}));
    EXPECT_EQ(PickerDateOf(CalendarTime{2107, 12, 32, 0, 0, 0}),
              (CalendarTime{2107, 12, 31, 0, 0, 0}));
    EXPECT_EQ(PickerDateOf(CalendarTime{1980, 1, 0, 0, 0, 0}), (CalendarTime{1980, 1, 1, 0, 0, 0}));
    EXPECT_EQ(PickerDateOf(CalendarTime{2001, 15, 5, 0, 0, 0}),
              (CalendarTime{2001, 12, 5, 0, 0, 0}));
    EXPECT_EQ(PickerTimeOf(CalendarTime{0, 0, 0, 30, 61, -1}), (CalendarTime{0, 0, 0, 23, 59, 0}));
    CalendarTime t;
    EXPECT_TRUE(ParsePickerDate("1/5/2003", t));
    EXPECT_EQ(t, (CalendarTime{2003, 5, 1, 0, 0, 0}));
    EXPECT_TRUE(ParsePickerTime("23:59:59", t));
    EXPECT_EQ(t, (CalendarTime{0, 0, 0, 23, 59, 59}));
    for (const char* bad :
         {"29/02/2005", "00/01/2003", "01/01/2108", "01/01/03", "01-01-2003", "01/01/2003x", ""}) {
        EXPECT_FALSE(ParsePickerDate(bad, t)) << bad;
    }
    for (const char* bad : {"24:00:00", "12:60:00", "12:00", "a:b:c"}) {
        EXPECT_FALSE(ParsePickerTime(bad, t)) << bad;
    }
}

}  // namespace
}  // namespace korvalin
