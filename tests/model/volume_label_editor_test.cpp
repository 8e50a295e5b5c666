#include "model/volume_label_editor.h"

#include <gtest/gtest.h>

#include "model/entry_editor.h"
#include "test_support.h"

namespace korvalin {
namespace {

TEST(VolumeLabelEditor, OpensOnTheVolumeAsShownAndKeepsUtcOneHourEarlier) {
    Project project = test::NewProject();  // 5 June 2024 10:20:30 UTC
    VolumeLabelEditorState state = OpenVolumeLabelEditor(project);
    EXPECT_EQ(state.label, "NEW");
    EXPECT_EQ(state.date, (CalendarTime{2024, 6, 5, 0, 0, 0}));
    EXPECT_EQ(state.time, (CalendarTime{0, 0, 0, 11, 20, 30}));

    ASSERT_TRUE(SetVolumeEditorDate(state, CalendarTime{2003, 5, 10, 0, 0, 0}));
    ASSERT_TRUE(SetVolumeEditorTime(state, CalendarTime{0, 0, 0, 0, 15, 0}));
    state.label = TypedUpperCase("my disc, v1.0");
    ApplyVolumeLabelEditor(project, state);
    EXPECT_EQ(project.volumeInfo.Label(), "MY DISC, V1.0");  // blanks and punctuation kept
    EXPECT_EQ(VolumeDateOf(project.volumeInfo), (CalendarTime{2003, 5, 10, 0, 15, 0}));
    EXPECT_EQ(project.volumeUtcTime, (CalendarTime{2003, 5, 9, 23, 15, 0}));

    state = OpenVolumeLabelEditor(project);
    SetVolumeEditorDate(state, CalendarTime{2003, 5, 1, 0, 0, 0});
    ApplyVolumeLabelEditor(project, state);
    EXPECT_EQ(project.volumeUtcTime, (CalendarTime{2003, 5, 0, 23, 15, 0}));
    EXPECT_FALSE(SetVolumeEditorDate(state, CalendarTime{1979, 1, 1, 0, 0, 0}));
}

TEST(VolumeLabelEditor, AnUntouchedPickerKeepsADateThatDoesNotExist) {
    Project project = test::NewProject();
    VolumeInfo& v = project.volumeInfo;
    v.day = 32;  // 31 January at 23:xx UTC shown one hour later
    v.month = 1;
    v.year = 2005;
    v.hour = 0;
    VolumeLabelEditorState state = OpenVolumeLabelEditor(project);
    EXPECT_EQ(state.date, (CalendarTime{2005, 2, 1, 0, 0, 0}));
    ApplyVolumeLabelEditor(project, state);
    EXPECT_EQ(VolumeDateOf(v), (CalendarTime{2005, 1, 32, 0, v.minute, v.second}));
    EXPECT_EQ(project.volumeUtcTime.day, 31);
    // A changed time keeps the stored date; a changed date takes the picker's.
    SetVolumeEditorTime(state, CalendarTime{0, 0, 0, 5, 6, 7});
    ApplyVolumeLabelEditor(project, state);
    EXPECT_EQ(VolumeDateOf(v), (CalendarTime{2005, 1, 32, 5, 6, 7}));
    state = OpenVolumeLabelEditor(project);
    SetVolumeEditorDate(state, CalendarTime{2005, 2, 2, 0, 0, 0});
    ApplyVolumeLabelEditor(project, state);
    EXPECT_EQ(VolumeDateOf(v), (CalendarTime{2005, 2, 2, 5, 6, 7}));
}

}  // namespace
}  // namespace korvalin
