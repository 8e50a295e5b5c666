// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/disc_names.h"

#include <gtest/gtest.h>

namespace korvalin {
namespace {

TEST(DiscNames, ShortenTestAndTakeTheFinalComponent) {
    // name -> 8.3 form: blanks and inner dots go, over-long parts get "~1"
    const char* const examples[][2] = {{"README.TXT", "README.TXT"},
                                       {"LONGFILENAME.TXT", "LONGFI~1.TXT"},
                                       {"FILE.HTML", "FILE~1.HTM"},
                                       {"A.B.C", "AB~1.C"},
                                       {"X.Y.Z.W", "XYZ~1.W"},
                                       {"LONGDIRECTORY", "LONGDI~1"},
                                       {"ABCDEFGHI.JKLM", "ABCDEF~1.JKL"},
                                       {"ABCDEFGH", "ABCDEFGH"},
                                       {"AB CD.T X", "ABCD.TX"},
                                       {"FILE.", "FILE."}};
    for (const auto& [in, out] : examples) {
        std::string name = in;
        const size_t dot = name.rfind('.');
        ShortenName(name, dot == std::string::npos ? 0 : static_cast<int>(dot));
        EXPECT_EQ(name, out) << in;
    }
    EXPECT_FALSE(IsIllegalName("SYSTEM.CNF", 6));
    EXPECT_FALSE(IsIllegalName("A-B_9", 0));
    EXPECT_FALSE(IsIllegalName(std::string("AB\0~~", 5), 0));  // stops at the NUL
    const char* const illegal[] = {"SYSTEMXCNF", "A~B.TXT", "ab", "A B", "A\x80"};
    for (const char* name : illegal)
        EXPECT_TRUE(IsIllegalName(name, name[0] == 'S' ? 6 : 0)) << name;
    EXPECT_TRUE(IsIllegalName("SYSTEM.CNF", 0));  // a dot where none may be
    EXPECT_EQ(MakeDiscName("MY FILE.TXT").discName, "MYFILE.TXT");
    EXPECT_NE(MakeDiscName("DATA.OLD").lastDot, 0);  // a folder with a dot is refused
    EXPECT_EQ(FinalComponent("C:FILE"), "FILE");
    // At most 256 characters, after the last separator among the first 512.
    EXPECT_EQ(FinalComponent(std::string(520, 'B') + "/X"), std::string(256, 'B'));
}

}  // namespace
}  // namespace korvalin
