// Whole images of the sample disc in the three variants, read back by the
// tests' own reader, and the compile's failure messages.

#include "image/compile_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "image/iml_file.h"
#include "image/image_naming.h"
#include "image/iso_reader.h"
#include "image/sample_disc.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "layout/recompute_layout.h"

namespace korvalin {
namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

CompileState Compile(Project& project, const fs::path& image, std::vector<int32_t>* progress = nullptr) {
    CompileState state;
    state.imagePath = image.string();
    if (progress != nullptr) state.progressCallback = [progress](int32_t lba) { progress->push_back(lba); };
    CompileImage(project, state);
    return state;
}

std::string ReadText(const fs::path& path) {
    const Bytes bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Every file and directory of the disc is found, with its bytes.
void ExpectDiscReadsBack(const test::SampleDisc& disc, const Bytes& userData) {
    const std::vector<test::IsoRecord> records = test::ReadIsoTree(userData);
    std::map<std::string, test::IsoRecord> byPath;
    for (const auto& r : records) byPath[r.path] = r;
    EXPECT_EQ(records.size(), disc.expected.size() + disc.directories.size());
    for (const std::string& dir : disc.directories) {
        ASSERT_TRUE(byPath.count(dir)) << dir;
        EXPECT_TRUE(byPath[dir].isDirectory) << dir;
        EXPECT_EQ(byPath[dir].systemUse[4], 0x8D) << dir;
    }
    for (const auto& [path, bytes] : disc.expected) {
        ASSERT_TRUE(byPath.count(path)) << path;
        EXPECT_FALSE(byPath[path].isDirectory) << path;
        EXPECT_EQ(byPath[path].systemUse[4], 0x0D) << path;
        EXPECT_EQ(test::ExtentBytes(userData, byPath[path]), bytes) << path;
    }
}

class SampleDiscCompile : public ::testing::Test {
protected:
    test::TempDir sources;
    test::TempDir out;
    test::SampleDisc disc = test::MakeSampleDisc(sources, true);
};

TEST_F(SampleDiscCompile, IsoAndRawVariantsHoldEveryFileAndZeroFiller) {
    ASSERT_EQ(Compile(disc.project, out / "disc.iso").compileMessage, COMPILE_SUCCESS_MESSAGE);
    EXPECT_FALSE(fs::exists(out / "disc.cue"));
    const CompileState raw = Compile(disc.project, out / "disc.bin");
    ASSERT_EQ(raw.compileMessage, COMPILE_SUCCESS_MESSAGE);
    EXPECT_EQ(ReadText(out / "disc.cue"),
              "FILE \"disc.bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n");

    const Bytes iso = test::ReadBytes(out / "disc.iso");
    const Bytes bin = test::ReadBytes(out / "disc.bin");
    const int32_t total = disc.project.layoutState.totalSectors;
    ASSERT_EQ(iso.size(), static_cast<size_t>(total) * 2048);
    ASSERT_EQ(bin.size(), static_cast<size_t>(total) * 2352);
    EXPECT_EQ(test::UserDataOf(bin, 2352), iso);
    ExpectDiscReadsBack(disc, iso);

    // Zero data: the gap before the pinned BIG.BIN (60) around the pinned
    // directory EMPTY (45), and the window of the empty TAIL.TXT at the end.
    ASSERT_EQ(disc.project.fileTable[4].lba, 60);
    const auto zeroSector = [&](int32_t lba) {
        return std::all_of(iso.begin() + lba * 2048, iso.begin() + (lba + 1) * 2048,
                           [](uint8_t b) { return b == 0; });
    };
    for (int32_t lba = 29; lba < 60; ++lba) EXPECT_EQ(zeroSector(lba), lba != 45) << lba;
    EXPECT_TRUE(zeroSector(total - 1));

    // A new project's system area has no sync: those raw sectors stay zero.
    // Every other raw sector carries its address and its EDC and parity.
    EXPECT_TRUE(std::all_of(bin.begin(), bin.begin() + 16 * 2352, [](uint8_t b) { return b == 0; }));
    SectorEncoder encoder;
    for (int32_t lba = 16; lba < total; ++lba) {
        const uint8_t* sector = bin.data() + static_cast<size_t>(lba) * 2352;
        SectorHeaderBytes expectedHeader = initialSectorHeader;
        const auto address = BcdAddressOfLba(lba);
        std::copy(address.begin(), address.end(), expectedHeader.begin() + 12);
        ASSERT_TRUE(std::equal(expectedHeader.begin(), expectedHeader.end(), sector)) << lba;
        Bytes again(sector, sector + 2352);
        encoder.EncodeSector(again.data());
        ASSERT_TRUE(std::equal(again.begin(), again.end(), sector)) << "EDC/ECC of " << lba;
    }
}

TEST_F(SampleDiscCompile, StoredSystemAreaKeepsItsHeadersAndLosesItsData) {
    for (int i = 0; i < 16; ++i) {
        uint8_t* slot = disc.project.systemArea.data() + i * 2352;
        std::copy(initialSectorHeader.begin(), initialSectorHeader.end(), slot);
        slot[12] = 0x42;  // an address of the stored disc, kept as it is
        std::fill(slot + 24, slot + 2352, 0xAB);
    }
    const Bytes stored = disc.project.systemArea;
    ASSERT_EQ(Compile(disc.project, out / "disc.bin").compileMessage, COMPILE_SUCCESS_MESSAGE);
    const Bytes bin = test::ReadBytes(out / "disc.bin");
    SectorEncoder encoder;
    for (int i = 0; i < 16; ++i) {
        Bytes expected(stored.begin() + i * 2352, stored.begin() + (i + 1) * 2352);
        std::fill(expected.begin() + 24, expected.begin() + 24 + 2048, 0);
        encoder.EncodeSector(expected.data());
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), bin.begin() + i * 2352)) << i;
    }
    EXPECT_EQ(disc.project.systemArea, stored);  // prepared in a copy
    // The descriptor still gets the address of LBA 16.
    EXPECT_EQ(bin[16 * 2352 + 12], 0x00);
    EXPECT_EQ(bin[16 * 2352 + 13], 0x02);
    EXPECT_EQ(bin[16 * 2352 + 14], 0x16);
}

TEST_F(SampleDiscCompile, CompilingTwiceGivesTheSameImage) {
    Compile(disc.project, out / "first.bin");
    Compile(disc.project, out / "between.iso");
    Compile(disc.project, out / "second.bin");
    EXPECT_EQ(test::ReadBytes(out / "first.bin"), test::ReadBytes(out / "second.bin"));
}

TEST_F(SampleDiscCompile, ProgressFollowsSectorsAndBatches) {
    std::vector<int32_t> progress;
    Compile(disc.project, out / "disc.bin", &progress);
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), disc.project.layoutState.totalSectors - 1);
    // TWO.BIN at 28, filler 29..44 in one batch, the pinned directory at 45,
    // filler 46..59, then BIG.BIN's 50,000 bytes as 20 + 4 + 1 sectors from
    // LBA 60 and THREE.BIN's 2049 bytes as 1 + 1.
    ASSERT_EQ(disc.project.fileTable[3].lba, 28);
    const std::vector<int32_t> expected = {28, 29, 45, 46, 60, 80, 84, 85, 86};
    EXPECT_NE(std::search(progress.begin(), progress.end(), expected.begin(), expected.end()),
              progress.end());
}

TEST_F(SampleDiscCompile, ImlVariantRefusesADirectoryAfterAFile) {
    const CompileState state = Compile(disc.project, out / "disc.iml");
    EXPECT_EQ(state.compileMessage, " ERROR: cannot import, violation in IML format    ");
    EXPECT_TRUE(fs::exists(out / "disc.ims"));
    EXPECT_EQ(ReadText(out / "disc.iml").find("[/LOC]"), std::string::npos);
}

TEST(ImlCompile, ImageUpToTheFirstFileAndAListingOfTheRest) {
    test::TempDir sources;
    test::TempDir out;
    test::SampleDisc disc = test::MakeSampleDisc(sources, false);
    const CompileState state = Compile(disc.project, out / "Disc.Iml");
    ASSERT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE);
    EXPECT_EQ(state.imagePath, (out / "Disc.Ims").string());
    EXPECT_FALSE(fs::exists(out / "Disc.cue"));

    Compile(disc.project, out / "disc.iso");
    const Bytes iso = test::ReadBytes(out / "disc.iso");
    const Bytes ims = test::ReadBytes(out / "Disc.Ims");
    ASSERT_EQ(ims.size(), 27u * 2048);  // directories end at 26, SYSTEM.CNF is at 27
    EXPECT_TRUE(std::equal(ims.begin(), ims.end(), iso.begin()));

    const auto src = [&](const char* name) { return (sources / (std::string("src ") + name)).string(); };
    const std::string expected =
        "[SYS]\r\nVERSION=1.00\r\nMEDIA=CD\r\nTARGET=PS2\r\nDISCVERSION=1.00\r\n"
        "DATE=2024/06/05-11:20:30\r\n[/SYS]\r\n\r\n"
        "[CUE]\r\nDISCNAME=\"KORVALIN_BY_ZOV" + std::string(17, ' ') + "\"\r\n"
        "PRODUCER=\"" + std::string(32, ' ') + "\"\r\n"
        "COPYRIGHT=\"" + std::string(32, ' ') + "\"\r\n"
        "CREATIONDATE=20240605\r\nPSTYPE=2\r\nDISCCODE=03\r\n"
        "#Track   Index   Time        Form        Control        LBN\r\n"
        " 00      00      00:20:00    CDROM2_0    DATA           \r\n"
        " 01      00      00:00:00    CDROM2_0    DATA           \r\n"
        " 01      01      00:02:00    CDROM2_3    DATA           0\r\n"
        " AA      01      00:05:13    CDROM2_0    DATA           238\r\n"  // 88 + 300 frames
        "[/CUE]\r\n\r\n"
        "[LOC]\r\n# the number of entries: 8\r\n#Start   End      Mode Fno Path\r\n"
        "0        26       2.1  0   \"Disc.Ims\"\r\n"
        "27       27       2.1  0   \"" + src("SYSTEM.CNF") + "\"\r\n"
        "28       28       2.1  0   \"" + src("ONE.BIN") + "\"\r\n"
        "29       29       2.1  0   \"" + src("TWO.BIN") + "\"\r\n"
        "60       84       2.1  0   \"" + src("BIG.BIN") + "\"\r\n"
        "85       86       2.1  0   \"" + src("THREE.BIN") + "\"\r\n"
        "[/LOC]\r\n\r\n";
    EXPECT_EQ(ReadText(out / "Disc.iml"), expected);
}

TEST(ImlCompile, ColumnsAreCutToEightCharacters) {
    EXPECT_EQ(ImlEntryLine(0, 1234, "a b"), "0        1234     2.1  0   \"a b\"\n");
    EXPECT_EQ(ImlEntryLine(123456789, 4000000000u, "x"), "12345678 40000000 2.1  0   \"x\"\n");
}

TEST(CompileEdges, EmptyFilesAtTheEndPadTheImageToItsVolumeSize) {
    // A placed empty file whose window nothing shares, and a pinned empty
    // file past everything: neither writes data, and the image still holds
    // every sector the volume descriptor counts.
    test::TempDir out;
    Project p = test::NewProject();
    test::WriteBytes(out / "a", Bytes(10, 7));
    test::AddFile(p, "A.BIN", 10, 0, (out / "a").string());
    test::AddFile(p, "E.TXT", 0, 0, (out / "e").string());  // no source needed: nothing is read
    const int32_t pinned = test::AddFile(p, "P.TXT", 0, 0, (out / "p").string());
    p.fileTable[pinned].flags = FLAG_LBA_SET;
    p.fileTable[pinned].lba = 40;
    RecomputeLayout(p);
    ASSERT_EQ(p.layoutState.totalSectors, 41);
    for (const char* name : {"e.bin", "e.iso"}) {
        const CompileState state = Compile(p, out / name);
        ASSERT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE) << name;
        EXPECT_EQ(test::ReadBytes(out / name).size(), 41u * static_cast<size_t>(state.sectorSize));
    }
}

class CompileFailures : public SampleDiscCompile {};

TEST_F(CompileFailures, MissingSourceStopsAfterEverythingBeforeIt) {
    const std::string missing = disc.project.fileTable[1].sourcePath.value();  // ONE.BIN
    fs::remove(missing);
    const CompileState state = Compile(disc.project, out / "disc.bin");
    EXPECT_EQ(state.compileMessage, "Cannot open file  " + missing + " ");
    ASSERT_EQ(disc.project.fileTable[1].lba, 27);
    EXPECT_EQ(test::ReadBytes(out / "disc.bin").size(), 27u * 2352);
    EXPECT_FALSE(fs::exists(out / "disc.cue"));
}

TEST_F(CompileFailures, ImageThatCannotBeCreated) {
    const std::string path = (out / "no such folder" / "disc.bin").string();
    EXPECT_EQ(Compile(disc.project, path).compileMessage, "no es posible crear: " + path + " ");
}

TEST_F(CompileFailures, SourceShorterThanItsSizeInTheFinalSector) {
    // THREE.BIN is 2049 bytes: a source cut to 2000 fails only when the
    // final one-byte sector finds nothing.
    const std::string three = disc.project.fileTable[5].sourcePath.value();
    fs::resize_file(three, 2000);
    EXPECT_EQ(Compile(disc.project, out / "disc.iso").compileMessage,
              "Read error,incorrect filesize specified in: " + three);
}

TEST_F(CompileFailures, SourceShortByWholeSectorsIsPaddedWithZeros) {
    const std::string two = disc.project.fileTable[3].sourcePath.value();  // 2048 bytes
    fs::resize_file(two, 100);
    ASSERT_EQ(Compile(disc.project, out / "disc.iso").compileMessage, COMPILE_SUCCESS_MESSAGE);
    const Bytes iso = test::ReadBytes(out / "disc.iso");
    const size_t at = static_cast<size_t>(disc.project.fileTable[3].lba) * 2048;
    Bytes expected = disc.expected["/DATA/SUB/TWO.BIN;1"];
    std::fill(expected.begin() + 100, expected.end(), 0);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), iso.begin() + at));
}

TEST_F(CompileFailures, CueSheetThatCannotBeCreatedLeavesTheImage) {
    fs::create_directory(out / "disc.cue");  // a folder where the sheet should go
    EXPECT_EQ(Compile(disc.project, out / "disc.bin").compileMessage,
              "Error Creating " + (out / "disc.cue").string() + "!!!! ");
    EXPECT_EQ(test::ReadBytes(out / "disc.bin").size(),
              static_cast<size_t>(disc.project.layoutState.totalSectors) * 2352);
}

TEST_F(CompileFailures, ExtentLongerThanTheLayoutReservedNamesItsOwner) {
    // The compile writes the layout of the last refresh; entries changed
    // since then no longer fit it.
    Project stale = disc.project;
    stale.fileTable[1].size = 4096;  // ONE.BIN: one sector reserved, its 1-byte source padded
    EXPECT_EQ(Compile(stale, out / "file.iso").compileMessage,
              "  LBA error when writting to file  " + *stale.fileTable[1].sourcePath + " ");

    stale = disc.project;
    for (int i = 0; i < 40; ++i) test::AddDummy(stale, "PAD" + std::to_string(i) + ".BIN", 0, 0, 2);
    EXPECT_EQ(Compile(stale, out / "dir.iso").compileMessage,
              "  LBA error when writting to file  \\EMPTY ");
}

TEST(ImageNaming, VariantsAndCompanionNames) {
    const auto v = [](const std::string& name) { return ChooseImageVariant(name); };
    EXPECT_EQ(v("/d/D.ISO").rawSectors, 0);
    EXPECT_FALSE(v("/d/D.ISO").imlMode);
    EXPECT_EQ(v("/d/D.Iml").imagePath, "/d/D.Ims");
    EXPECT_EQ(v("/d/D.Iml").outputSidecarPath, "/d/D.iml");
    EXPECT_TRUE(v("/d/D.Iml").imlMode);
    EXPECT_EQ(v("/d/D.bin").rawSectors, 1);
    EXPECT_EQ(v("/d/D.bin").outputSidecarPath, "/d/D.cue");
    // No extension of its own: the companion's is appended.
    EXPECT_EQ(v("/d/image").outputSidecarPath, "/d/image.cue");
    EXPECT_EQ(v("/games.v2/image").outputSidecarPath, "/games.v2/image.cue");
    EXPECT_EQ(v("/games.v2/image").rawSectors, 1);
    EXPECT_EQ(v("/d/disc.image").outputSidecarPath, "/d/disc.cue");
    EXPECT_EQ(FileNamePart("/a b/c d.bin"), "c d.bin");
}

}  // namespace
}  // namespace korvalin
