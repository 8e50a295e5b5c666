#include <gtest/gtest.h>

#include "model/calendar_time.h"
#include "model/disc_path.h"
#include "model/list_rows.h"
#include "model/project.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::AddDir;
using test::AddDummy;
using test::AddFile;

TEST(NewProject, HoldsOnlyTheRootAndTheVolumeDateOneHourAfterTheClock) {
    Project project;
    project.systemArea[5] = 0xAB;
    project.fileTable.resize(3);
    StartNewProject(project, CalendarTime{2024, 12, 31, 23, 59, 58});
    ASSERT_EQ(project.dirCount(), 1);
    EXPECT_EQ(project.fileCount(), 0);
    const DirEntry& root = project.dirTable[0];
    EXPECT_EQ(root.nameLength, 1u);
    EXPECT_EQ(root.name[0], '\0');
    EXPECT_EQ(root.lba, -1);
    EXPECT_EQ(root.parent, 1u);
    EXPECT_EQ(root.recordLength, 34u);
    EXPECT_EQ(project.volumeInfo.Label(), "NEW");
    // 23:59 UTC shows as 00:59 of day 32: the day carries, month and year do not.
    EXPECT_EQ(project.volumeInfo.day, 32);
    EXPECT_EQ(project.volumeInfo.month, 12);
    EXPECT_EQ(project.volumeInfo.year, 2024);
    EXPECT_EQ(project.volumeInfo.hour, 0);
    EXPECT_EQ(project.volumeInfo.minute, 59);
    EXPECT_EQ(project.volumeUtcTime, (CalendarTime{2024, 12, 31, 23, 59, 58}));
    EXPECT_EQ(project.systemArea[5], 0xAB);  // a new project keeps the system area
}

TEST(LoadedProject, VolumeUtcTimeIsTheVolumeDateLessOneHour) {
    Project project = test::NewProject();
    project.volumeInfo.day = 10;
    project.volumeInfo.hour = 0;
    project.currentDir = 3;
    FinishLoadedProject(project);
    EXPECT_EQ(project.volumeUtcTime.hour, 23);
    EXPECT_EQ(project.volumeUtcTime.day, 9);
    EXPECT_EQ(project.currentDir, 0);
}

TEST(EntryRecord, RecordLengthsCountTheNameAndItsPad) {
    EXPECT_EQ(DirRecordLength(8), 56u);
    EXPECT_EQ(DirRecordLength(5), 52u);
    EXPECT_EQ(FileRecordLength(10), 60u);  // SYSTEM.CNF
    EXPECT_EQ(FileRecordLength(3), 52u);   // A.B
}

TEST(EntryIds, TellDirectoriesFromFiles) {
    Project project = test::NewProject();
    AddDir(project, "DATA");
    AddFile(project, "A.BIN", 10);
    EXPECT_TRUE(IsDirId(1023));
    EXPECT_FALSE(IsDirId(4096));
    EXPECT_EQ(&EntryById(project, 4096), &project.fileTable[0]);
    EXPECT_EQ(&EntryById(project, 1), &project.dirTable[1]);
    EXPECT_TRUE(IsValidEntryId(project, 4096));
    EXPECT_FALSE(IsValidEntryId(project, 4097));
    EXPECT_FALSE(IsValidEntryId(project, 2));
    EXPECT_FALSE(IsValidEntryId(project, 1500));
}

TEST(DirDepthAndDiscPath, FollowTheParentChain) {
    Project project = test::NewProject();
    int32_t parent = 0;
    for (int level = 1; level <= 9; ++level) parent = AddDir(project, "L" + std::to_string(level), parent);
    EXPECT_EQ(DirDepth(project, 1), 1);
    EXPECT_EQ(DirDepth(project, 2), 1);  // L1, a child of the root
    EXPECT_EQ(DirDepth(project, 3), 2);
    EXPECT_EQ(DirDepth(project, 9), 8);
    EXPECT_EQ(DirDepth(project, 10), 9);  // longer chains all give 9

    EXPECT_EQ(DiscPathOf(project, "FILE.TXT", 1), "\\FILE.TXT");
    EXPECT_EQ(DiscPathOf(project, "FILE.TXT", 2), "\\L1\\FILE.TXT");
    // At most eight directories of the chain are written.
    EXPECT_EQ(DiscPathOf(project, "X", 10), "\\L2\\L3\\L4\\L5\\L6\\L7\\L8\\L9\\X");
    EXPECT_EQ(DiscPathOf(project, "ABCDEFGHIJKLMNOP", 1), "\\ABCDEFGHIJKLM");
    EXPECT_EQ(DiscPathOfEntry(project, 0), "\\");
    EXPECT_EQ(DiscPathOfEntry(project, 2), "\\L1\\L2");
}

TEST(DirDepthAndDiscPath, SurviveBrokenParentLinks) {
    Project project = test::NewProject();
    const int32_t a = AddDir(project, "A");
    const int32_t b = AddDir(project, "B", a);
    project.dirTable[a].parent = b + 1;  // a cycle
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
    // Hour 23 shows as 00 of the next day number.
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
    project.dirTable[data].flags = FLAG_LBA_SET;
    project.dirTable[data].lba = 30;
    project.dirTable[data].size = 4096;
    AddFile(project, "SLUS_123.45", 100);
    const int32_t elf = AddFile(project, "MAIN.ELF", 100);
    project.fileTable[elf].flags = FLAG_DISPLACED;
    AddFile(project, "SYSTEM.CNF", 100);
    const int32_t dummy = AddDummy(project, "COPY.ELF", 77);
    project.fileTable[dummy].dosDate = PackDosDate(CalendarTime{2001, 2, 3, 0, 0, 0});
    project.fileTable[dummy].dosTime = PackDosTime(CalendarTime{0, 0, 0, 23, 45, 0});
    AddFile(project, "INNER.BIN", 5, data);

    const auto rows = BuildListRows(project, 0);
    ASSERT_EQ(rows.size(), 6u);
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
    EXPECT_EQ(rows[5].itemValue, 4096 + dummy);

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
