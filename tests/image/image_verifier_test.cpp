// The image verifier: the file-system checks (volume descriptors, path
// tables, directory records) on plain and raw images alike, the sector-level
// checks of raw images, and files that are not sound images at all.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>

#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "image/tiny_image.h"
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

TEST(FileSystemVerify, TinyImagesAreSound) {
    const TinyImage image = BuildTinyImage();
    const VerifyReport report = VerifyBytes(image.plain);
    EXPECT_TRUE(report.Sound()) << ProblemsText(report);
    EXPECT_EQ(report.format.sectorBytes, 2048);
    EXPECT_EQ(report.format.sectorCount, 92);
    EXPECT_EQ(report.sectorsChecked, 0);
    EXPECT_EQ(report.directories, 2);
    EXPECT_EQ(report.files, 67);
    EXPECT_TRUE(report.notes.empty());
    // Path table records that start the next sector after zero fill.
    const TinyImage twoSectorTables = BuildTinyImage(true);
    ASSERT_EQ(twoSectorTables.lCopy, 20);
    EXPECT_TRUE(VerifyBytes(twoSectorTables.Raw()).Sound());
}

TEST(FileSystemVerify, EachDamageIsReportedAtItsSectorInBothFormats) {
    const Sector pvd = &TinyImage::pvd, root = &TinyImage::root, data = &TinyImage::data;
    const Sector l = &TinyImage::lTable, lCopy = &TinyImage::lCopy;
    const Sector m = &TinyImage::mTable, mCopy = &TinyImage::mCopy;
    const Damager loop = [](TinyImage& i) {  // FILE00.BIN becomes a directory: the root
        Both32(&TinyImage::data, 96 + 2, static_cast<uint32_t>(i.root))(i);
        Both32(&TinyImage::data, 96 + 10, 2048)(i);
        Set({&TinyImage::data}, 96 + 25, 2)(i);
        return int64_t{i.root};
    };
    const auto zero = [](Sector sector) -> Damager {
        return [=](TinyImage& i) {
            std::fill_n(i.At(i.*sector, 0), 2048, 0);
            return i.*sector;
        };
    };
    // damage, expected text, the only problem reported
    const std::tuple<Damager, const char*, bool> damages[] = {
        {Set({pvd}, 84, 1), "volume space size reads", true},
        {Then(Set({pvd}, 129, 0x10), Set({pvd}, 130, 0x10)), "logical block size 4096", true},
        {Both32(pvd, 80, 5000), "volume space size is 5000 sectors", true},
        {zero(pvd), "no primary volume descriptor", true},
        {zero(&TinyImage::terminator), "without a terminator", true},
        {Set({m, mCopy}, 15, 0), "M path table record 2 (DATA) differs from the L path table",
         true},
        {Set({mCopy}, 19, 'X'), "optional M path table differs from the M path table at byte 19",
         true},
        {Set({lCopy}, 2, 0), "optional L path table differs", true},
        {Then(Set({m, mCopy}, 17, 5), Set({l, lCopy}, 16, 5)), "names parent 5", false},
        {Then(Set({m, mCopy}, 5, 40), Set({l, lCopy}, 2, 40)),
         "path table puts the root at sector 40", true},
        {Set({data}, LAST_IN_FIRST_SECTOR, 100), "straddle", true},
        {Set({&TinyImage::dataSecond}, LAST_IN_SECOND_SECTOR, 100),
         "runs past the end of the directory extent", true},
        {Set({root}, README_AT, 20), "record length 20 is below 34", true},
        {Set({root}, README_AT + 17, 10), "data length reads", true},
        {Both32(data, 2, 70), "\".\" gives extent 70", true},
        {Both32(data, 48 + 2, 70), "\"..\" gives extent 70", true},
        {Set({data}, 33, 'A'), "the first record is not \".\"", true},
        {Set({root}, DATA_AT + 52 - 14 + 6, 'Y'), "no CD-XA system-use field", true},
        {Set({root}, README_AT + 60 - 14 + 4, 0x8D), "CD-XA attributes 8D55 mark a directory",
         true},
        {Both32(root, README_AT + 2, 5000),
         "file \\README.TXT;1 (sector 5000, 11 bytes) runs past the end of the image", true},
        {Set({root}, DATA_AT + 33, 'X'), "directory XATA is missing from the path table", false},
        {Then(Set({root}, DATA_AT + 33, 'X'), [](TinyImage& i) { return int64_t{i.lTable}; }),
         "path table record 2 (DATA) names no directory", false},
        {loop, "lies on directory sectors already read", false},
    };
    for (const auto& [damage, expected, alone] : damages) {
        SCOPED_TRACE(expected);
        TinyImage image = BuildTinyImage();
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

TEST(FileSystemVerify, FileSystemOnlyImageMayEndBeforeTheVolume) {
    TinyImage image = BuildTinyImage();
    // Up to the first file, as the IML variant writes it.
    image.plain.resize(static_cast<size_t>(image.readme) * 2048);
    VerifyOptions options;
    options.fileSystemOnly = true;
    const VerifyReport partial = VerifyBytes(image.plain, options);
    EXPECT_TRUE(partial.Sound()) << ProblemsText(partial);
    EXPECT_EQ(partial.notes.size(), 2u);
    const VerifyReport whole = VerifyBytes(image.plain);
    EXPECT_TRUE(HasProblem(whole, 16, "volume space size is 92 sectors but the image holds 25"));
    EXPECT_TRUE(HasProblem(whole, image.root, "runs past the end of the image"));
    // The IML variant's image name says so by itself.
    TempDir dir;
    WriteBytes(dir / "disc.IMS", image.plain);
    WriteBytes(dir / "disc.iso", image.plain);
    EXPECT_TRUE(VerifyImage((dir / "disc.IMS").string(), {}).Sound());
    EXPECT_FALSE(VerifyImage((dir / "disc.iso").string(), {}).Sound());
}

constexpr int64_t FILE_SECTOR = 30;  // one of DATA's files

TEST(RawSectorVerify, EachDamagedFieldIsReportedAtItsSector) {
    const std::vector<uint8_t> clean = BuildTinyImage().Raw();
    const VerifyReport sound = VerifyBytes(clean);
    EXPECT_TRUE(sound.Sound()) << ProblemsText(sound);
    EXPECT_EQ(sound.format.sectorBytes, RAW_SECTOR_BYTES);
    EXPECT_EQ(sound.sectorsChecked, 92);
    EXPECT_TRUE(sound.notes.empty());
    // offset within the raw sector, XORed into the byte, expected, the only problem
    const std::tuple<size_t, uint8_t, const char*, bool> damages[] = {
        {3, 0x80, "no sync pattern", true},
        {14, 0x19, "address 00:02:29, expected 00:02:30", true},
        {13, 0x07, "expected 00:02:30", true},
        {15, 0x01, "mode byte 3", true},
        {21, 0x01, "subheader copies differ", false},
        {24 + 500, 0xEE, "Form 1 EDC", false},
        {2073, 0xFF, "Form 1 EDC", false},
        {2100, 0x5A, "P parity", true},
        {2300, 0x5A, "Q parity", true},
    };
    for (const auto& [offset, flip, expected, alone] : damages) {
        std::vector<uint8_t> raw = clean;
        raw[RawOffset(FILE_SECTOR, offset)] ^= flip;
        const VerifyReport report = VerifyBytes(raw);
        EXPECT_TRUE(OnlyAt(report, FILE_SECTOR, expected));
        if (alone) {
            EXPECT_EQ(report.problemCount, 1) << ProblemsText(report);
        }
    }
}

TEST(RawSectorVerify, OnlyTheSystemAreaMayBeAllZeroAndTheListIsCapped) {
    const TinyImage image = BuildTinyImage();
    std::vector<uint8_t> raw = image.Raw();
    // Sectors as a project's system area taken from a real disc gives them.
    SectorHeaderTemplate header;
    for (int64_t lba = 0; lba < 16; ++lba) {
        StampSectorHeader(raw.data() + RawOffset(lba, 0), header);
        SectorEncoder().EncodeSector(raw.data() + RawOffset(lba, 0));
    }
    EXPECT_TRUE(VerifyBytes(raw).Sound());
    raw[RawOffset(5, 0)] = 0x01;  // no sync, not all zero
    EXPECT_TRUE(OnlyAt(VerifyBytes(raw), 5, "no sync pattern"));
    raw = image.Raw();
    std::memset(raw.data() + RawOffset(FILE_SECTOR, 0), 0, RAW_SECTOR_BYTES);
    EXPECT_TRUE(OnlyAt(VerifyBytes(raw), FILE_SECTOR, "all zero"));

    for (int64_t lba = image.firstDataFile; lba < 92; ++lba) raw[RawOffset(lba, 1)] = 0;
    VerifyOptions options;
    options.listLimit = 10;
    const VerifyReport report = VerifyBytes(raw, options);
    const int64_t damaged = 92 - image.firstDataFile;
    EXPECT_EQ(report.problemCount, damaged);
    ASSERT_EQ(report.problems.size(), 11u);
    EXPECT_EQ(report.problems[0].lba, image.firstDataFile);
    EXPECT_EQ(report.problems.back().lba, WHOLE_IMAGE);
    EXPECT_EQ(report.problems.back().text,
              std::to_string(damaged - 10) + " more sector problems not listed");
}

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

TEST(ImageVerifierRobustness, CutShortAndEmptyFiles) {
    std::vector<uint8_t> raw = BuildTinyImage().Raw();
    raw.resize(raw.size() - 1000);
    VerifyReport report = VerifyBytes(raw);
    EXPECT_TRUE(HasProblem(report, 91, "the file ends 1352 bytes into this sector of 2352 bytes"))
        << ProblemsText(report);
    EXPECT_TRUE(HasProblem(report, 16, "volume space size is 92 sectors but the image holds 91"));

    raw.resize(10 * 2352);
    report = VerifyBytes(raw);
    EXPECT_TRUE(HasProblem(report, WHOLE_IMAGE, "the image ends before sector 16"));
    EXPECT_FALSE(report.Sound());

    report = VerifyBytes({});
    EXPECT_TRUE(report.opened);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].text, "the file is empty");
}

// Random files and random damage to the file-system sectors must never crash
// or hang the verifier, nor flood its list (the sanitizer build runs this too).
TEST(ImageVerifierRobustness, RandomBytesAndRandomDamage) {
    for (size_t size :
         {size_t{1}, size_t{2047}, size_t{2352 * 40}, size_t{2048 * 40 + 5}, size_t{300000}}) {
        const VerifyReport report = VerifyBytes(RandomBytes(size, static_cast<uint32_t>(size)));
        EXPECT_FALSE(report.Sound()) << size;
        EXPECT_LE(report.problems.size(), 202u);
    }
    const std::vector<uint8_t> noiseBytes = RandomBytes(2352 * 3, 1);
    MemoryImageSource noise(noiseBytes);
    EXPECT_EQ(DetectImageFormat(noise).description,
              "raw 2352-byte sectors (assumed from the file size)");

    const TinyImage image = BuildTinyImage(true);
    const std::vector<uint8_t> clean = image.plain;
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = clean;
        const int hits = 1 + static_cast<int>(random() % 40);
        for (int h = 0; h < hits; ++h) {
            const size_t lba = 16 + random() % static_cast<size_t>(image.firstDataFile - 16);
            bytes[lba * 2048 + random() % 2048] = static_cast<uint8_t>(random());
        }
        EXPECT_LE(VerifyBytes(bytes).problems.size(), 202u);
    }
}

TEST(ImageVerifierOracle, GenisoimageImagesAreSound) {
    if (std::system("command -v genisoimage >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no genisoimage";
    TempDir dir;
    std::filesystem::create_directories(dir / "tree/GAME/DATA/DEEP");
    std::filesystem::create_directories(dir / "tree/AUDIO");
    WriteText(dir / "tree/SYSTEM.CNF", "BOOT = cdrom:\\SLUS_000.01;1\r\n");
    WriteBytes(dir / "tree/GAME/BIG.BIN", RandomBytes(300000, 3));
    WriteText(dir / "tree/GAME/DATA/DEEP/NOTE.TXT", "deep");
    for (int i = 0; i < 80; ++i)
        WriteText(dir / ("tree/AUDIO/TRACK" + std::to_string(i) + ".VAG"), "x");
    for (const char* flags : {"", "-R -J"}) {
        const std::string iso = (dir / "out.iso").string();
        const std::string command = std::string("genisoimage -quiet ") + flags + " -o " +
                                    ShellQuote(iso) + " " + ShellQuote((dir / "tree").string());
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const VerifyReport report = VerifyImage(iso, {});
        EXPECT_TRUE(report.Sound()) << flags << "\n" << ProblemsText(report);
        EXPECT_EQ(report.directories, 5);  // the root, GAME, DATA, DEEP, AUDIO
        EXPECT_EQ(report.files, 83);
    }
}

}  // namespace
}  // namespace korvalin::test
