// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/volume_label_editor.h"

#include <gtest/gtest.h>

#include "model/entry_editor.h"
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

}  // namespace
}  // namespace korvalin
