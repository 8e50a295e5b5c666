// korvalin verify: listing, summary, JSON and exit status.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "image/tiny_image.h"
#include "test_support.h"

namespace korvalin::test {
namespace {

TEST(VerifyCommand, SummaryListingJsonQuietAndExitStatus) {
    TempDir dir;
    const TinyImage image = BuildTinyImage();
    std::vector<uint8_t> raw = image.Raw();
    WriteBytes(dir / "tiny.bin", raw);
    WriteBytes(dir / "tiny.iso", image.plain);
    raw[RawOffset(40, 2200)] ^= 1;
    const std::string bad = (dir / "bad.bin").string();
    WriteBytes(bad, raw);

    const CliResult ok = RunCli({"verify", (dir / "tiny.bin").string()});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, (dir / "tiny.bin").string() +
                          ": raw 2352-byte sectors (sync pattern at sector 16), 92 sectors "
                          "checked; 2 directories, 67 files; 0 problems\n");
    EXPECT_EQ(ok.err, "");  // no progress bar when stderr is not a terminal
    const CliResult plain = RunCli({"verify", (dir / "tiny.iso").string()});
    EXPECT_EQ(plain.status, 0);
    EXPECT_NE(plain.out.find("2048-byte sectors (volume descriptor at sector 16), 92 sectors"),
              std::string::npos);
    const CliResult listed = RunCli({"verify", bad});
    EXPECT_EQ(listed.status, 1);
    EXPECT_EQ(listed.out.substr(0, listed.out.find('\n')),
              "LBA 40: P parity does not match the data");
    const auto json = nlohmann::json::parse(RunCli({"verify", bad, "--json"}).out);
    EXPECT_EQ(json["sound"], false);
    EXPECT_EQ(json["sectorCount"], 92);
    EXPECT_EQ(json["problems"][0]["lba"], 40);
    const CliResult quiet = RunCli({"verify", "--quiet", bad});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.out, "");

    const std::string missing = (dir / "missing.bin").string();
    const CliResult result = RunCli({"verify", missing});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "cannot read " + missing + ": No such file or directory\n");
    EXPECT_EQ(RunCli({"verify"}).status, 2);
    EXPECT_EQ(RunCli({"verify", missing, "--json", "--quiet"}).status, 2);
}

}  // namespace
}  // namespace korvalin::test
