// Files that are not sound images at all: cut short, empty, random, missing,
// damaged at random; and images made by another program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "image/tiny_image.h"
#include "test_support.h"

namespace korvalin::test {
namespace {

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
