// SPDX-License-Identifier: GPL-3.0-or-later
// verify --repair and inject from the command line: what they print, their
// exit status, and the image sound afterwards.

#include "cli/cli_runner.h"
#include "image/sector_header.h"

namespace korvalin::test {
namespace {

// The root with DATA\ABCD.BIN (5000 bytes, LBA 24), as a raw image and its cue sheet.
std::string CompiledBin(const TempDir& dir) {
    Project project = NewProject();
    const int32_t data = AddDir(project, "DATA");
    WriteBytes(dir / "abcd", std::vector<uint8_t>(5000, 9));
    AddFile(project, "ABCD.BIN", 5000, data, (dir / "abcd").string());
    CompileTo(project, dir / "game.bin");
    return (dir / "game.bin").string();
}

TEST(PatchCommands, RepairListsTheSectorsByFileAndInjectWhatItWrote) {
    TempDir dir;
    const std::string bin = CompiledBin(dir);
    const std::vector<uint8_t> good = ReadBytes(bin);
    std::vector<uint8_t> bad = good;
    const int32_t abcd = 24;
    bad[abcd * RAW_SECTOR_BYTES + 2100] ^= 1;
    WriteBytes(bin, bad);

    const CliResult dry = RunCli({"verify", (dir / "game.cue").string(), "--repair", "--dry-run"});
    EXPECT_EQ(dry.status, 1);
    EXPECT_TRUE(Contains(dry.out, "LBA 24: would repair P parity (\\DATA\\ABCD.BIN)"));
    EXPECT_TRUE(Contains(dry.out, "1 sector to repair (dry run, nothing written)"));

    const CliResult fixed = RunCli({"verify", bin, "--repair", "--backup"});
    EXPECT_EQ(fixed.status, 0) << fixed.out << fixed.err;
    EXPECT_TRUE(Contains(fixed.out, "LBA 24: repaired P parity (\\DATA\\ABCD.BIN)"));
    EXPECT_TRUE(Contains(fixed.out, "Backup: " + bin + ".orig"));
    EXPECT_TRUE(Contains(fixed.out, "0 problems"));
    EXPECT_EQ(ReadBytes(bin), good);

    const CliResult again = RunCli({"verify", bin, "--repair", "--backup"});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(Contains(again.err, bin + ".orig already exists"));

    // Inject reports what it wrote and refuses what does not fit.
    WriteBytes(dir / "large", std::vector<uint8_t>(7000, 1));
    const CliResult large = RunCli({"inject", bin, "\\DATA\\ABCD.BIN;1", (dir / "large").string()});
    EXPECT_EQ(large.status, 1);
    EXPECT_TRUE(Contains(large.err, "1 sector is missing. Rebuild the disc instead: `korvalin dump`"));

    WriteBytes(dir / "small", std::vector<uint8_t>(10, 1));
    const CliResult small = RunCli({"inject", bin, "/data/abcd.bin", (dir / "small").string()});
    EXPECT_EQ(small.status, 0) << small.err;
    EXPECT_TRUE(Contains(small.out, "3 sectors, Form 1, size 5000 -> 10"));
    EXPECT_EQ(RunCli({"inject", bin}).status, 2);
}

}  // namespace
}  // namespace korvalin::test
