// SPDX-License-Identifier: GPL-3.0-or-later
// A disc with what another mastering tool records (dates to the second with
// their own GMT offsets, a hidden file, CD-XA fields of its own, a directory
// larger than its records need, descriptor texts and dates) dumps into a
// project that compiles back to the same bytes; edits give the kept facts up
// where they must.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "image/compile_image.h"
#include "image/image_verifier.h"
#include "image/sample_disc.h"
#include "image/sector_encoder.h"
#include "import/dump_disc.h"
#include "layout/recompute_layout.h"
#include "image/system_area_sectors.h"
#include "model/project_file.h"
#include "model/xa_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

uint8_t* UserData(Bytes& image, int64_t lba) { return image.data() + lba * RAW_SECTOR_BYTES + 24; }

// The record with this identifier in the directory sector at `lba`.
uint8_t* RecordIn(Bytes& image, int64_t lba, const std::string& identifier) {
    uint8_t* d = UserData(image, lba);
    for (size_t at = 0; at < 2048 && d[at] != 0; at += d[at]) {
        if (size_t{d[at + 32]} == identifier.size() && std::memcmp(d + at + 33, identifier.data(), identifier.size()) == 0) {
            return d + at;
        }
    }
    ADD_FAILURE() << identifier;
    static uint8_t spare[256];
    return spare;
}

void PutDate(uint8_t* record, const RecordDateBytes& date) { std::memcpy(record + 18, date.data(), 7); }

// 4096 in both byte orders: a record's extent size.
void Put4096(uint8_t* out) { std::memcpy(out, "\x00\x10\x00\x00\x00\x00\x10\x00", 8); }

void PutText(uint8_t* out, const std::string& text, size_t width) {
    std::memset(out, ' ', width);
    std::memcpy(out, text.data(), text.size());
}

const RecordDateBytes ODD_DATE{99, 12, 31, 23, 59, 59, 0xEC};  // -5:00
const RecordDateBytes LEAP_DATE{100, 2, 29, 12, 0, 1, 0};
const RecordDateBytes SELF_DATE{96, 5, 6, 7, 8, 9, 0x1C};

struct Disc {
    Project project;
    int32_t rootLba = 0;
    int32_t subLba = 0;
};

// SYSTEM.CNF and HIDDEN.DAT in the root, SUB with XA.STR and A.BIN; every
// file two sectors later than packed, so SUB can take a second sector.
Disc MakeDisc(const test::TempDir& work) {
    Disc disc{test::NewProject()};
    Project& p = disc.project;
    const int32_t sub = test::AddDir(p, "SUB");
    const std::pair<const char*, int32_t> files[] = {{"SYSTEM.CNF", 0}, {"HIDDEN.DAT", 0}, {"XA.STR", sub}, {"A.BIN", sub}};
    for (const auto& [name, parent] : files) {
        const Bytes bytes(3000, static_cast<uint8_t>(name[0]));
        test::WriteBytes(work / name, bytes);
        test::AddFile(p, name, 3000, parent, (work / name).string());
    }
    RecomputeLayout(p);
    for (FileEntry& f : p.fileTable) test::Pin(f, f.lba + 2);
    RecomputeLayout(p);
    disc.rootLba = p.dirTable[0].lba;
    disc.subLba = p.dirTable[static_cast<size_t>(sub)].lba;
    return disc;
}

// The compiled disc as another tool might have written it.
Bytes Patched(Bytes image, const Disc& disc) {
    uint8_t* pvd = UserData(image, 16);
    PutText(pvd + 8, "PLAYSTATION X", 32);
    PutText(pvd + 190, "SET", 128);
    PutText(pvd + 318, "KORVALIN TESTS", 128);
    PutText(pvd + 574, "PSX APP", 128);
    PutText(pvd + 702, "COPY.TXT;1", 37);
    std::memcpy(pvd + 830, "2001020304050607\xF0", 17);
    pvd[156 + 18 + 6] = 0;  // the root record's GMT offset
    uint8_t* root = UserData(image, disc.rootLba);
    PutDate(root, SELF_DATE);
    RecordIn(image, disc.rootLba, "HIDDEN.DAT;1")[25] |= 0x01;
    Put4096(RecordIn(image, disc.rootLba, "SUB") + 10);
    PutDate(RecordIn(image, disc.rootLba, "SYSTEM.CNF;1"), ODD_DATE);
    Put4096(UserData(image, disc.subLba) + 10);
    PutDate(UserData(image, disc.subLba) + 34 + 14, SELF_DATE);  // ".."
    uint8_t* xa = RecordIn(image, disc.subLba, "XA.STR;1");
    const uint8_t field[14] = {0, 1, 0, 2, 0x0D, 0x55, 'X', 'A', 1, 0, 0, 0, 0, 0};
    std::memcpy(xa + xa[0] - 14, field, 14);
    PutDate(RecordIn(image, disc.subLba, "A.BIN;1"), LEAP_DATE);
    for (int64_t lba : {int64_t{16}, int64_t{disc.rootLba}, int64_t{disc.subLba}}) {
        SectorEncoder().EncodeSector(image.data() + lba * RAW_SECTOR_BYTES);
    }
    return image;
}

Project Dump(const fs::path& cue, const fs::path& outDir, DumpResult& result) {
    std::string message;
    EXPECT_EQ(DumpDiscImage({cue.string(), outDir.string(), "", false}, result, message), 0) << message;
    Project project;
    EXPECT_TRUE(OpenProjectFile(result.projectPath, project, CalendarTime{2030, 1, 1}, message)) << message;
    return project;
}

bool HasFacts(const Project& p) {
    const auto kept = [](const EntryRecord& e) { return !e.discFacts.Empty(); };
    return std::any_of(p.dirTable.begin(), p.dirTable.end(), kept) ||
           std::any_of(p.fileTable.begin(), p.fileTable.end(), kept) || !p.volumeTexts.Empty();
}

TEST(DumpMetadata, ADiscWithItsOwnMetadataDumpsAndCompilesToTheSameBytes) {
    test::TempDir work;
    Disc disc = MakeDisc(work);
    const Bytes plain = test::CompileToBytes(disc.project, work / "disc.bin");
    DumpResult result;
    EXPECT_FALSE(HasFacts(Dump(work / "disc.cue", work / "plain", result)));

    const Bytes patched = Patched(plain, disc);
    ASSERT_NE(patched, plain);
    test::WriteBytes(work / "disc.bin", patched);
    Project dumped = Dump(work / "disc.cue", work / "out", result);
    EXPECT_TRUE(result.unrepresented.empty()) << result.unrepresented.front();
    EXPECT_TRUE(test::CompileToBytes(dumped, work / "again.bin") == patched);

    // Renamed, A.BIN keeps its date; SYSTEM.CNF's edited date and the edited
    // volume date replace the kept ones.
    dumped.fileTable[3].SetName("B.BIN");
    dumped.fileTable[0].dosTime ^= 1;
    dumped.volumeInfo.second ^= 1;
    Bytes edited = test::CompileToBytes(dumped, work / "edited.bin");
    EXPECT_EQ(std::memcmp(RecordIn(edited, disc.subLba, "B.BIN;1") + 18, LEAP_DATE.data(), 7), 0);
    EXPECT_EQ(RecordIn(edited, disc.rootLba, "SYSTEM.CNF;1")[24], 36);
    EXPECT_EQ(std::memcmp(UserData(edited, 16) + 830, UserData(edited, 16) + 813, 17), 0);
    EXPECT_EQ(std::memcmp(UserData(edited, 16) + 318, "KORVALIN TESTS ", 15), 0);
    EXPECT_EQ(RecordIn(edited, disc.rootLba, "HIDDEN.DAT;1")[25], 0x01);
    EXPECT_EQ(RecordIn(edited, disc.rootLba, "SUB")[10], 0x00);
    EXPECT_EQ(RecordIn(edited, disc.rootLba, "SUB")[11], 0x10);  // still 4096 bytes
}

// What a rebuild must keep all at once: a license in sectors 0-15, an STR
// file of Form 1 and Form 2 sectors, the disc's own metadata, and bytes
// another tool left after the root directory's records.
TEST(DumpMetadata, ALicensedDiscWithAnXaFileAndForeignBytesRebuildsByteForByte) {
    test::TempDir work;
    Disc disc = MakeDisc(work);
    Project& p = disc.project;
    Bytes str(2 * XA_SOURCE_SECTOR_BYTES);
    for (size_t i = 0; i < str.size(); ++i) str[i] = static_cast<uint8_t>(i * 13);
    const uint8_t video[4] = {1, 0, 0x08, 0}, audio[4] = {1, 1, 0x64, 1};  // Form 1, then Form 2
    for (int s = 0; s < 2; ++s) {
        uint8_t* sub = &str[static_cast<size_t>(s) * XA_SOURCE_SECTOR_BYTES];
        std::memcpy(sub, s == 0 ? video : audio, 4);
        std::memcpy(sub + 4, s == 0 ? video : audio, 4);
    }
    test::WriteBytes(work / "xa.str", str);
    FileEntry& movie = p.fileTable[2];
    movie.sourcePath = (work / "xa.str").string();
    ASSERT_EQ(SetRawXa(movie, true), "");
    for (int32_t i = 0; i < SYSTEM_AREA_SECTORS; ++i) {
        uint8_t* sector = p.systemArea.data() + size_t(i) * RAW_SECTOR_SIZE;
        MakeEmptyRawSector(i, sector);
        std::memcpy(sector + 24, "          Licensed  by          Sony Computer Entertainment Inc.", 64);
        SectorEncoder().EncodeSector(sector);
    }
    p.settings.keepSystemArea = true;
    RecomputeLayout(p);

    Bytes image = Patched(test::CompileToBytes(p, work / "disc.bin"), disc);
    std::memcpy(UserData(image, disc.rootLba) + 2040, "TOOL 1.0", 8);
    SectorEncoder().EncodeSector(image.data() + int64_t{disc.rootLba} * RAW_SECTOR_BYTES);
    test::WriteBytes(work / "disc.bin", image);
    const VerifyReport report = VerifyImage((work / "disc.bin").string(), {});
    EXPECT_TRUE(report.Sound()) << (report.problems.empty() ? report.openError : report.problems.front().text);

    DumpResult result;
    Project dumped = Dump(work / "disc.cue", work / "out", result);
    EXPECT_TRUE(dumped.fileTable[2].rawXa);
    EXPECT_TRUE(dumped.settings.keepSystemArea);
    EXPECT_TRUE(test::CompileToBytes(dumped, work / "again.bin") == image);
}

}  // namespace
}  // namespace korvalin
