// The file-system checks: volume descriptors, path tables and directory
// records, on plain and raw images alike.

#include <gtest/gtest.h>

#include <functional>

#include "image/tiny_image.h"
#include "test_support.h"

namespace korvalin::test {
namespace {

// DATA's and README.TXT's records in the root; the last record of each of
// DATA's two sectors.
constexpr size_t DATA_AT = 96;
constexpr size_t README_AT = 148;
constexpr size_t LAST_IN_FIRST_SECTOR = 96 + 31 * 60;
constexpr size_t LAST_IN_SECOND_SECTOR = 33 * 60;

using Sector = int32_t TinyImage::*;
using Damager = std::function<int64_t(TinyImage&)>;  // returns the LBA to be reported

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

}  // namespace
}  // namespace korvalin::test
