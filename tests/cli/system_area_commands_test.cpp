// SPDX-License-Identifier: GPL-3.0-or-later
// system-area and new --stamp-system-area.

#include <cstring>

#include "cli/cli_runner.h"

namespace korvalin::test {
namespace {

// The settings are saved and shown; a refused file changes nothing. (What
// the compile writes, and the verifier's verdict on it, is tested in the core.)
TEST(CliSystemArea, FromShowClearAndTheSettings) {
    test::TempDir dir;
    const std::string project = (dir / "p.krv").string();
    ASSERT_EQ(RunCli({"new", project, "--stamp-system-area"}).status, 0);
    std::vector<uint8_t> license(12 * 2048, 0);
    std::memcpy(&license[4 * 2048], "Licensed  by  Someone", 21);
    test::WriteBytes(dir / "lic.dat", license);
    const auto loaded = RunCli({"system-area", project, "--from", (dir / "lic.dat").string(), "--show"});
    EXPECT_EQ(loaded.status, 0) << loaded.err;
    for (const char* line : {"System area taken from \"", "a license file, 12 sectors of 2048 bytes",
                             "License text: Licensed by Someone\n", "Keep system-area data: on\n",
                             "Stamp empty system area: on\n"}) {
        EXPECT_TRUE(Contains(loaded.out, line));
    }
    const auto before = test::ReadBytes(project);
    test::WriteText(dir / "odd.bin", "not a disc");
    const auto refused = RunCli({"system-area", project, "--from", (dir / "odd.bin").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Contains(refused.err, "odd.bin\" (10 bytes) is neither a disc image"));
    EXPECT_EQ(RunCli({"system-area", project}).status, 2);
    EXPECT_EQ(test::ReadBytes(project), before);

    ASSERT_EQ(RunCli({"system-area", project, "--clear", "--stamp", "off"}).status, 0);
    const auto shown = RunCli({"system-area", project, "--show"});
    EXPECT_TRUE(Contains(shown.out, "System area: all zero\n"));
    EXPECT_TRUE(Contains(shown.out, "Keep system-area data: off\nStamp empty system area: off\n"));
    EXPECT_EQ(test::ReadBytes(project).size(), 37833u);  // nothing new: the plain format
}

}  // namespace
}  // namespace korvalin::test
