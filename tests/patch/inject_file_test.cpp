// SPDX-License-Identifier: GPL-3.0-or-later
// Injecting files into compiled images: the data read back by isoinfo and
// by the program's own dump, the image still sound, a same-size file
// giving the image a compile of the new file gives, a larger file refused
// with the image unchanged, and a folder tree injected by its paths.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "disc/disc_image.h"
#include "disc/iso_tree.h"
#include "image/image_verifier.h"
#include "image/sector_encoder.h"
#include "import/dump_disc.h"
#include "patch/inject_file.h"
#include "patch_fixture.h"

namespace korvalin::test {
namespace {

using InjectTest = PatchFixture;

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

// What `isoinfo -x` extracts; empty when isoinfo is missing.
std::vector<uint8_t> IsoinfoExtract(const std::string& image, const std::string& isoPath, bool& ran) {
    std::vector<uint8_t> out;
    const std::string command = "isoinfo -i " + ShellQuote(image) + " -x " + ShellQuote(isoPath) + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.insert(out.end(), buffer, buffer + n);
    ran = ::pclose(pipe) == 0;
    return out;
}

// A file as the program's own dump extracts it: the raw image's counterpart of isoinfo.
std::vector<uint8_t> DumpedFile(const std::string& image, const std::string& isoPath, const TempDir& dir) {
    std::filesystem::remove_all(dir / "dumped");
    DumpResult result;
    std::string message;
    EXPECT_EQ(DumpDiscImage({image, (dir / "dumped").string(), "", false}, result, message), 0) << message;
    return ReadBytes(dir / "dumped" / DUMP_FILES_FOLDER / isoPath.substr(1, isoPath.size() - 3));
}

bool Inject(const std::string& image, const std::string& discPath, const std::vector<uint8_t>& bytes,
            const TempDir& dir, std::string& message) {
    WriteBytes(dir / "new.bin", bytes);
    InjectReport report;
    return InjectFile(image, discPath, (dir / "new.bin").string(), report, message);
}

TEST_F(InjectTest, SameSizeAndSmallerFilesReadBackInBothFormats) {
    const bool haveIsoinfo = std::system("command -v isoinfo >/dev/null") == 0;
    for (const std::string& image : {Bin(), Iso()}) {
        const std::pair<const char*, std::vector<uint8_t>> cases[] = {
            {"/DATA/SUB/TWO.BIN;1", RandomBytes(2048, 1)},
            {"/DATA/BIG.BIN;1", RandomBytes(30001, 2)},   // 15 of its 25 sectors
            {"/SYSTEM.CNF;1", RandomBytes(3, 3)},
        };
        for (const auto& [isoPath, bytes] : cases) {
            std::string message;
            ASSERT_TRUE(Inject(image, isoPath, bytes, dir, message)) << message;
            EXPECT_EQ(DumpedFile(image, isoPath, dir), bytes) << image << " " << isoPath;
            bool ran = false;
            if (haveIsoinfo && image == Iso()) {
                EXPECT_TRUE(IsoinfoExtract(image, isoPath, ran) == bytes && ran) << isoPath;
            }
        }
        const VerifyReport verified = VerifyImage(image, {});
        EXPECT_TRUE(verified.Sound()) << image << ": " << verified.problemCount << " problems";
    }
}

TEST_F(InjectTest, ASameSizeFileGivesTheImageACompileOfItGives) {
    const std::vector<uint8_t> bytes = RandomBytes(2049, 4);
    std::string message;
    ASSERT_TRUE(Inject(Bin(), "\\data\\sub\\deep\\three.bin", bytes, dir, message)) << message;
    for (EntryRecord& file : disc.project.fileTable) {
        if (file.Name() == "THREE.BIN") file.sourcePath = (dir / "new.bin").string();
    }
    CompileState state;
    state.imagePath = (dir / "again.bin").string();
    CompileImage(disc.project, state);
    ASSERT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE);
    EXPECT_EQ(ReadBytes(Bin()), ReadBytes(dir / "again.bin"));
}

TEST_F(InjectTest, XaDataOfTheSameSectorCountGoIntoAForm2File) {
    // THREE.BIN (2 sectors) recorded as a Form 2 file.
    std::vector<uint8_t> image = original;
    const std::string name = "THREE.BIN;1";
    const auto at = std::search(image.begin(), image.end(), name.begin(), name.end()) - image.begin();
    const size_t record = static_cast<size_t>(at) - 33;
    uint8_t* attributes = &image[record + SystemUseOffset(11) + 4];
    attributes[0] = static_cast<uint8_t>((attributes[0] & ~(XA_ATTR_FORM1 >> 8)) | (XA_ATTR_FORM2 >> 8));  // big-endian
    const size_t sector = record / RAW_SECTOR_BYTES * RAW_SECTOR_BYTES;
    SectorEncoder().EncodeSector(&image[sector]);
    WriteBytes(Bin(), image);

    std::vector<uint8_t> xa = RandomBytes(2 * MODE2_SECTOR_BYTES, 9);
    for (size_t s = 0; s < 2; ++s) std::copy_n(Hex("01 02 20 00 01 02 20 00").begin(), 8, xa.begin() + s * MODE2_SECTOR_BYTES);
    std::fill_n(xa.end() - 4, 4, 0);  // the second sector without EDC
    std::string message;
    EXPECT_FALSE(Inject(Bin(), "\\DATA\\SUB\\DEEP\\THREE.BIN", RandomBytes(4097, 1), dir, message));
    EXPECT_NE(message.find("inject a file of 4672 bytes"), std::string::npos) << message;
    ASSERT_TRUE(Inject(Bin(), "\\DATA\\SUB\\DEEP\\THREE.BIN", xa, dir, message)) << message;

    DiscImage disc;
    ASSERT_TRUE(OpenDiscImage(Bin(), disc, message));
    ImageReader reader(*disc.source, disc.format);
    std::vector<uint8_t> read;
    ASSERT_TRUE(reader.ReadXaSectors(LbaOf("/DATA/SUB/DEEP/THREE.BIN;1"), 2, read));
    EXPECT_TRUE(std::equal(xa.begin(), xa.begin() + MODE2_SECTOR_BYTES - 4, read.begin()));
    EXPECT_TRUE(std::equal(xa.begin() + MODE2_SECTOR_BYTES, xa.end(), read.begin() + MODE2_SECTOR_BYTES));
    const VerifyReport verified = VerifyImage(Bin(), {});
    EXPECT_TRUE(verified.Sound()) << verified.problemCount << " problems";
}

TEST_F(InjectTest, RefusalsSayWhyAndLeaveTheImageAsItWas) {
    const std::tuple<const char*, size_t, const char*> cases[] = {
        {"/DATA/BIG.BIN", 60000, "needs 30 sectors, but \\DATA\\BIG.BIN has 25 on the disc: 5 sectors are missing"},
        {"/DATA/EMPTY.TXT", 1, "1 sector is missing"},
        {"/DATA/NONE.BIN", 1, "is not a file on"},
        {"/DATA", 1, "is not a file on"},
    };
    for (const auto& [discPath, size, text] : cases) {
        std::string message;
        EXPECT_FALSE(Inject(Bin(), discPath, RandomBytes(size, 5), dir, message));
        EXPECT_NE(message.find(text), std::string::npos) << message;
    }
    EXPECT_EQ(ReadBytes(Bin()), original);
}

TEST_F(InjectTest, AllFromInjectsTheFilesFoundOnTheDiscAndListsTheRest) {
    const TempDir tree;
    const std::vector<uint8_t> two = RandomBytes(100, 6), cnf = RandomBytes(60, 7);
    WriteBytes(tree / "data/sub/two.bin", two);
    WriteBytes(tree / "SYSTEM.CNF", cnf);
    WriteBytes(tree / "data/extra.txt", {1});
    InjectReport report;
    std::string message;
    ASSERT_TRUE(InjectFolder(Iso(), tree.path().string(), report, message)) << message;
    ASSERT_EQ(report.injected.size(), 2u);
    EXPECT_EQ(report.injected[0].discPath, "\\SYSTEM.CNF");
    EXPECT_EQ(report.injected[1].discPath, "\\DATA\\SUB\\TWO.BIN");
    ASSERT_EQ(report.skipped.size(), 1u);
    EXPECT_NE(report.skipped[0].find("extra.txt: no such file on the disc"), std::string::npos);
    bool ran = false;
    if (std::system("command -v isoinfo >/dev/null") == 0) {
        EXPECT_EQ(IsoinfoExtract(Iso(), "/DATA/SUB/TWO.BIN;1", ran), two);
    }
}

}  // namespace
}  // namespace korvalin::test
