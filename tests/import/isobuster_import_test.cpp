// SPDX-License-Identifier: GPL-3.0-or-later
// The IsoBuster listing import: the tree level by level, the import modes,
// the listing's edge cases, and listings that are not sound at all.

#include "import/isobuster_import.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "import/import_volume.h"
#include "layout/precompile_check.h"
#include "layout/recompute_layout.h"
#include "model/disc_names.h"
#include "model/disc_path.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::DirPaths;
using test::FilePaths;
using Lines = std::vector<std::string>;
using namespace std::string_literals;

struct ImportOutcome {
    int code = -1;
    ErrorLog log;
};

// The folder "GAMEDISC" in a temporary folder, holding LIST.TXT and the
// extracted tree.
class ListingFolder {
  public:
    ListingFolder() { std::filesystem::create_directory(folder()); }
    std::filesystem::path folder() const { return temp_ / "GAMEDISC"; }
    std::string listing() const { return (folder() / "LIST.TXT").string(); }

    // `relative` uses '/'; parent folders are made as needed.
    void File(const std::string& relative, size_t size = 1) const {
        test::WriteBytes(folder() / relative, std::vector<uint8_t>(size, 0x5A));
    }
    void Dir(const std::string& relative) const {
        std::filesystem::create_directories(folder() / relative);
    }
    void Listing(const std::string& text) const { test::WriteText(listing(), text); }

    ImportOutcome Import(Project& project, int32_t mode = IMPORT_RESPECTIVE_LBA,
                         const CalendarTime& now = CalendarTime{2024, 6, 5, 10, 20, 30}) const {
        ImportOutcome outcome;
        test::ScriptedUserPrompt prompt;
        outcome.code = ImportIsoBusterListing(project, listing(), mode, now, outcome.log, prompt);
        return outcome;
    }

  private:
    test::TempDir temp_;
};

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
    // Trailing separators and the root name nothing new.
    disc.Listing(
        "300 , \\DATA\\SUB\\DEEP.BIN\n24 , \\SYSTEM.CNF\n25 , \\DATA\\MOVIE.STR\n23 , \\DATA\n"
        "22 , \\\n23 , \\DATA\\\n");
    Project project = test::NewProject();
    test::AddFile(project, "OLD.BIN", 1);
    test::AddDir(project, "OLD");
    project.dirTable[0].lba = 22;
    const auto result = disc.Import(project, IMPORT_RESPECTIVE_LBA, {2024, 6, 30, 23, 30, 10});
    EXPECT_EQ(result.code, IMPORT_FINISHED);
    EXPECT_EQ(result.log.count(), 0);
    EXPECT_EQ(DirPaths(project), (Lines{"\\DATA", "\\DATA\\SUB"}));
    EXPECT_EQ(FilePaths(project),
              (Lines{"\\SYSTEM.CNF", "\\DATA\\MOVIE.STR", "\\DATA\\SUB\\DEEP.BIN"}));
    EXPECT_EQ(FileLbas(project), (std::vector<int32_t>{24, 25, 300}));
    EXPECT_EQ(project.dirTable[0].lba, 22);  // the root record is kept
    const FileEntry& movie = project.fileTable[1];
    EXPECT_EQ(std::tie(movie.flags, movie.size, movie.recordLength, movie.sourcePath),
              std::make_tuple(FLAG_LBA_SET, 5000u, 58u,
                              std::optional((disc.folder() / "DATA" / "MOVIE.STR").string())));
    // Label from the listing's folder; the time shown one hour later, the
    // day not carried into the month.
    EXPECT_EQ(project.volumeInfo.Label(), "GAMEDISC");
    EXPECT_EQ(VolumeDateOf(project.volumeInfo), (CalendarTime{2024, 6, 31, 0, 30, 10}));
    EXPECT_EQ(project.volumeUtcTime, (CalendarTime{2024, 6, 30, 23, 30, 10}));
    EXPECT_EQ(VolumeLabelForListing("D:\\list.txt"), "LIST.TXT");
    EXPECT_EQ(VolumeLabelForListing("/x/" + std::string(40, 'a') + "/l.txt"), std::string(32, 'A'));
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
    EXPECT_EQ(result.log.lines(), (Lines{"Illegal directory name for:  \\A.DIR "}));
    EXPECT_EQ(FilePaths(project), (Lines{"\\OK.BIN"}));

    disc.Listing("24 , \\OK.BIN\n25 , \\LongFileName.txt\n26 , \\A.BIN\n");
    result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_ENDED_ON_ERROR);
    EXPECT_EQ(result.log.lines(), (Lines{"Illegal filename for file \\LONGFI~1.TXT "}));
    EXPECT_EQ(project.fileCount(), 1);
}

TEST(IsoBusterImport, LbasNoDiscCanHoldAreLoggedAndLeftOut) {
    ListingFolder disc;
    for (int i = 0; i < 6; ++i) disc.File("F" + std::to_string(i) + ".BIN", 4096);
    disc.Listing("-1 , \\F0.BIN\n21 , \\F1.BIN\n22 , \\F2.BIN\n2147483646 , \\F3.BIN\n"
                 "99999999999 , \\F4.BIN\n2147483645 , \\F5.BIN\n");
    for (int32_t mode : {0, 1}) {
        Project project = test::NewProject();
        const auto result = disc.Import(project, mode);
        EXPECT_EQ(result.code, IMPORT_FINISHED);
        EXPECT_EQ(FilePaths(project), (Lines{"\\F2.BIN", "\\F5.BIN"}));
        EXPECT_EQ(result.log.lines(),
                  (Lines{"LBA not valid (-1) for file \\F0.BIN ",
                         "LBA not valid (21) for file \\F1.BIN ",
                         "LBA not valid (2147483646) for file \\F3.BIN ",
                         "LBA not valid (2147483647) for file \\F4.BIN "}));
    }
    Project project = test::NewProject();
    EXPECT_EQ(disc.Import(project, IMPORT_LBA_ORDER).log.count(), 0);
    EXPECT_EQ(project.fileCount(), 6);
}

TEST(IsoBusterImport, RepeatedFilesEndTheImport) {
    ListingFolder disc;
    disc.File("A/SAME.BIN");
    disc.File("B/SAME.BIN");
    // The same path twice: one file in modes 0 and 1, two in mode 2.
    disc.Listing("40 , \\A\\SAME.BIN\n40 , \\A\\SAME.BIN\n50 , \\B\\SAME.BIN\n");
    for (int32_t mode : {0, 1}) {
        Project project = test::NewProject();
        const auto result = disc.Import(project, mode);
        EXPECT_EQ(result.code, IMPORT_ENDED_ON_ERROR);
        EXPECT_EQ(result.log.lines(), (Lines{"Filename already exists for: \\A\\SAME.BIN "}));
        EXPECT_EQ(project.fileCount(), 1);
    }
    Project project = test::NewProject();
    EXPECT_EQ(disc.Import(project, IMPORT_LBA_ORDER).code, IMPORT_FINISHED);
    EXPECT_EQ(FilePaths(project), (Lines{"\\A\\SAME.BIN", "\\A\\SAME.BIN", "\\B\\SAME.BIN"}));

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
    for (const char* name : {"A.BIN", "B.BIN", "C.BIN", "D.BIN", "ROOT.BIN"}) disc.File(name);
    disc.Listing("300 , \\C.BIN\n24 , \\A.BIN\n150 , \\B.BIN\n23 , ROOT.BIN\n");
    Project pinned = test::NewProject();
    disc.Import(pinned, IMPORT_RESPECTIVE_LBA);
    // ROOT.BIN has no separator: pass 0 takes it before the others.
    EXPECT_EQ(FilePaths(pinned), (Lines{"\\ROOT.BIN", "\\C.BIN", "\\A.BIN", "\\B.BIN"}));
    EXPECT_EQ(FileLbas(pinned), (std::vector<int32_t>{23, 300, 24, 150}));

    Project ordered = test::NewProject();
    disc.Import(ordered, IMPORT_RESPECTIVE_ORDER);
    EXPECT_EQ(FilePaths(ordered), (Lines{"\\ROOT.BIN", "\\A.BIN", "\\B.BIN", "\\C.BIN"}));
    // Laid out again in that order.
    EXPECT_EQ(FileLbas(ordered), (std::vector<int32_t>{23, 24, 25, 26}));
    for (const FileEntry& file : ordered.fileTable) EXPECT_EQ(file.flags, 0);

    Project unpinned = test::NewProject();
    disc.Import(unpinned, IMPORT_LBA_ORDER);
    EXPECT_EQ(FilePaths(unpinned), FilePaths(pinned));
    EXPECT_EQ(FileLbas(unpinned), (std::vector<int32_t>{-1, -1, -1, -1}));
    for (const FileEntry& file : unpinned.fileTable) EXPECT_EQ(file.flags, 0);

    Project unknownMode = test::NewProject();
    disc.Import(unknownMode, 7);
    EXPECT_EQ(FileLbas(unknownMode), FileLbas(pinned));

    // Mode 1 sorts by exchanges, not stably: C shares LBA 105 with A (C becomes
    // a dummy of A's data) and ends up before A. The files are laid out again
    // and each dummy follows the file holding its data: C onto A, ROOT.BIN
    // (inside E.BIN) one sector into E.BIN. Mode 2 drops the LBAs and with
    // them every alias: each file keeps its own copy.
    disc.File("E.BIN", 3 * 2048);
    disc.Listing("105 , \\A.BIN\n103 , \\B.BIN\n105 , \\C.BIN\n101 , \\D.BIN\n110 , \\E.BIN\n"
                 "111 , \\ROOT.BIN\n");
    Project exchanged = test::NewProject();
    disc.Import(exchanged, IMPORT_RESPECTIVE_ORDER);
    EXPECT_EQ(FilePaths(exchanged),
              (Lines{"\\D.BIN", "\\B.BIN", "\\C.BIN", "\\A.BIN", "\\E.BIN", "\\ROOT.BIN"}));
    EXPECT_EQ(FileLbas(exchanged), (std::vector<int32_t>{23, 24, 25, 25, 26, 27}));
    EXPECT_TRUE(exchanged.fileTable[2].IsDummy() && exchanged.fileTable[5].IsDummy());
    RecomputeLayout(exchanged);  // as the caller does: nothing moves
    EXPECT_EQ(FileLbas(exchanged), (std::vector<int32_t>{23, 24, 25, 25, 26, 27}));
    disc.Import(exchanged, IMPORT_LBA_ORDER);
    for (const FileEntry& file : exchanged.fileTable) EXPECT_FALSE(file.IsDummy());
}

TEST(IsoBusterImport, MissingFilesAreLoggedAndNothingOutsideTheFolderIsRead) {
    ListingFolder disc;
    disc.File("data/movies/intro.str", 9);
    test::WriteText(disc.folder().parent_path() / "SECRET.BIN", "outside");
    disc.Listing(
        "24 , \\DATA\\GONE.BIN\n25 , \\NODIR\\X.BIN\n26 , \\DATA\\MOVIES\\INTRO.STR\n"
        "27 , \\..\\SECRET.BIN\n28 , \\DATA\\.\\X\n");
    Project project = test::NewProject();
    const auto result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_FINISHED);
    // Extracted names may differ in case.
    EXPECT_EQ(FilePaths(project), (Lines{"\\DATA\\MOVIES\\INTRO.STR"}));
    EXPECT_EQ(project.fileTable[0].sourcePath,
              (disc.folder() / "data" / "movies" / "intro.str").string());
    const std::string f = "Cannot find filename:  " + disc.folder().string();
    EXPECT_EQ(result.log.lines(),
              (Lines{f + "/NODIR ", f + "/.. ", f + "/DATA/GONE.BIN ", f + "/NODIR/X.BIN ",
                     f + "/../SECRET.BIN ", f + "/DATA/. ", f + "/DATA/./X "}));
}

TEST(IsoBusterImport, StopsAtTheDepthAndTableLimits) {
    ListingFolder disc;
    disc.File("1/2/3/4/5/6/7/IN7.BIN");
    disc.File("1/2/3/4/5/6/7/8/IN8.BIN");
    disc.Listing("30 , \\1\\2\\3\\4\\5\\6\\7\\8\\IN8.BIN\n31 , \\1\\2\\3\\4\\5\\6\\7\\IN7.BIN\n");
    Project project = test::NewProject();
    auto result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_FINISHED);
    EXPECT_EQ(project.dirCount(), 8);
    EXPECT_EQ(result.log.lines(),
              (Lines{"ATTENTION: Too many sub-directories  (cannot copy the paths)   " +
                     disc.folder().string() + "/1/2/3/4/5/6/7/8 "}));
    // Nine separators are all the boundaries kept: IN8.BIN is never reached.
    EXPECT_EQ(FilePaths(project), (Lines{"\\1\\2\\3\\4\\5\\6\\7\\IN7.BIN"}));

    // Only the first 5120 entries count (a full project's directories and
    // files): the entry after them is never read.
    disc.File("D/X.BIN");
    std::string text;
    for (int i = 0; i < 5120; ++i) text += "7 , \\\n";
    disc.Listing(text + "1 , \\D\\X.BIN\n");
    project = test::NewProject();
    EXPECT_EQ(disc.Import(project, IMPORT_LBA_ORDER).code, IMPORT_FINISHED);
    EXPECT_EQ(project.fileCount(), 0);
    EXPECT_EQ(project.dirCount(), 1);

    // 200 links to one folder six levels deep: each entry asks for 7 directories.
    disc.Dir("REAL/S/S/S/S/S/S");
    text.clear();
    for (int i = 0; i < 200; ++i) {
        const std::string name = "L" + std::to_string(i);
        std::filesystem::create_directory_symlink(disc.folder() / "REAL", disc.folder() / name);
        text += "100 , \\" + name + "\\S\\S\\S\\S\\S\\S\n";
    }
    disc.Listing(text);
    project = test::NewProject();
    result = disc.Import(project);
    EXPECT_EQ(result.code, IMPORT_STOPPED_ON_LIMIT);
    EXPECT_EQ(result.log.count(), 0);
    EXPECT_EQ(project.dirCount(), 1024);
    EXPECT_EQ(DirPaths(project).back(), "\\L22\\S\\S\\S\\S\\S");
}

// No listing, however malformed, may crash or hang the import or leave an
// inconsistent project behind (the sanitizer build runs this too).
TEST(ImportRobustness, MalformedAndRandomListingsLeaveAConsistentProject) {
    ListingFolder disc;
    for (const char* file : {"A.BIN", "data/x.bin", "DATA/SUB/Y.BIN", "1/2/3/4/5/6/7/8/9/Z.BIN"}) {
        disc.File(file);
    }
    disc.Dir("BAD.DIR");
    const std::string folder = disc.folder().string() + "/";
    const auto importInEveryMode = [&](const std::string& text) {
        disc.Listing(text);
        for (int32_t mode : {0, 1, 2}) {
            Project project = test::NewProject();
            EXPECT_LE(disc.Import(project, mode).code, IMPORT_ENDED_ON_ERROR);
            // The pre-compile check finds nothing wrong, and what the import
            // added is where it belongs.
            EXPECT_TRUE(CheckDirectoryTable(project).empty());
            EXPECT_TRUE(CheckFileTable(project).empty());
            for (int32_t d = 1; d < project.dirCount(); ++d) {
                EXPECT_LE(project.dirTable[d].parent, static_cast<uint32_t>(d));  // parents first
                EXPECT_LT(DirDepth(project, static_cast<uint32_t>(d) + 1), 8);
            }
            for (const FileEntry& file : project.fileTable) {
                const std::string source = file.sourcePath.value_or(folder);
                EXPECT_EQ(source.rfind(folder, 0), 0u) << source;
                EXPECT_EQ(source.find("/.."), std::string::npos) << source;
            }
            if (mode != IMPORT_LBA_ORDER) {
                for (const FileEntry& file : project.fileTable) EXPECT_GE(file.lba, 22);
            }
            RecomputeLayout(project);
        }
    };
    importInEveryMode("99999999999999999999999 , \\A.BIN\n-99999999999999999999 , \\DATA\\X.BIN\n");
    importInEveryMode("1 , \\" + std::string(600, 'A') + "\n2 , \\DATA\\" + std::string(600, 'B') +
                      "\n");
    importInEveryMode("1 , " + std::string(100000, '\\') + "\n2 , \\A.BIN\n");
    importInEveryMode("1 , \\1\\2\\3\\4\\5\\6\\7\\8\\9\\Z.BIN\n2 , //DATA//SUB//Y.BIN\n");
    importInEveryMode("1 , \\A.BIN\0\\..\\x 2 , \\..\\..\\etc\\passwd 3 , ..\\GAMEDISC\\A.BIN"s);
    importInEveryMode("1 , \\BAD.DIR\\A.BIN\n,,, , ,\n , , \n1 ,\n");
    std::mt19937 random(99);
    for (int round = 0; round < 20; ++round) {
        std::string junk(8192, '\0');
        for (char& c : junk) c = static_cast<char>(random());
        importInEveryMode(junk);
    }
    // Listings built from a vocabulary of plausible and hostile pieces.
    const std::vector<std::string> lbas = {"24", "-1", "0", "abc", "99999999999", "+5", "", "1e9"};
    const std::vector<std::string> separators = {",", ",x", ",,", "x", ""};
    std::vector<std::string> parts = {"", "\xff\xfe", "A B", std::string(300, 'q')};
    std::istringstream words("A.BIN DATA data SUB Y.BIN X.BIN .. . BAD.DIR LongFileName.txt 1 2");
    for (std::string word; words >> word;) parts.push_back(word);
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 60; ++round) {
        std::string text;
        const int entries = 1 + static_cast<int>(random() % 40);
        for (int e = 0; e < entries; ++e) {
            text += pick(lbas) + " " + pick(separators) + (random() % 2 ? " \\" : " ");
            for (int k = random() % 6; k > 0; --k)
                text += pick(parts) + (random() % 2 ? "\\" : "/");
            text += pick(parts) + (random() % 5 == 0 ? " " : "\n");
        }
        importInEveryMode(text);
    }
}

}  // namespace
}  // namespace korvalin
