// SPDX-License-Identifier: GPL-3.0-or-later
// The image verifier: damage to each file-system structure and to each part
// of a raw sector is reported at its LBA; images of another writer are sound;
// random files never break it.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "image/tiny_image.h"
#include "image/tool_run.h"
#include "test_support.h"

namespace korvalin::test {
namespace {

using Sector = int32_t TinyImage::*;
using Damager = std::function<int64_t(TinyImage&)>;  // returns the LBA to be reported

// DATA's and README.TXT's records in the root; the last record of each of
// DATA's two sectors.
constexpr size_t DATA_AT = 96;
constexpr size_t README_AT = 148;
constexpr size_t LAST_IN_FIRST_SECTOR = 96 + 31 * 60;
constexpr size_t LAST_IN_SECOND_SECTOR = 33 * 60;

// Writes `value` at `offset` in each of the sectors; the first is reported.
Damager Set(std::vector<Sector> sectors, size_t offset, uint8_t value) {
    return [=](TinyImage& i) {
        for (Sector s : sectors) *i.At(i.*s, offset) = value;
        return i.*sectors[0];
    };
}

// Writes a both-byte-order 32-bit value.
Damager Both32(Sector sector, size_t offset, uint32_t value) {
    return [=](TinyImage& i) {
        for (int b = 0; b < 4; ++b) {
            *i.At(i.*sector, offset + b) = *i.At(i.*sector, offset + 7 - b) =
                static_cast<uint8_t>(value >> (8 * b));
        }
        return i.*sector;
    };
}

Damager Then(Damager first, Damager second) {
    return [=](TinyImage& i) {
        first(i);
        return second(i);
    };
}

TEST(ImageVerifier, EachFileSystemDamageIsReportedAtItsSectorInBothFormats) {
    const TinyImage clean = BuildTinyImage();
    const VerifyReport sound = VerifyBytes(clean.plain);
    EXPECT_TRUE(sound.Sound()) << ProblemsText(sound);
    EXPECT_EQ(sound.directories, 2);
    EXPECT_EQ(sound.files, 67);
    // Path table records that start the next sector after zero fill.
    EXPECT_TRUE(VerifyBytes(BuildTinyImage(true).Raw()).Sound());

    const Sector pvd = &TinyImage::pvd, root = &TinyImage::root, data = &TinyImage::data;
    const Sector l = &TinyImage::lTable, lCopy = &TinyImage::lCopy;
    const Sector m = &TinyImage::mTable, mCopy = &TinyImage::mCopy;
    const Damager loop = [](TinyImage& i) {  // FILE00.BIN becomes a directory: the root
        Both32(&TinyImage::data, 96 + 2, static_cast<uint32_t>(i.root))(i);
        Both32(&TinyImage::data, 96 + 10, 2048)(i);
        Set({&TinyImage::data}, 96 + 25, 2)(i);
        return int64_t{i.root};
    };
    // damage, expected text, the only problem reported
    const std::tuple<Damager, const char*, bool> damages[] = {
        {Set({pvd}, 84, 1), "volume space size reads", true},
        {Then(Set({pvd}, 129, 0x10), Set({pvd}, 130, 0x10)), "logical block size 4096", true},
        {Both32(pvd, 80, 5000), "volume space size is 5000 sectors", true},
        {Set({pvd}, 1, 'X'), "no primary volume descriptor", false},
        {Set({m, mCopy}, 15, 0), "M path table record 2 (DATA) differs from the L path table",
         true},
        {Set({mCopy}, 19, 'X'), "optional M path table differs from the M path table at byte 19",
         true},
        {Then(Set({m, mCopy}, 17, 5), Set({l, lCopy}, 16, 5)), "names parent 5", false},
        {Then(Set({m, mCopy}, 5, 40), Set({l, lCopy}, 2, 40)),
         "path table puts the root at sector 40", true},
        {Set({data}, LAST_IN_FIRST_SECTOR, 100), "straddle", true},
        {Set({&TinyImage::dataSecond}, LAST_IN_SECOND_SECTOR, 100),
         "runs past the end of the directory extent", true},
        {Set({root}, README_AT, 20), "record length 20 is below 34", true},
        {Set({root}, README_AT + 17, 10), "data length reads", true},
        {Both32(data, 48 + 2, 70), "\"..\" gives extent 70", true},
        {Set({root}, DATA_AT + 52 - 14 + 6, 'Y'), "no CD-XA system-use field", true},
        {Set({root}, README_AT + 60 - 14 + 4, 0x8D), "CD-XA attributes 8D55 mark a directory",
         true},
        {Both32(root, README_AT + 2, 5000),
         "file \\README.TXT;1 (sector 5000, 11 bytes) runs past the end of the image", true},
        {Set({root}, DATA_AT + 33, 'X'), "directory XATA is missing from the path table", false},
        {loop, "lies on directory sectors already read", false},
    };
    for (const auto& [damage, expected, alone] : damages) {
        SCOPED_TRACE(expected);
        TinyImage image = clean;
        const int64_t lba = damage(image);
        for (const std::vector<uint8_t>& bytes : {image.plain, image.Raw()}) {
            const VerifyReport report = VerifyBytes(bytes);
            if (alone) {
                EXPECT_TRUE(OnlyAt(report, lba, expected));
            } else {
                EXPECT_TRUE(HasProblem(report, lba, expected)) << ProblemsText(report);
            }
        }
    }
}

TEST(ImageVerifier, EachDamagedPartOfARawSectorIsReportedAtItsSector) {
    const std::vector<uint8_t> clean = BuildTinyImage().Raw();
    EXPECT_EQ(VerifyBytes(clean).sectorsChecked, 92);
    // offset within the raw sector, XORed into the byte, expected, the only problem
    const std::tuple<size_t, uint8_t, const char*, bool> damages[] = {
        {3, 0x80, "no sync pattern", true}, {14, 0x19, "address 00:02:29, expected 00:02:30", true},
        {15, 0x01, "mode byte 3", true},    {21, 0x01, "subheader copies differ", false},
        {2073, 0xFF, "Form 1 EDC", false},  {2100, 0x5A, "P parity", true},
        {2300, 0x5A, "Q parity", true},
    };
    for (const auto& [offset, flip, expected, alone] : damages) {
        std::vector<uint8_t> raw = clean;
        raw[RawOffset(30, offset)] ^= flip;
        const VerifyReport report = VerifyBytes(raw);
        EXPECT_TRUE(OnlyAt(report, 30, expected));
        EXPECT_TRUE(!alone || report.problemCount == 1) << ProblemsText(report);
    }
    // A zero sector passes only in the system area.
    std::vector<uint8_t> raw = clean;
    std::fill_n(raw.begin() + RawOffset(30, 0), 2352, 0);
    EXPECT_TRUE(OnlyAt(VerifyBytes(raw), 30, "all zero"));
}

// Random files and random damage to the file-system sectors must never crash
// or hang the verifier, nor flood its list (the sanitizer build runs this too).
TEST(ImageVerifier, RandomFilesAndRandomDamageAreReportedNotTrusted) {
    std::mt19937 random(7);
    for (size_t size : {size_t{0}, size_t{2047}, size_t{2352 * 40}, size_t{300000}}) {
        std::vector<uint8_t> bytes(size);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
        const VerifyReport report = VerifyBytes(bytes);
        EXPECT_FALSE(report.Sound()) << size;
        EXPECT_LE(report.problems.size(), 202u);
    }
    const TinyImage image = BuildTinyImage(true);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = image.plain;
        for (int hits = 1 + static_cast<int>(random() % 40); hits > 0; --hits) {
            const size_t lba = 16 + random() % static_cast<size_t>(image.firstDataFile - 16);
            bytes[lba * 2048 + random() % 2048] = static_cast<uint8_t>(random());
        }
        EXPECT_LE(VerifyBytes(bytes).problems.size(), 202u);
    }
}

TEST(ImageVerifier, GenisoimageImagesAreSound) {
    if (!Installed("genisoimage")) GTEST_SKIP() << "no genisoimage";
    TempDir dir;
    WriteText(dir / "tree/SYSTEM.CNF", "BOOT = cdrom:\\SLUS_000.01;1\r\n");
    WriteBytes(dir / "tree/GAME/BIG.BIN", std::vector<uint8_t>(300000, 3));
    WriteText(dir / "tree/GAME/DATA/DEEP/NOTE.TXT", "deep");
    for (int i = 0; i < 80; ++i)
        WriteText(dir / ("tree/AUDIO/T" + std::to_string(i) + ".VAG"), "x");
    for (const char* flags : {"", "-R -J"}) {
        const std::string iso = (dir / "out.iso").string();
        const std::string command = std::string("genisoimage -quiet ") + flags + " -o " +
                                    ShellQuote(iso) + " " + ShellQuote((dir / "tree").string());
        ASSERT_EQ(RunTool(command).status, 0) << command;
        const VerifyReport report = VerifyImage(iso, {});
        EXPECT_TRUE(report.Sound()) << flags << "\n" << ProblemsText(report);
        EXPECT_EQ(report.directories, 5);  // the root, GAME, DATA, DEEP, AUDIO
        EXPECT_EQ(report.files, 83);
    }
}

}  // namespace
}  // namespace korvalin::test
