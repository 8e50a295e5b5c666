// SPDX-License-Identifier: GPL-3.0-or-later
// The raw XA mark on the command line: add notes or marks, edit sets and
// clears, ls --json shows it.

#include <cstring>

#include "cli/cli_runner.h"
#include "model/xa_file.h"

namespace korvalin::test {
namespace {

using Json = nlohmann::json;

std::vector<uint8_t> AudioSectors(int count) {
    std::vector<uint8_t> bytes(static_cast<size_t>(count) * XA_SOURCE_SECTOR_BYTES, 0x44);
    for (size_t at = 0; at < bytes.size(); at += XA_SOURCE_SECTOR_BYTES) {
        const uint8_t sub[8] = {1, 0, 0x64, 1, 1, 0, 0x64, 1};
        std::memcpy(&bytes[at], sub, sizeof sub);
    }
    return bytes;
}

Json FileJson(const std::string& krv, size_t index) { return LsJson(krv)["files"][index]; }

TEST(XaCommands, AddNotesOrMarksEditSetsAndClears) {
    test::TempDir work;
    const std::string krv = (work / "p.krv").string();
    const std::string music = (work / "music.xa").string();
    test::WriteBytes(music, AudioSectors(4));
    test::WriteBytes(work / "odd.bin", std::vector<uint8_t>(3000, 1));
    ASSERT_EQ(RunCli({"new", krv}).status, 0);

    const auto added = RunCli({"add", krv, music});
    EXPECT_EQ(added.status, 0);
    EXPECT_TRUE(Contains(added.err, "korvalin: " + music + ": looks like raw XA sectors"));
    EXPECT_TRUE(Contains(added.err, "korvalin edit " + krv + " '\\MUSIC.XA' --xa"));
    EXPECT_FALSE(FileJson(krv, 0).contains("rawXa"));

    const auto refused = RunCli({"add", krv, "--xa", (work / "odd.bin").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Contains(refused.err, "odd.bin: holds 3000 bytes, not a whole number of 2336-byte sectors"));
    EXPECT_EQ(LsJson(krv)["files"].size(), 1u);

    EXPECT_EQ(RunCli({"edit", krv, "\\MUSIC.XA", "--xa"}).status, 0);
    EXPECT_EQ(FileJson(krv, 0)["rawXa"], true);
    EXPECT_EQ(FileJson(krv, 0)["size"], 4 * 2048);
    EXPECT_EQ(RunCli({"edit", krv, "\\", "--xa"}).status, 1);
    EXPECT_EQ(RunCli({"compile", krv, (work / "p.iso").string()}).status, 1);

    EXPECT_EQ(RunCli({"edit", krv, "\\MUSIC.XA", "--no-xa"}).status, 0);
    EXPECT_FALSE(FileJson(krv, 0).contains("rawXa"));
    EXPECT_EQ(FileJson(krv, 0)["size"], 4 * 2336);
}

}  // namespace
}  // namespace korvalin::test
