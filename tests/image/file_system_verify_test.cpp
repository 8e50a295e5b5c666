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
constexpr size_t DATA_RECORD = 96;
constexpr size_t README_RECORD = 148;
constexpr size_t LAST_IN_FIRST_SECTOR = 96 + 31 * 60;
constexpr size_t LAST_IN_SECOND_SECTOR = 33 * 60;

uint8_t* At(TinyImage& image, int64_t lba, size_t offset) {
    return image.sectors[static_cast<size_t>(lba)].data() + offset;
}

TEST(FileSystemVerify, TinyImagesAreSound) {
    const TinyImage image = BuildTinyImage();
    const VerifyReport report = VerifyBytes(image.Plain());
    EXPECT_TRUE(report.Sound()) << ProblemsText(report);
    EXPECT_EQ(report.format.sectorBytes, 2048);
    EXPECT_EQ(report.format.sectorCount, image.SectorCount());
    EXPECT_EQ(report.sectorsChecked, 0);
    EXPECT_EQ(report.directories, 2);
    EXPECT_EQ(report.files, 1 + TinyImage::DATA_FILES);
    EXPECT_TRUE(report.notes.empty());
    // Path table records that start the next sector after zero fill.
    const TinyImage twoSectorTables = BuildTinyImage(true);
    ASSERT_EQ(twoSectorTables.lCopy, 20);
    EXPECT_TRUE(VerifyBytes(twoSectorTables.Raw()).Sound());
}

struct Damage {
    const char* name;
    std::function<int64_t(TinyImage&)> apply;  // damages the image, returns the LBA to be reported
    const char* expected;
    bool alone;  // the only problem reported
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

class FileSystemDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(FileSystemDamage, IsReportedAtItsSectorInBothFormats) {
    const Damage& damage = GetParam();
    TinyImage image = BuildTinyImage();
    const int64_t lba = damage.apply(image);
    for (const std::vector<uint8_t>& bytes : {image.Plain(), image.Raw()}) {
        const VerifyReport report = VerifyBytes(bytes);
        if (damage.alone) {
            EXPECT_TRUE(OnlyAt(report, lba, damage.expected));
        } else {
            EXPECT_TRUE(HasProblem(report, lba, damage.expected)) << ProblemsText(report);
        }
    }
}

// Sets the byte at (lba, offset) in each of `lbas`; returns the first LBA.
int64_t Set(TinyImage& i, std::initializer_list<int64_t> lbas, size_t offset, uint8_t value) {
    for (int64_t lba : lbas) *At(i, lba, offset) = value;
    return *lbas.begin();
}

INSTANTIATE_TEST_SUITE_P(
    EachStructure, FileSystemDamage,
    ::testing::Values(
        Damage{"PvdBothByteOrder", [](TinyImage& i) { return Set(i, {16}, 84, 1); },
               "volume space size reads", true},
        Damage{"PvdLogicalBlockSize",
               [](TinyImage& i) {
                   Set(i, {16}, 129, 0x10);  // 4096 in both byte orders
                   return Set(i, {16}, 130, 0x10);
               },
               "logical block size 4096", true},
        Damage{"VolumeLargerThanImage",
               [](TinyImage& i) {
                   PutBoth32(At(i, 16, 80), 5000);
                   return 16;
               },
               "volume space size is 5000 sectors", true},
        Damage{"NoPrimaryDescriptor", [](TinyImage& i) { return Set(i, {16}, 0, 0); },
               "no primary volume descriptor", true},
        Damage{"NoTerminator",
               [](TinyImage& i) {
                   i.sectors[17].fill(0);
                   return 17;
               },
               "without a terminator", true},
        Damage{"MPathTableRecord", [](TinyImage& i) { return Set(i, {i.mTable, i.mCopy}, 15, 0); },
               "M path table record 2 (DATA) differs from the L path table", true},
        Damage{"OptionalMCopy", [](TinyImage& i) { return Set(i, {i.mCopy}, 19, 'X'); },
               "optional M path table differs from the M path table at byte 19", true},
        Damage{"OptionalLCopy", [](TinyImage& i) { return Set(i, {i.lCopy}, 2, 0); },
               "optional L path table differs", true},
        Damage{"PathTableParentLater",
               [](TinyImage& i) {
                   Set(i, {i.mTable, i.mCopy}, 17, 5);
                   return Set(i, {i.lTable, i.lCopy}, 16, 5);
               },
               "names parent 5", false},
        Damage{"RootMissesFromPathTable",
               [](TinyImage& i) {
                   Set(i, {i.mTable, i.mCopy}, 5, 40);
                   return Set(i, {i.lTable, i.lCopy}, 2, 40);
               },
               "path table puts the root at sector 40", true},
        Damage{"RecordStraddlesSectors",
               [](TinyImage& i) { return Set(i, {i.data}, LAST_IN_FIRST_SECTOR, 100); },
               "straddle", true},
        Damage{"RecordRunsPastItsExtent",
               [](TinyImage& i) { return Set(i, {i.data + 1}, LAST_IN_SECOND_SECTOR, 100); },
               "runs past the end of the directory extent", true},
        Damage{"RecordTooShort", [](TinyImage& i) { return Set(i, {i.root}, README_RECORD, 20); },
               "record length 20 is below 34", true},
        Damage{"RecordBothByteOrder",
               [](TinyImage& i) { return Set(i, {i.root}, README_RECORD + 10 + 7, 0x0A); },
               "data length reads", true},
        Damage{"DotPointsElsewhere",
               [](TinyImage& i) {
                   PutBoth32(At(i, i.data, 2), 70);
                   return i.data;
               },
               "\".\" gives extent 70", true},
        Damage{"DotDotPointsElsewhere",
               [](TinyImage& i) {
                   PutBoth32(At(i, i.data, 48 + 2), static_cast<uint32_t>(i.data));
                   return i.data;
               },
               "\"..\" gives extent", true},
        Damage{"NoDotRecord", [](TinyImage& i) { return Set(i, {i.data}, 33, 'A'); },
               "the first record is not \".\"", true},
        Damage{"XaSignatureMissing",
               [](TinyImage& i) { return Set(i, {i.root}, DATA_RECORD + 52 - 14 + 6, 'Y'); },
               "no CD-XA system-use field", true},
        Damage{"XaAttributesContradictFlags",
               [](TinyImage& i) { return Set(i, {i.root}, README_RECORD + 60 - 14 + 4, 0x8D); },
               "CD-XA attributes 8D55 mark a directory", true},
        Damage{"FileRunsPastTheImage",
               [](TinyImage& i) {
                   PutBoth32(At(i, i.root, README_RECORD + 2), 5000);
                   return i.root;
               },
               "file \\README.TXT;1 (sector 5000, 11 bytes) runs past the end of the image", true},
        Damage{"DirectoryMissingFromPathTable",
               [](TinyImage& i) { return Set(i, {i.root}, DATA_RECORD + 33, 'X'); },
               "directory XATA is missing from the path table", false},
        Damage{"PathTableRecordWithoutDirectory",
               [](TinyImage& i) {
                   Set(i, {i.root}, DATA_RECORD + 33, 'X');
                   return i.lTable;
               },
               "path table record 2 (DATA) names no directory", false},
        Damage{"DirectoryLoop",
               [](TinyImage& i) {
                   uint8_t* r = At(i, i.data, 96);  // FILE00.BIN becomes a directory: the root
                   PutBoth32(r + 2, static_cast<uint32_t>(i.root));
                   PutBoth32(r + 10, 2048);
                   r[25] = 2;
                   return i.root;
               },
               "lies on directory sectors already read", false}));

TEST(FileSystemVerify, FileSystemOnlyImageMayEndBeforeTheVolume) {
    TinyImage image = BuildTinyImage();
    image.sectors.resize(static_cast<size_t>(image.readme));  // up to the first file, as the IML variant writes
    VerifyOptions options;
    options.fileSystemOnly = true;
    const VerifyReport partial = VerifyBytes(image.Plain(), options);
    EXPECT_TRUE(partial.Sound()) << ProblemsText(partial);
    EXPECT_EQ(partial.notes.size(), 2u);

    const VerifyReport whole = VerifyBytes(image.Plain());
    EXPECT_TRUE(HasProblem(whole, 16, "volume space size is 92 sectors but the image holds 25"));
    EXPECT_TRUE(HasProblem(whole, image.root, "runs past the end of the image"));

    // The IML variant's image name says so by itself.
    TempDir dir;
    WriteBytes(dir / "disc.IMS", image.Plain());
    WriteBytes(dir / "disc.iso", image.Plain());
    EXPECT_TRUE(VerifyImage((dir / "disc.IMS").string(), {}).Sound());
    EXPECT_FALSE(VerifyImage((dir / "disc.iso").string(), {}).Sound());
}

}  // namespace
}  // namespace korvalin::test
