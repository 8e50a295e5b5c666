// korvalin verify: listing, summary, JSON and exit status.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "image/tiny_image.h"
#include "test_support.h"

namespace korvalin::test {
namespace {

TEST(VerifyCommand, SummaryListingJsonAndQuiet) {
    TempDir dir;
    const std::vector<uint8_t> raw = BuildTinyImage().Raw();
    const std::string sound = (dir / "tiny.bin").string();
    WriteBytes(sound, raw);
    const std::string summary = ": raw 2352-byte sectors (sync pattern at sector 16), 92 sectors "
                                "checked; 2 directories, 67 files; ";
    const CliResult ok = RunCli({"verify", sound});
    EXPECT_EQ(ok.status, 0) << ok.out << ok.err;
    EXPECT_EQ(ok.out, sound + summary + "0 problems\n");
    EXPECT_EQ(ok.err, "");  // no progress bar when stderr is not a terminal

    std::vector<uint8_t> damaged = raw;
    damaged[RawOffset(40, 2200)] ^= 1;
    const std::string bad = (dir / "bad.bin").string();
    WriteBytes(bad, damaged);
    const CliResult listed = RunCli({"verify", bad});
    EXPECT_EQ(listed.status, 1);
    EXPECT_EQ(listed.out, "LBA 40: P parity does not match the data\n" + bad + summary + "1 problem\n");
    const CliResult json = RunCli({"verify", bad, "--json"});
    EXPECT_EQ(json.status, 1);
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["sound"], false);
    EXPECT_EQ(parsed["sectorCount"], 92);
    EXPECT_EQ(parsed["problemCount"], 1);
    EXPECT_EQ(parsed["problems"][0]["lba"], 40);
    const CliResult quiet = RunCli({"verify", "--quiet", bad});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(RunCli({"verify", "--quiet", sound}).status, 0);
}

TEST(VerifyCommand, PlainImagesWholeFileProblemsAndUsageErrors) {
    TempDir dir;
    WriteBytes(dir / "tiny.iso", BuildTinyImage().Plain());
    const CliResult plain = RunCli({"verify", (dir / "tiny.iso").string()});
    EXPECT_EQ(plain.status, 0);
    EXPECT_NE(plain.out.find("2048-byte sectors (volume descriptor at sector 16), 92 sectors (no "
                             "sector headers"),
              std::string::npos)
        << plain.out;
    WriteBytes(dir / "empty.bin", {});
    const CliResult empty = RunCli({"verify", (dir / "empty.bin").string()});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.out.substr(0, empty.out.find('\n')), (dir / "empty.bin").string() + ": the file is empty");

    const std::string missing = (dir / "missing.bin").string();
    const CliResult result = RunCli({"verify", missing});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "cannot read " + missing + ": No such file or directory\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(RunCli({"verify"}).status, 2);
    EXPECT_EQ(RunCli({"verify", missing, "--bogus"}).status, 2);
    EXPECT_EQ(RunCli({"verify", missing, "--json", "--quiet"}).status, 2);
}

}  // namespace
}  // namespace korvalin::test
