// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>

#include "model/disc_path.h"
#include "model/list_rows.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::AddDir;
using test::AddFile;

TEST(NewProject, HoldsOnlyTheRootAndTheVolumeDateOneHourAfterTheClock) {
    Project project;
    project.systemArea[5] = 0xAB;
    project.fileTable.resize(3);
    StartNewProject(project, CalendarTime{2024, 12, 31, 23, 59, 58});
    ASSERT_EQ(project.dirCount(), 1);
    EXPECT_EQ(project.fileCount(), 0);
    const DirEntry& root = project.dirTable[0];  // its date is ours to choose
    EXPECT_EQ(test::FieldsOf(root), (test::RecordFields{1, "", root.dosDate, root.dosTime, -1, 0, 1,
                                                        0, 34, std::nullopt}));
    EXPECT_EQ(project.volumeInfo.Label(), "NEW");
    // 23:59 UTC shows as 00:59 of day 32: the day carries, month and year do not.
    EXPECT_EQ(VolumeDateOf(project.volumeInfo), (CalendarTime{2024, 12, 32, 0, 59, 58}));
    EXPECT_EQ(project.systemArea[5], 0xAB);  // a new project keeps the system area
    // After a load the UTC time follows the volume date less one hour.
    project.volumeInfo.day = 10;
    project.volumeInfo.hour = 0;
    FinishLoadedProject(project);
    EXPECT_EQ(project.volumeUtcTime, (CalendarTime{2024, 12, 9, 23, 59, 58}));
    // A stored second of 62 carries into the minute, then the hour.
    EXPECT_EQ(AddDisplayHour(CalendarTime{2003, 7, 14, 10, 59, 62}),
              (CalendarTime{2003, 7, 14, 12, 0, 0}));
}

TEST(DirDepthAndDiscPath, FollowTheParentChain) {
    Project project = test::NewProject();
    int32_t parent = 0;
    for (int level = 1; level <= 9; ++level)
        parent = AddDir(project, "L" + std::to_string(level), parent);
    EXPECT_EQ(DirDepth(project, 1), 1);
    EXPECT_EQ(DirDepth(project, 2), 1);  // L1, a child of the root
    EXPECT_EQ(DirDepth(project, 9), 8);
    EXPECT_EQ(DirDepth(project, 10), 9);  // longer chains all give 9
    // At most eight directories of the chain and 13 name bytes are written.
    EXPECT_EQ(DiscPathOf(project, "X", 10), "\\L2\\L3\\L4\\L5\\L6\\L7\\L8\\L9\\X");
    EXPECT_EQ(DiscPathOf(project, "ABCDEFGHIJKLMNOP", 1), "\\ABCDEFGHIJKLM");
    project.dirTable[1].parent = 3;  // a cycle
    EXPECT_EQ(DirDepth(project, 2), 9);
}

TEST(ListRows, ShowTheParentSubdirectoriesAndFilesWithMarkersAndIcons) {
    Project project = test::NewProject();
    project.dirTable[0].lba = 22;
    const int32_t data = AddDir(project, "DATA");
    test::Pin(project.dirTable[data], 30);
    project.dirTable[data].size = 4096;
    AddFile(project, "SLUS_123.45", 100);
    project.fileTable[AddFile(project, "MAIN.ELF", 100)].flags = FLAG_DISPLACED;
    AddFile(project, "SYSTEM.CNF", 100);
    FileEntry& dummy = project.fileTable[test::AddDummy(project, "COPY.ELF", 77)];
    dummy.dosDate = PackDosDate(CalendarTime{2001, 2, 3, 0, 0, 0});
    dummy.dosTime = PackDosTime(CalendarTime{0, 0, 0, 23, 45, 0});
    // Bytes after the terminator, as a loaded project may carry them, mean nothing.
    std::memcpy(&project.fileTable[AddFile(project, "README", 1)].name[7], ".ELF", 4);
    AddFile(project, "INNER.BIN", 5, data);

    const auto rows = BuildListRows(project, 0);
    ASSERT_EQ(rows.size(), 7u);
    const auto row = [&](size_t i) {
        return std::make_tuple(rows[i].name, rows[i].icon, rows[i].lbaText, rows[i].pathText);
    };
    EXPECT_EQ(row(0), std::make_tuple("NEW", ICON_VOLUME_LABEL, "22", ""));
    EXPECT_EQ(row(2), std::make_tuple("SLUS_123.45", ICON_FILE, "  -1", "/src/file"));
    EXPECT_EQ(row(3), std::make_tuple("MAIN.ELF", ICON_ELF, "W -1", "/src/file"));
    EXPECT_EQ(row(4), std::make_tuple("SYSTEM.CNF", ICON_CNF, "  -1", "/src/file"));
    EXPECT_EQ(row(5), std::make_tuple("COPY.ELF", ICON_DUMMY, "+ 77", "'dummy'"));
    EXPECT_EQ(row(6), std::make_tuple("README", ICON_FILE, "  -1", "/src/file"));
    EXPECT_EQ(rows[1].lbaText, "* 30");
    EXPECT_EQ(rows[1].sizeText, "4096");
    EXPECT_EQ(rows[5].dateText, "04/02/01 00:45");
    EXPECT_EQ(rows[5].itemValue, FileId(3));

    const auto inner = BuildListRows(project, data);
    ASSERT_EQ(inner.size(), 2u);
    EXPECT_EQ(std::make_tuple(inner[0].name, inner[0].icon, inner[0].lbaText, inner[0].itemValue),
              std::make_tuple("..", ICON_FOLDER_UP, "22", 0));
}

}  // namespace
}  // namespace korvalin
