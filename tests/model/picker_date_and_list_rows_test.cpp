#include <gtest/gtest.h>

#include "model/list_rows.h"
#include "model/picker_date.h"
#include "test_support.h"

namespace korvalin {
namespace {

TEST(PickerDate, ShowsTheNearestRealDate) {
    EXPECT_EQ(PickerDateOf(CalendarTime{2005, 1, 32, 0, 0, 0}), (CalendarTime{2005, 2, 1, 0, 0, 0}));
    EXPECT_EQ(PickerDateOf(CalendarTime{2005, 2, 30, 9, 9, 9}), (CalendarTime{2005, 3, 2, 0, 0, 0}));
    EXPECT_EQ(PickerDateOf(CalendarTime{2004, 3, 0, 0, 0, 0}), (CalendarTime{2004, 2, 29, 0, 0, 0}));
    EXPECT_EQ(PickerDateOf(CalendarTime{2004, 1, 0, 0, 0, 0}), (CalendarTime{2003, 12, 31, 0, 0, 0}));
    EXPECT_EQ(PickerDateOf(CalendarTime{2107, 12, 32, 0, 0, 0}),
              (CalendarTime{2107, 12, 31, 0, 0, 0}));
    EXPECT_EQ(PickerDateOf(CalendarTime{1980, 1, 0, 0, 0, 0}), (CalendarTime{1980, 1, 1, 0, 0, 0}));
    EXPECT_EQ(PickerDateOf(CalendarTime{2001, 15, 5, 0, 0, 0}), (CalendarTime{2001, 12, 5, 0, 0, 0}));
    EXPECT_EQ(PickerTimeOf(CalendarTime{0, 0, 0, 30, 61, -1}), (CalendarTime{0, 0, 0, 23, 59, 0}));
}

TEST(PickerDate, ParsesTheCommandLinesDatesAndTimes) {
    CalendarTime t;
    EXPECT_TRUE(ParsePickerDate("29/02/2004", t));
    EXPECT_EQ(t, (CalendarTime{2004, 2, 29, 0, 0, 0}));
    EXPECT_TRUE(ParsePickerDate("1/5/2003", t));
    EXPECT_EQ(t, (CalendarTime{2003, 5, 1, 0, 0, 0}));
    for (const char* bad : {"29/02/2005", "00/01/2003", "01/01/2108", "01/01/03", "01-01-2003",
                            "01/01/2003x", ""}) {
        EXPECT_FALSE(ParsePickerDate(bad, t)) << bad;
    }
    EXPECT_TRUE(ParsePickerTime("23:59:59", t));
    EXPECT_EQ(t, (CalendarTime{0, 0, 0, 23, 59, 59}));
    for (const char* bad : {"24:00:00", "12:60:00", "12:00", "12:00:00:00", "a:b:c"}) {
        EXPECT_FALSE(ParsePickerTime(bad, t)) << bad;
    }
}

TEST(ListRows, AFileIconLooksOnlyAtTheNameBeforeItsTerminator) {
    Project project = test::NewProject();
    const int32_t f = test::AddFile(project, "README", 1);
    // Bytes after the NUL, as a loaded project may carry them, mean nothing.
    FileEntry& file = project.fileTable[f];
    file.name[7] = '.';
    file.name[8] = 'E';
    file.name[9] = 'L';
    file.name[10] = 'F';
    EXPECT_EQ(FileIcon(file), ICON_FILE);
    const int32_t g = test::AddFile(project, "MAIN.EL", 1);
    project.fileTable[g].name[8] = 'F';
    EXPECT_EQ(FileIcon(project.fileTable[g]), ICON_FILE);
    EXPECT_EQ(BuildListRows(project, 0)[2].icon, ICON_FILE);
}

}  // namespace
}  // namespace korvalin
