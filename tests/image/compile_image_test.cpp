// SPDX-License-Identifier: GPL-3.0-or-later
// Whole images of the sample disc in the three variants and the compile's
// failure messages.

#include "image/compile_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "image/image_naming.h"
#include "image/iml_file.h"
#include "image/sample_disc.h"
#include "image/tiny_image.h"
#include "layout/recompute_layout.h"
#include "model/message_format.h"

namespace korvalin {
namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

CompileState Compile(Project& project, const fs::path& image,
                     std::vector<int32_t>* progress = nullptr, unsigned workers = 0, bool sync = false) {
    CompileState state;
    state.imagePath = image.string();
    state.workerThreads = workers;
    state.syncToDisk = sync;
    state.progressCallback = [progress](int32_t lba) {
        if (progress) progress->push_back(lba);
    };
    CompileImage(project, state);
    return state;
}

bool AllZero(const Bytes& bytes, size_t from, size_t count) {
    return std::all_of(bytes.begin() + from, bytes.begin() + from + count,
                       [](uint8_t b) { return b == 0; });
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
    std::vector<int32_t> progress;
    ASSERT_EQ(Compile(disc.project, out / "my disc.bin", &progress).compileMessage,
              COMPILE_SUCCESS_MESSAGE);
    EXPECT_EQ(test::TextOf(out / "my disc.cue"),
              "FILE \"my disc.bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n");
    const Bytes iso = test::ReadBytes(out / "disc.iso");
    const Bytes bin = test::ReadBytes(out / "my disc.bin");
    // The verifier (itself checked against hand-made damage and other writers)
    // reads every sector header, EDC and parity and the whole file system.
    const int32_t total = disc.project.layoutState.totalSectors;
    for (const Bytes* image : {&iso, &bin}) {
        const VerifyReport report = test::VerifyBytes(*image);
        EXPECT_TRUE(report.Sound()) << test::ProblemsText(report);
        EXPECT_EQ(report.format.sectorCount, total);
        EXPECT_EQ(report.directories, 5);
        EXPECT_EQ(report.files, 9);
    }
    for (int32_t f = 0; f < disc.project.fileCount(); ++f) {
        const Bytes& bytes = disc.expected.at(test::IsoPathOf(disc.project, f));
        const size_t at = static_cast<size_t>(disc.project.fileTable[f].lba) * 2048;
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), iso.begin() + at)) << f;
    }
    // A new project's system area has no sync: those raw sectors stay zero.
    EXPECT_TRUE(AllZero(bin, 0, 16 * 2352));
    // Zero data: the gap before the pinned BIG.BIN (60) around the pinned
    // directory EMPTY (45), and the window of the empty TAIL.TXT at the end.
    ASSERT_EQ(disc.project.fileTable[4].lba, 60);
    for (int32_t lba = 29; lba < 60; ++lba) EXPECT_EQ(AllZero(iso, lba * 2048, 2048), lba != 45);
    EXPECT_TRUE(AllZero(iso, (total - 1) * 2048, 2048));

    // Progress by sector and batch: TWO.BIN at 28, filler 29..44 in one
    // batch, the pinned directory at 45, filler 46..59, then BIG.BIN's 50,000
    // bytes as 20 + 4 + 1 sectors from LBA 60, THREE.BIN's 2049 bytes as 1 + 1
    // and the filler up to the volume's end, through TAIL.TXT's window at 100.
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    ASSERT_EQ(total, 101);
    const std::vector<int32_t> batches = {28, 29, 45, 46, 60, 80, 84, 85, 86, 87};
    EXPECT_TRUE(std::equal(batches.rbegin(), batches.rend(), progress.rbegin()));
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
    for (int i = 0; i < 16; ++i) {
        Bytes expected(stored.begin() + i * 2352, stored.begin() + (i + 1) * 2352);
        std::fill(expected.begin() + 24, expected.begin() + 24 + 2048, 0);
        SectorEncoder().EncodeSector(expected.data());
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), bin.begin() + i * 2352)) << i;
    }
    EXPECT_EQ(disc.project.systemArea, stored);  // prepared in a copy
    // The descriptor still gets the address of LBA 16.
    EXPECT_EQ(Bytes(bin.begin() + 16 * 2352 + 12, bin.begin() + 16 * 2352 + 15),
              Bytes({0, 2, 0x16}));
}

TEST_F(SampleDiscCompile, FailuresStopWithTheirMessage) {
    EXPECT_EQ(Compile(disc.project, out / "disc.iml").compileMessage,
              " ERROR: cannot import, violation in IML format    ");  // a directory after a file
    const auto source = [&](int file) { return *disc.project.fileTable[file].sourcePath; };
    // A missing source stops after everything before it (ONE.BIN at 27); no cue sheet.
    const std::string one = source(1);
    fs::rename(one, one + ".gone");
    EXPECT_EQ(Compile(disc.project, out / "disc.bin").compileMessage,
              "Cannot open file  " + one + " ");
    EXPECT_EQ(test::ReadBytes(out / "disc.bin").size(), 27u * 2352);
    EXPECT_FALSE(fs::exists(out / "disc.cue"));
    fs::rename(one + ".gone", one);
    const std::string nowhere = (out / "no such folder" / "disc.bin").string();
    EXPECT_EQ(Compile(disc.project, nowhere).compileMessage,
              "no es posible crear: " + nowhere + " ");
    // A folder where the cue sheet should go; the image is whole.
    fs::create_directory(out / "disc.cue");
    EXPECT_EQ(Compile(disc.project, out / "disc.bin").compileMessage,
              "Error Creating " + (out / "disc.cue").string() + "!!!! ");
    EXPECT_EQ(test::ReadBytes(out / "disc.bin").size(),
              static_cast<size_t>(disc.project.layoutState.totalSectors) * 2352);
    // A full disk under the cue sheet shows only when it is closed.
    fs::remove(out / "disc.cue");
    fs::create_symlink("/dev/full", out / "disc.cue");
    EXPECT_EQ(Compile(disc.project, out / "disc.bin").compileMessage,
              "Error Writing " + (out / "disc.cue").string() + "!!!! ");

    // A source short by whole sectors is padded with zeros (TWO.BIN, 2048
    // bytes, cut to 100); one that leaves the final sector empty fails
    // (THREE.BIN, 2049 bytes, cut to 2000).
    fs::resize_file(source(3), 100);
    ASSERT_EQ(Compile(disc.project, out / "disc.iso").compileMessage, COMPILE_SUCCESS_MESSAGE);
    EXPECT_TRUE(AllZero(test::ReadBytes(out / "disc.iso"), 28 * 2048 + 100, 2048 - 100));
    fs::resize_file(source(5), 2000);
    EXPECT_EQ(Compile(disc.project, out / "disc.iso").compileMessage,
              "Read error,incorrect filesize specified in: " + source(5));

    // The compile writes the layout of the last refresh; entries changed
    // since then no longer fit it.
    Project stale = disc.project;
    stale.fileTable[1].size = 4096;  // ONE.BIN: one sector reserved
    EXPECT_EQ(Compile(stale, out / "file.iso").compileMessage,
              "  LBA error when writting to file  " + one + " ");
    stale = disc.project;
    for (int i = 0; i < 40; ++i) test::AddDummy(stale, "PAD" + std::to_string(i) + ".BIN", 0, 0, 2);
    EXPECT_EQ(Compile(stale, out / "dir.iso").compileMessage,
              "  LBA error when writting to file  \\EMPTY ");
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

    const auto src = [&](const char* name) { return (sources / "src ").string() + name; };
    // clang-format off
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
    // clang-format on
    EXPECT_EQ(test::TextOf(out / "Disc.iml"), expected);
    fs::create_symlink("/dev/full", out / "full.iml");
    EXPECT_EQ(Compile(disc.project, out / "full.iml").compileMessage,
              "Error Writing:" + (out / "full.iml").string() + "!!!! ");
    // Columns are cut to eight characters.
    EXPECT_EQ(ImlEntryLine(123456789, 4000000000u, "x"), "12345678 40000000 2.1  0   \"x\"\n");
}

// The sample disc grown over many chunks of the writer: files of up to 343
// sectors (a .iso copies the larger ones file to file), and many small ones
// sharing chunks.
class LargeDiscCompile : public ::testing::Test {
  protected:
    void SetUp() override {
        big = disc.project.fileCount();
        std::mt19937 random(5);
        const uint32_t sizes[] = {700001, 300 * 2048, 150000};
        for (const uint32_t size : sizes) AddSource(size, random);
        for (int i = 0; i < 40; ++i) AddSource(1 + random() % 9000, random);
        RecomputeLayout(disc.project);
    }
    void AddSource(uint32_t size, std::mt19937& random) {
        Bytes bytes(size);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
        const std::string name = "L" + std::to_string(disc.project.fileCount()) + ".DAT";
        test::WriteBytes(sources / name, bytes);
        test::AddFile(disc.project, name, size, 0, (sources / name).string());
    }
    test::TempDir sources;
    test::TempDir out;
    test::SampleDisc disc = test::MakeSampleDisc(sources, false);
    int32_t big = 0;  // the first file added, 700,001 bytes
};

TEST_F(LargeDiscCompile, OneWorkerAndManyWriteTheSameImages) {
    std::map<std::string, Bytes> images;
    for (const char* name : {"disc.bin", "disc.iso", "disc.iml"}) {
        std::vector<int32_t> progress[2];
        for (const unsigned workers : {1u, 4u}) {
            // A folder each, so that no other variant's companion is there.
            const fs::path folder = out / (std::to_string(workers) + name);
            fs::create_directories(folder);
            const fs::path image = folder / name;
            // Many workers, and the image sent to the disk as it is written.
            const bool sync = workers > 1;
            const CompileState state = Compile(disc.project, image, &progress[workers / 4], workers, sync);
            ASSERT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE) << name;
            images[name + std::to_string(workers)] = test::ReadBytes(state.imagePath);
        }
        EXPECT_EQ(images[name + std::string("1")], images[name + std::string("4")]) << name;
        EXPECT_EQ(progress[0], progress[1]) << name;
        EXPECT_TRUE(std::is_sorted(progress[0].begin(), progress[0].end()));
    }
    EXPECT_EQ(test::TextOf(out / "1disc.iml" / "disc.iml"), test::TextOf(out / "4disc.iml" / "disc.iml"));
    const Bytes& bin = images["disc.bin4"];
    const Bytes& iso = images["disc.iso4"];
    for (const Bytes* image : {&iso, &bin}) EXPECT_TRUE(test::VerifyBytes(*image).Sound());
    // Every raw sector carries in its data area what the .iso has (read
    // through chunks there, copied file to file here).
    ASSERT_EQ(bin.size() / 2352, iso.size() / 2048);
    for (size_t lba = 16; lba < iso.size() / 2048; ++lba) {
        ASSERT_TRUE(std::equal(iso.begin() + lba * 2048, iso.begin() + (lba + 1) * 2048,
                               bin.begin() + lba * 2352 + 24)) << "LBA " << lba;
    }
    const Bytes& ims = images["disc.iml4"];
    EXPECT_TRUE(std::equal(ims.begin(), ims.end(), iso.begin()));
}

// A source that went missing, or shrank so that its final sector is short,
// in the middle of a file that spans chunks: everything before its first
// (or failed) sector is written, nothing after, and the message names it.
TEST_F(LargeDiscCompile, ASourceFailingMidwayStopsTheImageThere) {
    const std::string source = *disc.project.fileTable[big].sourcePath;
    const int32_t lba = disc.project.fileTable[big].lba;
    for (const int32_t sectorBytes : {2352, 2048}) {
        const fs::path image = out / (sectorBytes == 2352 ? "disc.bin" : "disc.iso");
        ASSERT_EQ(Compile(disc.project, image).compileMessage, COMPILE_SUCCESS_MESSAGE);
        const Bytes good = test::ReadBytes(image);
        const Bytes kept = test::ReadBytes(source);
        // source cut to: nothing (removed), and 300,000 bytes: 146 whole sectors and
        // then zeros, but the final partial sector (341) gets nothing
        const std::tuple<size_t, int32_t, const char*> cases[] = {
            {0, 0, "Cannot open file  %s "}, {300000, 341, "Read error,incorrect filesize specified in: %s"}};
        for (const auto& [cut, sectors, message] : cases) {
            if (cut == 0) fs::remove(source);
            else test::WriteBytes(source, Bytes(kept.begin(), kept.begin() + cut));
            EXPECT_EQ(Compile(disc.project, image, nullptr, 3).compileMessage, FormatMessage(message, source.c_str()));
            const Bytes bytes = test::ReadBytes(image);
            EXPECT_EQ(bytes.size(), static_cast<size_t>(lba + sectors) * sectorBytes) << cut;
            EXPECT_TRUE(std::equal(good.begin(), good.begin() + lba * sectorBytes, bytes.begin())) << cut;
            // The file's sectors before the failed one: its bytes, then zeros,
            // each raw one with its own address.
            for (int32_t k = 0; k < sectors; ++k) {
                const size_t at = static_cast<size_t>(lba + k) * sectorBytes;
                const size_t from = std::min<size_t>(cut, k * 2048u);
                Bytes data(kept.begin() + from, kept.begin() + std::min<size_t>(cut, from + 2048));
                data.resize(2048, 0);
                const size_t dataAt = at + (sectorBytes == 2352 ? 24 : 0);
                ASSERT_TRUE(std::equal(data.begin(), data.end(), bytes.begin() + dataAt)) << k;
                const auto address = BcdAddressOfLba(lba + k);
                if (sectorBytes == 2352) {
                    ASSERT_TRUE(std::equal(address.begin(), address.end(), bytes.begin() + at + 12)) << k;
                }
            }
            test::WriteBytes(source, kept);
        }
    }
}

TEST(ImageNaming, VariantsAndCompanionNames) {
    // chosen name, raw sectors, IML, image written, companion file
    const std::tuple<const char*, int, bool, const char*, const char*> cases[] = {
        {"/d/D.ISO", 0, false, "/d/D.ISO", "/d/D.cue"},
        {"/d/D.Iml", 0, true, "/d/D.Ims", "/d/D.iml"},
        // Without an extension of its own the companion's is appended.
        {"/games.v2/image", 1, false, "/games.v2/image", "/games.v2/image.cue"},
    };
    for (const auto& [name, raw, iml, image, companion] : cases) {
        const ImageVariant v = ChooseImageVariant(name);
        EXPECT_EQ(std::tie(v.rawSectors, v.imlMode, v.imagePath, v.outputSidecarPath),
                  std::tie(raw, iml, image, companion));
    }
}

}  // namespace
}  // namespace korvalin
