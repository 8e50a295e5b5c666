// The sector-level checks of raw images: each damaged byte is reported at
// the LBA of its sector, and the allowed exceptions are not reported.

#include <gtest/gtest.h>

#include <cstring>

#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "image/tiny_image.h"

namespace korvalin::test {
namespace {

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

// The Mode 1 EDC, bit by bit, over sync, header and user data.
uint32_t Mode1Edc(const uint8_t* sector) {
    uint32_t crc = 0;
    for (int i = 0; i < 2064; ++i) {
        crc ^= sector[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xD8018001u : 0);
    }
    return crc;
}

TEST(RawSectorVerify, Form2AndMode1SectorsAreNotedAndTheirEdcChecked) {
    std::vector<uint8_t> raw = BuildTinyImage().Raw();
    uint8_t* form2 = raw.data() + RawOffset(FILE_SECTOR, 0);
    form2[18] = form2[22] = 0x28;  // Form 2 data, without its optional EDC
    std::memset(form2 + FORM2_EDC_OFFSET, 0, 4);
    uint8_t* mode1 = raw.data() + RawOffset(FILE_SECTOR + 1, 0);
    mode1[15] = 1;
    std::memmove(mode1 + 16, mode1 + 24, 2048);  // Mode 1 user data follow the header
    std::memset(mode1 + 2064, 0, 2352 - 2064);
    const uint32_t edc = Mode1Edc(mode1);
    for (int i = 0; i < 4; ++i) mode1[2064 + i] = static_cast<uint8_t>(edc >> (8 * i));
    const VerifyReport report = VerifyBytes(raw);
    EXPECT_TRUE(report.Sound()) << ProblemsText(report);
    ASSERT_EQ(report.notes.size(), 2u);
    EXPECT_NE(report.notes[0].find("1 Form 2 sectors carry no EDC"), std::string::npos);
    EXPECT_NE(report.notes[1].find("1 Mode 1 sectors"), std::string::npos);

    mode1[12] ^= 0x01;  // the header is covered too
    EXPECT_TRUE(OnlyAt(VerifyBytes(raw), FILE_SECTOR + 1, "Mode 1 EDC"));
    mode1[12] ^= 0x01;
    SectorEncoder().EncodeSector(form2);
    form2[2300] ^= 0xFF;  // Form 2 user data reach up to the EDC
    EXPECT_TRUE(OnlyAt(VerifyBytes(raw), FILE_SECTOR, "Form 2 EDC"));
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

}  // namespace
}  // namespace korvalin::test
