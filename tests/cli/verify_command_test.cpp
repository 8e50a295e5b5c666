// korvalin verify: listing, summary, JSON and exit status.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "image/tiny_image.h"
#include "test_support.h"

namespace korvalin::test {
namespace {

class VerifyCommand : public ::testing::Test {
protected:
    TempDir dir;
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteBytes(dir / name, bytes);
        return (dir / name).string();
    }
};

TEST_F(VerifyCommand, SoundImageExitsZeroWithASummary) {
    const std::string path = Write("tiny.bin", BuildTinyImage().Raw());
    const CliResult result = RunCli({"verify", path});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out, path + ": raw 2352-byte sectors (sync pattern at sector 16), 92 sectors checked; "
                                 "2 directories, 67 files; 0 problems\n");
    EXPECT_EQ(result.err, "");  // no progress bar when stderr is not a terminal
}

TEST_F(VerifyCommand, DamageIsListedByLbaAndExitsOne) {
    std::vector<uint8_t> raw = BuildTinyImage().Raw();
    raw[RawOffset(40, 2200)] ^= 1;
    const std::string path = Write("bad.bin", raw);
    const CliResult result = RunCli({"verify", path});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "LBA 40: P parity does not match the data\n" + path +
                              ": raw 2352-byte sectors (sync pattern at sector 16), 92 sectors checked; "
                              "2 directories, 67 files; 1 problem\n");
}

TEST_F(VerifyCommand, PlainImageAndWholeFileProblems) {
    const std::string iso = Write("tiny.iso", BuildTinyImage().Plain());
    const CliResult sound = RunCli({"verify", iso});
    EXPECT_EQ(sound.status, 0);
    EXPECT_NE(sound.out.find("2048-byte sectors (volume descriptor at sector 16), 92 sectors (no sector headers"),
              std::string::npos)
        << sound.out;

    const std::string empty = Write("empty.bin", {});
    const CliResult result = RunCli({"verify", empty});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')), empty + ": the file is empty");
}

TEST_F(VerifyCommand, JsonAndQuiet) {
    std::vector<uint8_t> raw = BuildTinyImage().Raw();
    raw[RawOffset(40, 2200)] ^= 1;
    const std::string path = Write("bad.bin", raw);
    const CliResult json = RunCli({"verify", path, "--json"});
    EXPECT_EQ(json.status, 1);
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["sound"], false);
    EXPECT_EQ(parsed["sectorCount"], 92);
    EXPECT_EQ(parsed["problemCount"], 1);
    EXPECT_EQ(parsed["problems"][0]["lba"], 40);

    const CliResult quiet = RunCli({"verify", "--quiet", path});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(RunCli({"verify", "--quiet", Write("ok.bin", BuildTinyImage().Raw())}).status, 0);
}

TEST_F(VerifyCommand, UnreadableFileAndUsageErrors) {
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
