#include "import/isobuster_import.h"

#include <gtest/gtest.h>

#include "import/import_volume.h"
#include "listing_fixture.h"
#include "model/disc_path.h"

namespace korvalin {
namespace {

using test::ListingFolder;

std::vector<std::string> FilePaths(const Project& project) {
    std::vector<std::string> paths;
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        paths.push_back(DiscPathOfEntry(project, FileId(f)));
    }
    return paths;
}

std::vector<std::string> DirPaths(const Project& project) {
    std::vector<std::string> paths;
    for (int32_t d = 1; d < project.dirCount(); ++d) paths.push_back(DiscPathOfEntry(project, d));
    return paths;
}

std::vector<int32_t> FileLbas(const Project& project) {
    std::vector<int32_t> lbas;
    for (const FileEntry& file : project.fileTable) lbas.push_back(file.lba);
    return lbas;
}

TEST(IsoBusterImport, RebuildsTheTreeLevelByLevelWithPinnedLbas) {
    ListingFolder disc;
    disc.File("SYSTEM.CNF", 70);
    disc.File("DATA/MOVIE.STR", 5000);
    disc.File("DATA/SUB/DEEP.BIN", 3);
    disc.Listing(
        "300 , \\DATA\\SUB\\DEEP.BIN\n"
        "24 , \\SYSTEM.CNF\n"
        "25 , \\DATA\\MOVIE.STR\n"
        "23 , \\DATA\n");
    Project project = test::NewProject();
    test::AddFile(project, "OLD.BIN", 1);
    test::AddDir(project, "OLD");
    project.dirTable[0].lba = 22;
    const auto result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_FINISHED);
    EXPECT_EQ(result.log.count(), 0);
    EXPECT_EQ(DirPaths(project), (std::vector<std::string>{"\\DATA", "\\DATA\\SUB"}));
    EXPECT_EQ(FilePaths(project), (std::vector<std::string>{"\\SYSTEM.CNF", "\\DATA\\MOVIE.STR",
                                                            "\\DATA\\SUB\\DEEP.BIN"}));
    EXPECT_EQ(FileLbas(project), (std::vector<int32_t>{24, 25, 300}));
    EXPECT_EQ(project.dirTable[0].lba, 22);  // the root record is kept
    const FileEntry& movie = project.fileTable[1];
    EXPECT_EQ(movie.flags, FLAG_LBA_SET);
    EXPECT_EQ(movie.size, 5000u);
    EXPECT_EQ(movie.recordLength, FileRecordLength(9));
    EXPECT_EQ(movie.sourcePath, (disc.folder() / "DATA" / "MOVIE.STR").string());
    for (int32_t d = 1; d < project.dirCount(); ++d) {
        EXPECT_EQ(project.dirTable[d].lba, -1);
        EXPECT_EQ(project.dirTable[d].flags, 0);
        EXPECT_EQ(project.dirTable[d].size, 0u);
        EXPECT_FALSE(project.dirTable[d].sourcePath.has_value());
    }
}

TEST(IsoBusterImport, LabelAndDateComeFromTheListingAndTheClock) {
    ListingFolder disc;
    disc.Listing("");
    Project project = test::NewProject();
    const auto result = disc.Import(project, IMPORT_RESPECTIVE_LBA, CalendarTime{2024, 6, 30, 23, 30, 10});
    EXPECT_EQ(result.code, IMPORT_FINISHED);
    EXPECT_EQ(project.volumeInfo.Label(), "GAMEDISC");
    EXPECT_EQ(project.volumeInfo.day, 31);  // no carry into the month
    EXPECT_EQ(project.volumeInfo.hour, 0);
    EXPECT_EQ(project.volumeInfo.minute, 30);
    EXPECT_EQ(project.volumeInfo.second, 10);
    EXPECT_EQ(project.volumeUtcTime, (CalendarTime{2024, 6, 30, 23, 30, 10}));

    EXPECT_EQ(VolumeLabelForListing("C:\\GameDisc\\LIST.TXT"), "GAMEDISC");
    EXPECT_EQ(VolumeLabelForListing("D:\\list.txt"), "LIST.TXT");
    EXPECT_EQ(VolumeLabelForListing("/home/u/my_disc/list.txt"), "MY_DISC");
    EXPECT_EQ(VolumeLabelForListing("/x/" + std::string(40, 'a') + "/l.txt"), std::string(32, 'A'));
}

TEST(IsoBusterImport, AListingThatCannotBeOpenedLeavesTheProjectCleared) {
    Project project = test::NewProject();
    test::AddFile(project, "OLD.BIN", 1);
    ErrorLog log;
    test::RecordingPrompt prompt;
    test::TempDir temp;
    const int code = ImportIsoBusterListing(project, (temp / "NOPE" / "none.txt").string(), 0,
                                            CalendarTime{2024, 1, 2, 3, 4, 5}, log, prompt);
    EXPECT_EQ(code, IMPORT_CANNOT_OPEN);
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"Cannot open filename  \n"}));
    EXPECT_EQ(project.fileCount(), 0);
    EXPECT_EQ(project.dirCount(), 1);
    EXPECT_EQ(project.volumeInfo.Label(), "NOPE");
    EXPECT_EQ(project.volumeInfo.hour, 4);
    // A folder is no listing either.
    EXPECT_EQ(ImportIsoBusterListing(project, temp.path().string(), 0,
                                     CalendarTime{2024, 1, 2, 3, 4, 5}, log, prompt),
              IMPORT_CANNOT_OPEN);
}

TEST(IsoBusterImport, IllegalNamesEndTheImportKeepingWhatWasImported) {
    ListingFolder disc;
    disc.File("A.DIR/X.BIN");
    disc.File("OK.BIN");
    disc.File("LongFileName.txt");
    disc.Listing("24 , \\OK.BIN\n25 , \\A.DIR\\X.BIN\n");
    Project project = test::NewProject();
    auto result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_ENDED_ON_ERROR);
    EXPECT_EQ(result.log.lines(), (std::vector<std::string>{"Illegal directory name for:  \\A.DIR "}));
    EXPECT_EQ(FilePaths(project), (std::vector<std::string>{"\\OK.BIN"}));

    disc.Listing("24 , \\OK.BIN\n25 , \\LongFileName.txt\n26 , \\A.BIN\n");
    result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_ENDED_ON_ERROR);
    EXPECT_EQ(result.log.lines(), (std::vector<std::string>{"Illegal filename for file \\LONGFI~1.TXT "}));
    EXPECT_EQ(project.fileCount(), 1);
}

TEST(IsoBusterImport, SharedLbasBecomeDummiesAndRepeatsEndTheImport) {
    ListingFolder disc;
    disc.File("A/SAME.BIN", 10);
    disc.File("B/SAME.BIN", 20);
    disc.Listing("40 , \\A\\SAME.BIN\n40 , \\B\\SAME.BIN\n");
    for (int32_t mode : {0, 1}) {
        Project project = test::NewProject();
        EXPECT_EQ(disc.Import(project, mode).code, IMPORT_FINISHED);
        ASSERT_EQ(project.fileCount(), 2);
        const FileEntry& dummy = project.fileTable[1];
        EXPECT_EQ(dummy.flags, mode == 0 ? FLAG_DUMMY | FLAG_LBA_SET : FLAG_DUMMY);
        EXPECT_EQ(dummy.lba, 40);
        EXPECT_EQ(dummy.size, 20u);
        EXPECT_FALSE(dummy.sourcePath.has_value());
        EXPECT_TRUE(project.fileTable[0].sourcePath.has_value());
    }

    // The same path twice: one file in modes 0 and 1, two in mode 2.
    disc.Listing("40 , \\A\\SAME.BIN\n40 , \\A\\SAME.BIN\n50 , \\B\\SAME.BIN\n");
    for (int32_t mode : {0, 1}) {
        Project project = test::NewProject();
        const auto result = disc.Import(project, mode);
        EXPECT_EQ(result.code, IMPORT_ENDED_ON_ERROR);
        EXPECT_EQ(result.log.lines(),
                  (std::vector<std::string>{"Filename already exists for: \\A\\SAME.BIN "}));
        EXPECT_EQ(project.fileCount(), 1);
    }
    Project project = test::NewProject();
    EXPECT_EQ(disc.Import(project, IMPORT_LBA_ORDER).code, IMPORT_FINISHED);
    EXPECT_EQ(FilePaths(project), (std::vector<std::string>{"\\A\\SAME.BIN", "\\A\\SAME.BIN",
                                                            "\\B\\SAME.BIN"}));
    for (const FileEntry& file : project.fileTable) EXPECT_EQ(file.flags, 0);

    // Different LBAs: both kept in every mode.
    disc.Listing("40 , \\A\\SAME.BIN\n41 , \\A\\SAME.BIN\n");
    for (int32_t mode : {0, 1, 2}) {
        Project again = test::NewProject();
        EXPECT_EQ(disc.Import(again, mode).code, IMPORT_FINISHED);
        EXPECT_EQ(again.fileCount(), 2);
    }
}

TEST(IsoBusterImport, ModesOrderAndPinTheFiles) {
    ListingFolder disc;
    disc.File("C.BIN");
    disc.File("A.BIN");
    disc.File("B.BIN");
    disc.File("ROOT.BIN");
    disc.Listing("300 , \\C.BIN\n24 , \\A.BIN\n150 , \\B.BIN\n20 , ROOT.BIN\n");
    Project pinned = test::NewProject();
    disc.Import(pinned, IMPORT_RESPECTIVE_LBA);
    // ROOT.BIN has no separator: pass 0 takes it before the others.
    EXPECT_EQ(FilePaths(pinned),
              (std::vector<std::string>{"\\ROOT.BIN", "\\C.BIN", "\\A.BIN", "\\B.BIN"}));
    EXPECT_EQ(FileLbas(pinned), (std::vector<int32_t>{20, 300, 24, 150}));

    Project ordered = test::NewProject();
    disc.Import(ordered, IMPORT_RESPECTIVE_ORDER);
    EXPECT_EQ(FilePaths(ordered),
              (std::vector<std::string>{"\\ROOT.BIN", "\\A.BIN", "\\B.BIN", "\\C.BIN"}));
    EXPECT_EQ(FileLbas(ordered), (std::vector<int32_t>{20, 24, 150, 300}));
    for (const FileEntry& file : ordered.fileTable) EXPECT_EQ(file.flags, 0);

    Project unpinned = test::NewProject();
    disc.Import(unpinned, IMPORT_LBA_ORDER);
    EXPECT_EQ(FilePaths(unpinned), FilePaths(pinned));
    EXPECT_EQ(FileLbas(unpinned), (std::vector<int32_t>{-1, -1, -1, -1}));

    Project unknownMode = test::NewProject();
    disc.Import(unknownMode, 7);
    EXPECT_EQ(FileLbas(unknownMode), FileLbas(pinned));
}

TEST(IsoBusterImport, ModeOneOrdersByExchangeNotStably) {
    ListingFolder disc;
    for (const char* name : {"A.BIN", "B.BIN", "C.BIN", "D.BIN"}) disc.File(name);
    // C shares LBA 5 with A (C becomes a dummy); the exchanges put C before A.
    disc.Listing("5 , \\A.BIN\n3 , \\B.BIN\n5 , \\C.BIN\n1 , \\D.BIN\n");
    Project project = test::NewProject();
    disc.Import(project, IMPORT_RESPECTIVE_ORDER);
    EXPECT_EQ(FilePaths(project),
              (std::vector<std::string>{"\\D.BIN", "\\B.BIN", "\\C.BIN", "\\A.BIN"}));
    EXPECT_TRUE(project.fileTable[2].IsDummy());
}

TEST(IsoBusterImport, MissingFilesAreLoggedAndTheRestImported) {
    ListingFolder disc;
    disc.File("DATA/HERE.BIN");
    disc.Listing("24 , \\DATA\\GONE.BIN\n25 , \\NODIR\\X.BIN\n26 , \\DATA\\HERE.BIN\n");
    Project project = test::NewProject();
    const auto result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_FINISHED);
    const std::string folder = disc.folder().string();
    EXPECT_EQ(result.log.lines(),
              (std::vector<std::string>{"Cannot find filename:  " + folder + "/NODIR ",
                                        "Cannot find filename:  " + folder + "/DATA/GONE.BIN ",
                                        "Cannot find filename:  " + folder + "/NODIR/X.BIN "}));
    EXPECT_EQ(FilePaths(project), (std::vector<std::string>{"\\DATA\\HERE.BIN"}));
}

TEST(IsoBusterImport, ExtractedNamesMayDifferInCaseButMayNotClimbOut) {
    ListingFolder disc;
    disc.File("data/movies/intro.str", 9);
    test::WriteText(disc.folder().parent_path() / "SECRET.BIN", "outside");
    disc.Listing("24 , \\DATA\\MOVIES\\INTRO.STR\n25 , \\..\\SECRET.BIN\n26 , \\DATA\\.\\X\n");
    Project project = test::NewProject();
    const auto result = disc.Import(project);
    EXPECT_EQ(FilePaths(project), (std::vector<std::string>{"\\DATA\\MOVIES\\INTRO.STR"}));
    EXPECT_EQ(project.fileTable[0].sourcePath,
              (disc.folder() / "data" / "movies" / "intro.str").string());
    const std::string folder = disc.folder().string();
    EXPECT_EQ(result.log.lines(),
              (std::vector<std::string>{"Cannot find filename:  " + folder + "/.. ",
                                        "Cannot find filename:  " + folder + "/../SECRET.BIN ",
                                        "Cannot find filename:  " + folder + "/DATA/. ",
                                        "Cannot find filename:  " + folder + "/DATA/./X "}));
}

TEST(IsoBusterImport, DirectoriesStopAtTheSeventhLevel) {
    ListingFolder disc;
    disc.File("1/2/3/4/5/6/7/IN7.BIN");
    disc.File("1/2/3/4/5/6/7/8/IN8.BIN");
    disc.Listing("30 , \\1\\2\\3\\4\\5\\6\\7\\8\\IN8.BIN\n31 , \\1\\2\\3\\4\\5\\6\\7\\IN7.BIN\n");
    Project project = test::NewProject();
    const auto result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_FINISHED);
    EXPECT_EQ(project.dirCount(), 8);
    EXPECT_EQ(result.log.lines(),
              (std::vector<std::string>{
                  "ATTENTION: Too many sub-directories  (cannot copy the paths)   " +
                  disc.folder().string() + "/1/2/3/4/5/6/7/8 "}));
    // Nine separators are all the boundaries kept: IN8.BIN is never reached.
    EXPECT_EQ(FilePaths(project),
              (std::vector<std::string>{"\\1\\2\\3\\4\\5\\6\\7\\IN7.BIN"}));
}

TEST(IsoBusterImport, TrailingSeparatorsAndTheRootNameNothingNew) {
    ListingFolder disc;
    disc.File("DATA/A.BIN");
    disc.Listing("22 , \\\n23 , \\DATA\\\n24 , \\DATA\\A.BIN\n");
    Project project = test::NewProject();
    const auto result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_FINISHED);
    EXPECT_EQ(result.log.count(), 0);
    EXPECT_EQ(DirPaths(project), (std::vector<std::string>{"\\DATA"}));
    EXPECT_EQ(FilePaths(project), (std::vector<std::string>{"\\DATA\\A.BIN"}));
}

TEST(IsoBusterImport, ConsidersTheFirst4096EntriesAndFillsTheFileTable) {
    ListingFolder disc;
    disc.File("SAME.BIN");
    disc.File("D/X.BIN");
    std::string text;
    // Mode 2 finds no shared LBA, so one extracted file is imported 4096 times.
    for (int i = 0; i < 4096; ++i) text += "7 , \\SAME.BIN\n";
    disc.Listing(text + "1 , \\D\\X.BIN\n");
    Project project = test::NewProject();
    const auto result = disc.Import(project, IMPORT_LBA_ORDER);
    EXPECT_EQ(result.code, IMPORT_FINISHED);  // nothing was left to import
    EXPECT_EQ(project.fileCount(), 4096);
    EXPECT_EQ(project.dirCount(), 1);  // the 4097th entry is never read
}

TEST(IsoBusterImport, AFullDirectoryTableStopsTheImport) {
    ListingFolder disc;
    // 200 links to one folder six levels deep: each entry asks for 7 directories.
    disc.Dir("REAL/S/S/S/S/S/S");
    std::string text;
    for (int i = 0; i < 200; ++i) {
        const std::string name = "D" + std::to_string(i);
        std::filesystem::create_directory_symlink(disc.folder() / "REAL", disc.folder() / name);
        text += "100 , \\" + name + "\\S\\S\\S\\S\\S\\S\n";
    }
    disc.Listing(text);
    Project project = test::NewProject();
    const auto result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_STOPPED_ON_LIMIT);
    EXPECT_EQ(result.log.count(), 0);
    EXPECT_EQ(project.dirCount(), 1024);
    EXPECT_EQ(DirPaths(project).back(), "\\D22\\S\\S\\S\\S\\S");
}

}  // namespace
}  // namespace korvalin
