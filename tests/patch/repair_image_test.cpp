// SPDX-License-Identifier: GPL-3.0-or-later
// Repairing raw images in place: damaged headers, EDC and parity come back
// byte for byte, a dry run writes nothing, and images that cannot be
// repaired are refused by name. A repair writes whole sectors and keeps no
// state, so one cut short is finished by the next run like any damage.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <set>

#include "disc/image_reader.h"
#include "image/image_verifier.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "patch/inject_file.h"
#include "patch/repair_image.h"
#include "patch_fixture.h"

namespace korvalin::test {
namespace {

using RepairTest = PatchFixture;

// Damages the address, EDC, P or Q of random sectors past the system area; returns their LBAs.
std::set<int64_t> DamageSectors(std::vector<uint8_t>& image, uint32_t seed) {
    std::mt19937 random(seed);
    const int64_t sectors = static_cast<int64_t>(image.size() / RAW_SECTOR_BYTES);
    const size_t places[] = {12, 13, 14, FORM1_EDC_OFFSET, FORM1_P_OFFSET + 100, FORM1_Q_OFFSET + 50,
                             RAW_SECTOR_BYTES - 1};
    std::set<int64_t> damaged;
    for (int i = 0; i < 40; ++i) {
        const int64_t lba = 16 + static_cast<int64_t>(random() % static_cast<uint32_t>(sectors - 16));
        image[static_cast<size_t>(lba) * RAW_SECTOR_BYTES + places[random() % std::size(places)]] ^= 0x5A;
        damaged.insert(lba);
    }
    return damaged;
}

RepairReport Repair(const std::string& path, const RepairOptions& options, bool succeeds = true) {
    RepairReport report;
    std::string message;
    EXPECT_EQ(RepairImage(path, options, report, message), succeeds) << message;
    return report;
}

TEST_F(RepairTest, DamagedSectorsComeBackByteForByteAndADryRunWritesNothing) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        std::vector<uint8_t> damagedImage = original;
        const std::set<int64_t> damaged = DamageSectors(damagedImage, seed);
        WriteBytes(Bin(), damagedImage);

        const RepairReport dry = Repair(Bin(), {.dryRun = true});
        std::set<int64_t> listed;
        for (const RepairedSector& s : dry.repaired) listed.insert(s.lba);
        EXPECT_EQ(listed, damaged);
        EXPECT_EQ(ReadBytes(Bin()), damagedImage);

        std::filesystem::remove(Bin() + ".orig");
        const RepairReport done = Repair(Bin(), {.backup = true});
        EXPECT_EQ(done.repaired.size(), damaged.size());
        EXPECT_EQ(done.leftAlone, 0);
        EXPECT_EQ(ReadBytes(Bin()), original) << "seed " << seed;
        EXPECT_EQ(ReadBytes(Bin() + ".orig"), damagedImage);
        EXPECT_TRUE(Repair(Bin(), {}).repaired.empty());
    }
}

TEST_F(RepairTest, ReportsWhatWasWrongAndTheFileThatOwnsTheSector) {
    const int32_t two = LbaOf("/DATA/SUB/TWO.BIN;1");
    std::vector<uint8_t> image = original;
    image[static_cast<size_t>(two) * RAW_SECTOR_BYTES + 14] ^= 1;
    image[static_cast<size_t>(two) * RAW_SECTOR_BYTES + FORM1_Q_OFFSET] ^= 1;
    image[16 * RAW_SECTOR_BYTES + FORM1_EDC_OFFSET] ^= 1;
    WriteBytes(Bin(), image);
    const RepairReport report = Repair(Bin(), {});
    ASSERT_EQ(report.repaired.size(), 2u);
    EXPECT_EQ(report.repaired[0].lba, 16);
    EXPECT_EQ(report.repaired[0].wrong, "EDC");  // the parity was computed over the right EDC
    EXPECT_EQ(report.repaired[0].owner, "");
    EXPECT_EQ(report.repaired[1].wrong, "address, Q parity");
    EXPECT_EQ(report.repaired[1].owner, "\\DATA\\SUB\\TWO.BIN");
}

TEST_F(RepairTest, AZeroForm2EdcStaysZeroUnlessAskedFor) {
    // A sector of BIG.BIN turned into Form 2 without EDC, as CD-XA permits.
    const size_t at = static_cast<size_t>(LbaOf("/DATA/BIG.BIN;1") + 1) * RAW_SECTOR_BYTES;
    std::vector<uint8_t> image = original;
    image[at + 18] = image[at + 22] = 0x20;
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(at + FORM2_EDC_OFFSET), 4, 0);
    WriteBytes(Bin(), image);
    EXPECT_TRUE(Repair(Bin(), {}).repaired.empty());
    EXPECT_EQ(ReadBytes(Bin()), image);
    const RepairReport filled = Repair(Bin(), {.form2Edc = true});
    ASSERT_EQ(filled.repaired.size(), 1u);
    EXPECT_EQ(filled.repaired[0].wrong, "Form 2 EDC");
    EXPECT_TRUE(VerifyImage(Bin(), {}).Sound());
}

TEST_F(RepairTest, A2336ByteTrackOfACueSheetIsRepairedToo) {
    std::vector<uint8_t> stripped;
    for (size_t at = 0; at < original.size(); at += RAW_SECTOR_BYTES) {
        stripped.insert(stripped.end(), original.begin() + static_cast<std::ptrdiff_t>(at + 16),
                        original.begin() + static_cast<std::ptrdiff_t>(at + RAW_SECTOR_BYTES));
    }
    std::vector<uint8_t> damaged = stripped;
    damaged[20 * MODE2_SECTOR_BYTES + 2100] ^= 1;
    damaged[30 * MODE2_SECTOR_BYTES + 2060] ^= 1;
    WriteBytes(dir / "m2.bin", damaged);
    WriteText(dir / "m2.cue", "FILE \"m2.bin\" BINARY\n  TRACK 01 MODE2/2336\n    INDEX 01 00:00:00\n");
    EXPECT_EQ(Repair((dir / "m2.cue").string(), {}).repaired.size(), 2u);
    EXPECT_EQ(ReadBytes(dir / "m2.bin"), stripped);
}

TEST_F(RepairTest, RefusesWhatCannotBeRepairedNamingTheFile) {
    WriteBytes(dir / "disc.bin.orig", {1});
    WriteBytes(dir / "locked.bin", original);
    std::filesystem::permissions(dir / "locked.bin", std::filesystem::perms::owner_read);
    ASSERT_EQ(::mkfifo((dir / "pipe.bin").c_str(), 0600), 0);
    const std::pair<std::string, RepairOptions> cases[] = {
        {Iso(), {}},                                   // 2048-byte sectors: nothing to recompute
        {Bin(), {.backup = true}},                     // the backup is already there
        {(dir / "missing.bin").string(), {}},
        {dir.path().string(), {}},                     // a folder
        {(dir / "locked.bin").string(), {}},           // read-only
        {(dir / "pipe.bin").string(), {}},             // a pipe: refused, not waited on
    };
    for (const auto& [path, options] : cases) {
        RepairReport report;
        std::string message;
        EXPECT_FALSE(RepairImage(path, options, report, message)) << path;
        EXPECT_NE(message.find(dir.path().string()), std::string::npos) << message;
    }
    EXPECT_EQ(ReadBytes(Bin()), original);
}

// Damage dense in the directory and path-table sectors, where a reader goes
// wrong, and spread over the image, cut short now and then.
TEST_F(RepairTest, RandomDamageGivesARepairOrAnInjectionOrAMessageNeverACrash) {
    std::mt19937 random(5);
    WriteBytes(dir / "new.bin", std::vector<uint8_t>(100, 8));
    for (int round = 0; round < 40; ++round) {
        std::vector<uint8_t> image = original;
        for (int i = 0; i < 30; ++i) {
            image[(16 + random() % 20) * RAW_SECTOR_BYTES + random() % RAW_SECTOR_BYTES] = static_cast<uint8_t>(random());
        }
        for (int i = 0; i < 200; ++i) image[random() % image.size()] = static_cast<uint8_t>(random());
        if (round % 4 == 0) image.resize(random() % image.size());
        for (const bool inject : {false, true}) {
            WriteBytes(Bin(), image);
            RepairReport repaired;
            InjectReport injected;
            std::string message;
            const bool done = inject ? InjectFile(Bin(), "/DATA/BIG.BIN", (dir / "new.bin").string(), injected, message)
                                     : RepairImage(Bin(), {}, repaired, message);
            EXPECT_TRUE(done || !message.empty()) << (inject ? "inject" : "repair");
        }
    }
}

}  // namespace
}  // namespace korvalin::test
