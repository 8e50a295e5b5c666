// SPDX-License-Identifier: GPL-3.0-or-later
// listing: the three formats, where they go, and what is refused.

#include "cli/cli_runner.h"

namespace korvalin::test {
namespace {

namespace fs = std::filesystem;

TEST(CliListing, WritesEachFormatToStandardOutputOrSafelyToAFile) {
    test::TempDir dir;
    const std::string project = (dir / "p.krv").string();
    // \A\B and \A_B give the same constant name; \9LIVES starts with a digit.
    test::WriteText(dir / "A" / "B", "b");
    test::WriteText(dir / "A_B", std::string(5000, 'x'));
    test::WriteText(dir / "9LIVES", "");
    ASSERT_EQ(RunCli({"new", project}).status, 0);
    ASSERT_EQ(RunCli({"add", project, (dir / "A").string(), (dir / "A_B").string(),
                      (dir / "9LIVES").string()})
                  .status,
              0);

    const auto listed = RunCli({"listing", project});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "23 , \\A\r\n24 , \\A_B\r\n27 , \\9LIVES\r\n27 , \\A\\B\r\n");
    const fs::path file = dir / "list.txt";
    ASSERT_EQ(RunCli({"listing", project, "-o", file.string()}).status, 0);
    EXPECT_EQ(test::ReadBytes(file), std::vector<uint8_t>(listed.out.begin(), listed.out.end()));

    const auto table = RunCli({"listing", project, "--format", "lba"});
    EXPECT_TRUE(
        Contains(table.out, "        24          3         5000  00:02:24  file   \\A_B\n"));
    EXPECT_TRUE(Contains(table.out, "Total: 28 sectors\n"));

    // The header is valid C, included twice, with every name defined once.
    const fs::path header = dir / "disc.h";
    ASSERT_EQ(RunCli({"listing", project, "--format", "c-header", "-o", header.string()}).status,
              0);
    test::WriteText(dir / "use.c",
                    "#include \"disc.h\"\n#include \"disc.h\"\n"
                    "int x[] = {LBA_A_B, SIZE_A_B_2, LBA_9LIVES, SIZE_A, LBA_A_B_2};\n");
    const std::string compile = "cc -std=c99 -Wall -Werror -fsyntax-only " +
                                test::ShellQuote((dir / "use.c").string()) + " 2>&1";
    EXPECT_EQ(std::system(compile.c_str()), 0);

    const auto badFormat = RunCli({"listing", project, "--format", "xml"});
    EXPECT_EQ(badFormat.status, 2);
    const std::string missing = (dir / "none" / "list.txt").string();
    const auto unwritable = RunCli({"listing", project, "-o", missing});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(Contains(unwritable.err, missing + ": cannot write the listing"));
    const auto before = test::ReadBytes(project);
    EXPECT_EQ(RunCli({"listing", project, "-o", project}).status, 1);
    EXPECT_EQ(test::ReadBytes(project), before);
}

}  // namespace
}  // namespace korvalin::test
