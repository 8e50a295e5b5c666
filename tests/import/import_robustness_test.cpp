// No listing, however malformed, may crash or hang the import or leave an
// inconsistent project behind.

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "layout/precompile_check.h"
#include "layout/recompute_layout.h"
#include "listing_fixture.h"
#include "model/disc_names.h"
#include "model/disc_path.h"

namespace korvalin {
namespace {

using namespace std::string_literals;

// The pre-compile check finds nothing wrong with either table, and what the
// import adds is where it belongs.
void ExpectConsistent(const Project& project, const std::string& listingFolder) {
    EXPECT_TRUE(CheckDirectoryTable(project).empty());
    EXPECT_TRUE(CheckFileTable(project).empty());
    ASSERT_LE(project.dirCount(), DIR_TABLE_SLOTS);
    ASSERT_LE(project.fileCount(), FILE_TABLE_SLOTS);
    for (int32_t d = 1; d < project.dirCount(); ++d) {
        const DirEntry& dir = project.dirTable[d];
        EXPECT_LE(dir.parent, static_cast<uint32_t>(d));  // parents come first
        EXPECT_LT(DirDepth(project, static_cast<uint32_t>(d) + 1), 8);
        EXPECT_EQ(dir.lba, -1);
        EXPECT_FALSE(IsIllegalName(dir.Name(), 0));
    }
    for (const FileEntry& file : project.fileTable) {
        EXPECT_LE(file.nameLength, 12u);
        if (file.sourcePath) {
            EXPECT_LE(file.sourcePath->size(), 511u);
            EXPECT_EQ(file.sourcePath->rfind(listingFolder + "/", 0), 0u) << *file.sourcePath;
            EXPECT_EQ(file.sourcePath->find("/.."), std::string::npos) << *file.sourcePath;
        }
    }
}

class ImportRobustness : public ::testing::Test {
  protected:
    void SetUp() override {
        disc_.File("A.BIN", 3000);
        disc_.File("data/x.bin", 10);
        disc_.File("DATA/SUB/Y.BIN", 10);
        disc_.File("1/2/3/4/5/6/7/8/9/Z.BIN");
        disc_.Dir("BAD.DIR");
    }

    // Imports `text` in every mode; each run must end with a consistent
    // project that the layout accepts.
    void ImportInEveryMode(const std::string& text) {
        disc_.Listing(text);
        for (int32_t mode : {0, 1, 2}) {
            Project project = test::NewProject();
            const auto result = disc_.Import(project, mode);
            EXPECT_GE(result.code, IMPORT_FINISHED);
            EXPECT_LE(result.code, IMPORT_ENDED_ON_ERROR);
            ExpectConsistent(project, disc_.folder().string());
            RecomputeLayout(project);
        }
    }

    test::ListingFolder disc_;
};

TEST_F(ImportRobustness, JunkHugeNumbersLongPathsAndOddSeparators) {
    std::mt19937 random(1234);
    for (int round = 0; round < 20; ++round) {
        std::string junk(8192, '\0');
        for (char& c : junk) c = static_cast<char>(random());
        ImportInEveryMode(junk);
    }
    ImportInEveryMode("99999999999999999999999 , \\A.BIN\n-99999999999999999999 , \\DATA\\X.BIN\n");
    ImportInEveryMode("1 , \\" + std::string(600, 'A') + "\n2 , \\A.BIN\n");
    ImportInEveryMode("1 , \\DATA\\" + std::string(600, 'B') + "\\X.BIN\n");
    ImportInEveryMode("1 , " + std::string(100000, '\\') + "\n2 , \\A.BIN\n");
    ImportInEveryMode("1 , \\1\\2\\3\\4\\5\\6\\7\\8\\9\\Z.BIN\n");
    ImportInEveryMode("1 , \\\\\\A.BIN\n2 , //DATA//SUB//Y.BIN\n3 , \\DATA\\\\SUB\n");
    ImportInEveryMode("1 , \\A.BIN\0\\..\\x 2 , \\..\\..\\etc\\passwd 3 , ..\\GAMEDISC\\A.BIN"s);
    ImportInEveryMode("1 , \\BAD.DIR\\A.BIN\n2 , \\A.BIN\n");
    ImportInEveryMode(",,, , ,\n , , \n1 ,\n");
    // Ten thousand entries: only the first 4096 count.
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += std::to_string(100 + i) + " , \\GONE" + std::to_string(i) + "\\F.BIN\n";
    ImportInEveryMode(text);
}

// Listings built from a vocabulary of plausible and hostile pieces.
TEST_F(ImportRobustness, RandomListingsFromHostilePieces) {
    const std::vector<std::string> lbas = {"24", "-1", "0", "abc", "99999999999", "+5", "", "1e9"};
    const std::vector<std::string> separators = {",", ",x", ",,", "x", ""};
    std::vector<std::string> parts = {"", "\xff\xfe", "A B", std::string(300, 'q')};
    std::istringstream words("A.BIN DATA data SUB Y.BIN X.BIN .. . BAD.DIR LongFileName.txt 1 2");
    for (std::string word; words >> word;) parts.push_back(word);
    std::mt19937 random(99);
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
        ImportInEveryMode(text);
    }
}

}  // namespace
}  // namespace korvalin
