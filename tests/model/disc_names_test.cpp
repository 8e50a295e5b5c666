#include "model/disc_names.h"

#include <gtest/gtest.h>

#include <tuple>

namespace korvalin {
namespace {

TEST(ShortenName, ProducesTheEightThreeFormsOfTheExamples) {
    const std::pair<const char*, const char*> examples[] = {
        {"README.TXT", "README.TXT"},
        {"LONGFILENAME.TXT", "LONGFI~1.TXT"},
        {"FILE.HTML", "FILE~1.HTM"},
        {"A.B.C", "AB~1.C"},
        {"X.Y.Z.W", "XYZ~1.W"},
        {"LONGDIRECTORY", "LONGDI~1"},
        {"ABCDEFGHI.JKLM", "ABCDEF~1.JKL"},
        {"ABCDEFGH", "ABCDEFGH"},
        {"AB CD.T X", "ABCD.TX"},
        {"FILE.", "FILE."},
    };
    for (const auto& [in, out] : examples) {
        std::string name = in;
        const size_t dot = name.rfind('.');
        ShortenName(name, dot == std::string::npos ? 0 : static_cast<int>(dot));
        EXPECT_EQ(name, out) << in;
    }
}

TEST(IsIllegalName, AcceptsOnlyNameCharactersAndTheOneDot) {
    EXPECT_FALSE(IsIllegalName("SYSTEM.CNF", 6));
    EXPECT_FALSE(IsIllegalName("A-B_9", 0));
    EXPECT_FALSE(IsIllegalName(std::string("AB\0~~", 5), 0));  // stops at the NUL
    for (const auto& [name, dot] : {std::pair{"SYSTEM.CNF", 0},
                                    {"SYSTEMXCNF", 6},
                                    {"A~B.TXT", 3},
                                    {"ab", 0},
                                    {"A B", 0},
                                    {"A\x80", 0}}) {
        EXPECT_TRUE(IsIllegalName(name, dot)) << name;
    }
}

TEST(MakeDiscName, AppliesTheRulesForNamesFromDiskAndListings) {
    // component, disc name, refused (more cases in the add-from-disk tests)
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"A~B.TXT", "A~B.TXT", true},
        {"FILE.", "FILE.", false},
        {"caf\xe9.txt", "CAF\xe9.TXT", true},
        {"MY FILE.TXT", "MYFILE.TXT", false},
    };
    for (const auto& [component, discName, illegal] : cases) {
        EXPECT_EQ(MakeDiscName(component).discName, discName) << component;
        EXPECT_EQ(MakeDiscName(component).illegal, illegal) << component;
    }
    // A folder with a dot is refused by the caller through lastDot.
    EXPECT_NE(MakeDiscName("DATA.OLD").lastDot, 0);
    EXPECT_EQ(FinalComponent("C:\\GAME\\DATA\\FILE.BIN"), "FILE.BIN");
    EXPECT_EQ(FinalComponent("C:FILE"), "FILE");
    EXPECT_EQ(FinalComponent("/" + std::string(300, 'A')).size(), 256u);
    // Only the first 512 characters are searched.
    EXPECT_EQ(FinalComponent(std::string(520, 'B') + "/X"), std::string(256, 'B'));
}

}  // namespace
}  // namespace korvalin
