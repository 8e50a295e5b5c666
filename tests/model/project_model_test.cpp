#include <gtest/gtest.h>

#include <cstring>

#include "model/calendar_time.h"
#include "model/disc_path.h"
#include "model/list_rows.h"
#include "model/project.h"
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
    EXPECT_EQ(test::FieldsOf(root), (test::RecordFields{1, "", root.dosDate, root.dosTime, -1, 0,
                                                        1, 0, 34, std::nullopt}));
    EXPECT_EQ(project.volumeInfo.Label(), "NEW");
    // 23:59 UTC shows as 00:59 of day 32: the day carries, month and year do not.
    EXPECT_EQ(VolumeDateOf(project.volumeInfo), (CalendarTime{2024, 12, 32, 0, 59, 58}));
    EXPECT_EQ(project.volumeUtcTime, (CalendarTime{2024, 12, 31, 23, 59, 58}));
    EXPECT_EQ(project.systemArea[5], 0xAB);  // a new project keeps the system area

    // After a load the UTC time follows the volume date less one hour.
    project.volumeInfo.day = 10;
    project.volumeInfo.hour = 0;
    project.currentDir = 3;
    FinishLoadedProject(project);
    EXPECT_EQ(project.volumeUtcTime, (CalendarTime{2024, 12, 9, 23, 59, 58}));
    EXPECT_EQ(project.currentDir, 0);
}

TEST(DirDepthAndDiscPath, FollowTheParentChainEvenWhenItIsBroken) {
    Project project = test::NewProject();
    int32_t parent = 0;
    for (int level = 1; level <= 9; ++level) parent = AddDir(project, "L" + std::to_string(level), parent);
    EXPECT_EQ(DirDepth(project, 1), 1);
    EXPECT_EQ(DirDepth(project, 2), 1);  // L1, a child of the root
    EXPECT_EQ(DirDepth(project, 9), 8);
    EXPECT_EQ(DirDepth(project, 10), 9);  // longer chains all give 9
    EXPECT_EQ(DiscPathOf(project, "FILE.TXT", 1), "\\FILE.TXT");
    EXPECT_EQ(DiscPathOf(project, "FILE.TXT", 2), "\\L1\\FILE.TXT");
    // At most eight directories of the chain and 13 name bytes are written.
    EXPECT_EQ(DiscPathOf(project, "X", 10), "\\L2\\L3\\L4\\L5\\L6\\L7\\L8\\L9\\X");
    EXPECT_EQ(DiscPathOf(project, "ABCDEFGHIJKLMNOP", 1), "\\ABCDEFGHIJKLM");

    const int32_t a = AddDir(project, "A");
    project.dirTable[a].parent = static_cast<uint32_t>(AddDir(project, "B", a)) + 1;  // a cycle
    const int32_t c = AddDir(project, "C");
    project.dirTable[c].parent = 500;  // no such directory
    EXPECT_EQ(DirDepth(project, a + 1), 9);
    EXPECT_EQ(DirDepth(project, c + 1), 9);
    EXPECT_FALSE(DiscPathOf(project, "X", a + 1).empty());
    EXPECT_EQ(DiscPathOf(project, "X", c + 1), "\\C\\X");
}

TEST(CalendarTime, DosWordsRoundTripAndTheDisplayHourCarries) {
    const CalendarTime t{2003, 7, 14, 23, 59, 58};
    EXPECT_EQ(PackDosDate(t), 14 + 32 * 7 + 512 * 23);
    EXPECT_EQ(PackDosTime(t), 29 + 32 * 59 + 2048 * 23);
    EXPECT_EQ(UnpackDos(PackDosDate(t), PackDosTime(t)), t);
    EXPECT_EQ(AddDisplayHour(t), (CalendarTime{2003, 7, 15, 0, 59, 58}));
    // A stored second of 62 (bits all set) carries into the minute, then the hour.
    EXPECT_EQ(AddDisplayHour(CalendarTime{2003, 7, 14, 10, 59, 62}),
              (CalendarTime{2003, 7, 14, 12, 0, 0}));
    EXPECT_EQ(SubtractDisplayHour(CalendarTime{2003, 7, 1, 0, 5, 0}),
              (CalendarTime{2003, 7, 0, 23, 5, 0}));
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
    FileEntry& readme = project.fileTable[AddFile(project, "README", 1)];
    std::memcpy(&readme.name[7], ".ELF", 4);
    AddFile(project, "INNER.BIN", 5, data);

    const auto rows = BuildListRows(project, 0);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].name, "NEW");
    EXPECT_EQ(rows[0].icon, ICON_VOLUME_LABEL);
    EXPECT_EQ(rows[0].lbaText, "22");
    EXPECT_EQ(rows[1].name, "DATA");
    EXPECT_EQ(rows[1].lbaText, "* 30");
    EXPECT_EQ(rows[1].sizeText, "4096");
    EXPECT_EQ(rows[2].icon, ICON_FILE);
    EXPECT_EQ(rows[2].lbaText, "  -1");
    EXPECT_EQ(rows[2].pathText, "/src/file");
    EXPECT_EQ(rows[3].icon, ICON_ELF);
    EXPECT_EQ(rows[3].lbaText, "W -1");
    EXPECT_EQ(rows[4].icon, ICON_CNF);
    EXPECT_EQ(rows[5].icon, ICON_DUMMY);
    EXPECT_EQ(rows[5].lbaText, "+ 77");
    EXPECT_EQ(rows[5].pathText, "'dummy'");
    EXPECT_EQ(rows[5].dateText, "04/02/01 00:45");
    EXPECT_EQ(rows[5].itemValue, FileId(3));
    EXPECT_EQ(rows[6].icon, ICON_FILE);

    const auto inner = BuildListRows(project, data);
    ASSERT_EQ(inner.size(), 2u);
    EXPECT_EQ(inner[0].name, "..");
    EXPECT_EQ(inner[0].icon, ICON_FOLDER_UP);
    EXPECT_EQ(inner[0].itemValue, 0);
    EXPECT_EQ(inner[0].lbaText, "22");
    EXPECT_EQ(inner[1].name, "INNER.BIN");
}

}  // namespace
}  // namespace korvalin
