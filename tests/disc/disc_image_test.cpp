// SPDX-License-Identifier: GPL-3.0-or-later
// One disc in every container the reader opens (raw, 2048-byte, a cue sheet
// of MODE2/2352 or MODE2/2336, a data track after an audio track) reads as
// the same tree; Form 2 sectors come out whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "disc/cue_sheet_parser.h"
#include "image/compile_image.h"
#include "image/sample_disc.h"
#include "image/sector_header.h"
#include "import/dump_disc.h"
#include "import/dump_plan.h"
#include "test_support.h"

namespace korvalin {
namespace {

TEST(DiscImage, EveryContainerOfOneDiscReadsAsTheSameTree) {
    test::TempDir work;
    test::SampleDisc disc = test::MakeSampleDisc(work, true);
    for (const char* name : {"disc.bin", "disc.iso"}) test::CompileToBytes(disc.project, work / name);
    const std::vector<uint8_t> raw = test::ReadBytes(work / "disc.bin");
    std::vector<uint8_t> mode2, pregap(150 * RAW_SECTOR_BYTES, 0);
    for (size_t at = 0; at < raw.size(); at += RAW_SECTOR_BYTES) {
        mode2.insert(mode2.end(), raw.begin() + at + 16, raw.begin() + at + RAW_SECTOR_BYTES);
    }
    pregap.insert(pregap.end(), raw.begin(), raw.end());
    test::WriteBytes(work / "disc.2336", mode2);
    test::WriteBytes(work / "pregap.bin", pregap);
    test::WriteText(work / "mode2.cue", "FILE \"disc.2336\" BINARY\r\n  TRACK 01 MODE2/2336\r\n    INDEX 01 00:00:00\r\n");
    test::WriteText(work / "pregap.cue", "FILE pregap.bin BINARY\n TRACK 01 AUDIO\n  INDEX 00 00:00:00\n  INDEX 01 00:00:00\n"
                                         " TRACK 02 MODE2/2352\n  INDEX 01 00:02:00\n");

    std::vector<test::RecordFields> expected;
    for (const char* name : {"disc.bin", "disc.cue", "disc.iso", "mode2.cue", "pregap.cue"}) {
        SCOPED_TRACE(name);
        DumpPlan plan;
        std::string message;
        ASSERT_TRUE(PlanDump((work / name).string(), "/x", plan, message)) << message;
        if (expected.empty()) expected = test::FieldsOf(plan.project.fileTable);
        EXPECT_EQ(test::FieldsOf(plan.project.fileTable), expected);
        EXPECT_EQ(plan.project.fileCount(), disc.project.fileCount());
        const bool audio = std::string(name) == "pregap.cue";
        EXPECT_EQ(!plan.unrepresented.empty() && plan.unrepresented.back() == "tracks not read: track 01 (AUDIO)", audio);
    }
}

// A file marked Form 2 in its CD-XA field is extracted as whole 2336-byte
// sectors (subheader first) and kept in the project as a dummy at its place.
TEST(DiscImage, Form2FilesComeOutAsWholeSectorsAndStayAsDummies) {
    test::TempDir work;
    test::SampleDisc disc = test::MakeSampleDisc(work, false);
    std::vector<uint8_t> raw = test::CompileToBytes(disc.project, work / "disc.bin");
    const std::string name = "BIG.BIN;1";
    const auto at = std::search(raw.begin(), raw.end(), name.begin(), name.end()) - raw.begin();
    raw[static_cast<size_t>(at) - 33 + SystemUseOffset(9) + 4] |= 0x10;  // XA_ATTR_FORM2, high byte
    test::WriteBytes(work / "xa.bin", raw);
    DumpResult result;
    std::string message;
    ASSERT_EQ(DumpDiscImage({(work / "xa.bin").string(), (work / "out").string(), "", false}, result, message), 0)
        << message;
    const std::vector<uint8_t> sectors = test::ReadBytes(work / "out" / "files" / "DATA" / "BIG.BIN");
    ASSERT_EQ(sectors.size(), 25u * 2336);
    EXPECT_EQ(std::vector<uint8_t>(sectors.begin(), sectors.begin() + 8), test::Hex("00 00 08 00 00 00 08 00"));
    const std::vector<uint8_t>& data = disc.expected["/DATA/BIG.BIN;1"];
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 2048, sectors.begin() + 8));
    ASSERT_FALSE(result.unrepresented.empty());
    EXPECT_EQ(result.unrepresented[0], "Form 2 (XA) files, extracted as 2336-byte sectors, kept as dummies: \\DATA\\BIG.BIN");
}

TEST(DiscImage, CueSheetsGiveTracksFilesAndIndexesOrTheLineThatIsWrong) {
    CueSheet sheet;
    std::string problem;
    ASSERT_TRUE(ParseCueSheet("REM x\nFILE \"a b.bin\" BINARY\n TRACK 01 MODE1/2352\n  INDEX 01 00:00:00\n"
                              " TRACK 02 audio\n  INDEX 00 01:00:00\n  INDEX 01 01:02:10\nFILE c.bin BINARY\n"
                              " TRACK 03 MODE2/2336\n  INDEX 01 00:00:01\n",
                              sheet, problem));
    ASSERT_EQ(sheet.tracks.size(), 3u);
    EXPECT_EQ(sheet.tracks[0].file, "a b.bin");
    EXPECT_EQ(sheet.tracks[1].mode, "AUDIO");
    EXPECT_FALSE(sheet.tracks[1].IsData());
    EXPECT_EQ(sheet.tracks[1].index1, (62 * 75) + 10);
    EXPECT_EQ(sheet.tracks[2].file, "c.bin");
    EXPECT_EQ(sheet.tracks[2].sectorBytes, 2336);
    for (const char* bad : {"TRACK 01 MODE2/2352\n", "FILE a BINARY\nINDEX 01 00:00:00\n",
                            "FILE a BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:60:00\n"}) {
        CueSheet ignored;
        EXPECT_FALSE(ParseCueSheet(bad, ignored, problem)) << bad;
        EXPECT_NE(problem.find("line "), std::string::npos);
    }
}

// Random damage to the file-system sectors of a compiled disc, and random
// files, are read or refused with a message: never a crash, a hang or a
// tree that points outside the image.
TEST(DiscImage, RandomDamageIsRefusedOrReadNeverTrusted) {
    test::TempDir work;
    test::SampleDisc disc = test::MakeSampleDisc(work, false);
    const std::vector<uint8_t> good = test::CompileToBytes(disc.project, work / "disc.iso");
    const size_t fileSystemSectors = static_cast<size_t>(disc.project.layoutState.firstFileLba) - 16;
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = good;
        if (round % 10 == 0) {
            bytes.resize(2048 * (17 + random() % 40));
            for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = i / 2048 == 16 && i % 2048 < 6 ? "\1CD001"[i % 2048] : static_cast<uint8_t>(random());
        }
        for (int hits = 1 + static_cast<int>(random() % 30); hits > 0; --hits) {
            bytes[(16 + random() % fileSystemSectors) * 2048 + random() % 2048] = static_cast<uint8_t>(random());
        }
        test::WriteBytes(work / "damaged.iso", bytes);
        DumpPlan plan;
        std::string message;
        if (!PlanDump((work / "damaged.iso").string(), "/x", plan, message)) {
            EXPECT_NE(message.find("damaged.iso: "), std::string::npos) << message;
            continue;
        }
        for (const IsoDirectory& dir : plan.tree.dirs) {
            EXPECT_LE(int64_t{dir.record.extent} + (dir.record.size + 2047) / 2048, plan.image.format.sectorCount);
        }
    }
}

}  // namespace
}  // namespace korvalin
