#include "model/disc_names.h"

#include <gtest/gtest.h>

#include <tuple>

namespace korvalin {
namespace {

std::string Shorten(std::string name) {
    const size_t dot = name.rfind('.');
    ShortenName(name, dot == std::string::npos ? 0 : static_cast<int>(dot));
    return name;
}

TEST(ShortenName, ProducesTheEightThreeFormsOfTheExamples) {
    const std::pair<const char*, const char*> examples[] = {
        {"README.TXT", "README.TXT"},
        {"LONGFILENAME.TXT", "LONGFI~1.TXT"},
        {"FILE.HTML", "FILE~1.HTM"},
        {"A.B.C", "AB~1.C"},
        {"X.Y.Z.W", "XYZ~1.W"},
        {"LONGDIRECTORY", "LONGDI~1"},
        {"VERYLONGNAME.LONGEXT", "VERYLO~1.LON"},
        {"ABCDEFGHI.JKLM", "ABCDEF~1.JKL"},
        {"A B", "AB"},
        {"FILE.", "FILE."},
        {"ABCDEFGH", "ABCDEFGH"},
        {"ABCDEFGHI", "ABCDEF~1"},
        {"AB CD.T X", "ABCD.TX"},
    };
    for (const auto& [in, out] : examples) EXPECT_EQ(Shorten(in), out) << in;
}

TEST(IsIllegalName, AcceptsOnlyNameCharactersAndTheOneDot) {
    EXPECT_FALSE(IsIllegalName("SYSTEM.CNF", 6));
    EXPECT_FALSE(IsIllegalName("A-B_9", 0));
    EXPECT_TRUE(IsIllegalName("SYSTEM.CNF", 0));  // dot where none is allowed
    EXPECT_TRUE(IsIllegalName("SYSTEMXCNF", 6));  // no dot where one must be
    EXPECT_TRUE(IsIllegalName("A~B.TXT", 3));
    EXPECT_TRUE(IsIllegalName("ab", 0));
    EXPECT_TRUE(IsIllegalName("A B", 0));
    EXPECT_TRUE(IsIllegalName("A\x80", 0));
    EXPECT_FALSE(IsIllegalName(std::string("AB\0~~", 5), 0));  // stops at the NUL
}

TEST(MakeDiscName, AppliesTheRulesForNamesFromDiskAndListings) {
    // component, disc name, refused
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"readme.txt", "README.TXT", false},
        {"SLUS_123.45", "SLUS_123.45", false},
        {"my dir", "MYDIR", false},
        {"LongFileName.txt", "LONGFI~1.TXT", true},
        {".hidden", ".HIDDEN", true},
        {"A~B.TXT", "A~B.TXT", true},
        {"FILE.", "FILE.", false},
        {"caf\xe9.txt", "CAF\xe9.TXT", true},
        // Blanks before the extension dot: taken in shortened form.
        {"MY FILE.TXT", "MYFILE.TXT", false},
    };
    for (const auto& [component, discName, illegal] : cases) {
        EXPECT_EQ(MakeDiscName(component).discName, discName) << component;
        EXPECT_EQ(MakeDiscName(component).illegal, illegal) << component;
    }
    // A folder with a dot is refused by the caller through lastDot.
    EXPECT_NE(MakeDiscName("DATA.OLD").lastDot, 0);
    EXPECT_EQ(MakeDiscName("DATA").lastDot, 0);
}

TEST(FinalComponent, TakesTheTextAfterTheLastSeparator) {
    EXPECT_EQ(FinalComponent("C:\\GAME\\DATA\\FILE.BIN"), "FILE.BIN");
    EXPECT_EQ(FinalComponent("/home/u/game/SYSTEM.CNF"), "SYSTEM.CNF");
    EXPECT_EQ(FinalComponent("C:FILE"), "FILE");
    EXPECT_EQ(FinalComponent("NAME"), "NAME");
    EXPECT_EQ(FinalComponent("/dir/"), "");
    EXPECT_EQ(FinalComponent("/" + std::string(300, 'A')).size(), 256u);
    // Only the first 512 characters are searched.
    EXPECT_EQ(FinalComponent(std::string(520, 'B') + "/X"), std::string(256, 'B'));
}

}  // namespace
}  // namespace korvalin
