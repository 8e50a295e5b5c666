#include <gtest/gtest.h>

#include "model/entry_editor.h"
#include "model/picker_date.h"
#include "model/volume_label_editor.h"
#include "test_support.h"

namespace korvalin {
namespace {

TEST(VolumeLabelEditor, ShowsTheVolumeAsShownAndKeepsUtcOneHourEarlier) {
    Project project = test::NewProject();  // 5 June 2024 10:20:30 UTC
    VolumeLabelEditorState state = OpenVolumeLabelEditor(project);
    EXPECT_EQ(state.label, "NEW");
    EXPECT_EQ(state.date, (CalendarTime{2024, 6, 5, 0, 0, 0}));
    EXPECT_EQ(state.time, (CalendarTime{0, 0, 0, 11, 20, 30}));
    ASSERT_TRUE(SetVolumeEditorDate(state, CalendarTime{2003, 5, 1, 0, 0, 0}));
    ASSERT_TRUE(SetVolumeEditorTime(state, CalendarTime{0, 0, 0, 0, 15, 0}));
    EXPECT_FALSE(SetVolumeEditorDate(state, CalendarTime{1979, 1, 1, 0, 0, 0}));
    state.label = TypedUpperCase("my disc, v1.0");
    ApplyVolumeLabelEditor(project, state);
    EXPECT_EQ(project.volumeInfo.Label(), "MY DISC, V1.0");  // blanks and punctuation kept
    EXPECT_EQ(VolumeDateOf(project.volumeInfo), (CalendarTime{2003, 5, 1, 0, 15, 0}));
    EXPECT_EQ(project.volumeUtcTime, (CalendarTime{2003, 5, 0, 23, 15, 0}));

    // A picker left as it opened keeps a stored date that does not exist: 31
    // January at 23:xx UTC shown one hour later. A changed time keeps it too;
    // a changed date takes the picker's.
    project.volumeInfo.day = 32;
    project.volumeInfo.month = 1;
    state = OpenVolumeLabelEditor(project);
    EXPECT_EQ(state.date, (CalendarTime{2003, 2, 1, 0, 0, 0}));
    SetVolumeEditorTime(state, CalendarTime{0, 0, 0, 5, 6, 7});
    ApplyVolumeLabelEditor(project, state);
    EXPECT_EQ(VolumeDateOf(project.volumeInfo), (CalendarTime{2003, 1, 32, 5, 6, 7}));
    SetVolumeEditorDate(state, CalendarTime{2003, 2, 2, 0, 0, 0});
    ApplyVolumeLabelEditor(project, state);
    EXPECT_EQ(VolumeDateOf(project.volumeInfo), (CalendarTime{2003, 2, 2, 5, 6, 7}));
}

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
