// SPDX-License-Identifier: GPL-3.0-or-later
// Raw XA files on the disc: each 2336-byte source sector becomes one Mode 2
// sector of its own form, verify passes them, the directory record says
// what they are, dump gives them back and the image compiles again to the
// same bytes; independent readers take the image.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "image/compile_image.h"
#include "image/directory_extent.h"
#include "image/image_verifier.h"
#include "image/sample_disc.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "image/tool_run.h"
#include "import/dump_disc.h"
#include "layout/precompile_check.h"
#include "layout/recompute_layout.h"
#include "model/project_file.h"
#include "model/xa_file.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

constexpr int XA_SECTORS = 12;
constexpr int NO_EDC_SECTOR = 7;  // a Form 2 sector whose EDC was not computed

// Video in Form 1 sectors with an audio sector (Form 2) every fourth, as STR files hold them.
std::vector<uint8_t> StrLikeSource() {
    std::vector<uint8_t> bytes(XA_SECTORS * XA_SOURCE_SECTOR_BYTES);
    for (int i = 0; i < XA_SECTORS; ++i) {
        uint8_t* s = &bytes[static_cast<size_t>(i) * XA_SOURCE_SECTOR_BYTES];
        const bool audio = i % 4 == 3;
        const uint8_t sub[4] = {1, uint8_t(audio ? 1 : 0), uint8_t(audio ? 0x64 : 0x42), uint8_t(audio ? 1 : 0)};
        std::memcpy(s, sub, 4);
        std::memcpy(s + 4, sub, 4);
        for (uint32_t j = 8; j < XA_SOURCE_SECTOR_BYTES; ++j) s[j] = static_cast<uint8_t>(i * 31 + j * 7);
        if (i == NO_EDC_SECTOR) std::memset(s + XA_SOURCE_SECTOR_BYTES - 4, 0, 4);
    }
    return bytes;
}

struct XaDisc {
    Project project = test::NewProject();
    std::vector<uint8_t> source = StrLikeSource();
    int32_t movie = -1;
};

// A plain file, then MOVIE.STR marked raw XA, then another plain file.
XaDisc MakeXaDisc(const test::TempDir& folder) {
    XaDisc disc;
    test::WriteBytes(folder / "a.bin", std::vector<uint8_t>(3000, 0xA5));
    test::WriteBytes(folder / "movie.str", disc.source);
    test::WriteBytes(folder / "z.bin", std::vector<uint8_t>(100, 0x5A));
    test::AddFile(disc.project, "A.BIN", 3000, 0, (folder / "a.bin").string());
    disc.movie = test::AddFile(disc.project, "MOVIE.STR", 1, 0, (folder / "movie.str").string());
    test::AddFile(disc.project, "Z.BIN", 100, 0, (folder / "z.bin").string());
    EXPECT_EQ(SetRawXa(disc.project.fileTable[disc.movie], true), "");
    return disc;
}

const uint8_t* RecordOf(const std::vector<uint8_t>& image, const std::string& identifier) {
    const auto at = std::search(image.begin(), image.end(), identifier.begin(), identifier.end());
    EXPECT_NE(at, image.end()) << identifier;
    return &*at - 33;
}

uint16_t XaAttributes(const uint8_t* record) {
    const uint8_t* xa = record + record[0] - 14;
    return static_cast<uint16_t>(xa[4] << 8 | xa[5]);
}

TEST(XaSectors, EachSourceSectorBecomesOneSectorOfItsOwnForm) {
    test::TempDir work;
    XaDisc disc = MakeXaDisc(work);
    EXPECT_EQ(disc.project.fileTable[disc.movie].size, XA_SECTORS * 2048u);
    const std::vector<uint8_t> image = test::CompileToBytes(disc.project, work / "xa.bin");
    const int32_t lba = disc.project.fileTable[disc.movie].lba;
    for (int i = 0; i < XA_SECTORS; ++i) {
        SCOPED_TRACE(i);
        const uint8_t* sector = &image[static_cast<size_t>(lba + i) * RAW_SECTOR_BYTES];
        const uint8_t* from = &disc.source[static_cast<size_t>(i) * XA_SOURCE_SECTOR_BYTES];
        const bool form2 = (from[2] & SUBMODE_FORM2) != 0;
        EXPECT_EQ(SectorEncoder::DetectMode(sector), form2 ? SECTOR_FORM2 : SECTOR_FORM1);
        // Subheader and data as the source has them; Form 1 EDC and parity are recomputed.
        EXPECT_TRUE(std::equal(from, from + (form2 ? 2332 : 2056), sector + 16));
    }
    const uint8_t* noEdc = &image[static_cast<size_t>(lba + NO_EDC_SECTOR) * RAW_SECTOR_BYTES];
    EXPECT_EQ(std::count(noEdc + FORM2_EDC_OFFSET, noEdc + RAW_SECTOR_BYTES, 0), 4);
    // The plain file after it is Form 1 data as ever, right after the last XA sector.
    const int32_t next = disc.project.fileTable[2].lba;
    EXPECT_EQ(next, lba + XA_SECTORS);
    EXPECT_EQ(image[static_cast<size_t>(next) * RAW_SECTOR_BYTES + 24], 0x5A);

    const uint8_t* movie = RecordOf(image, "MOVIE.STR;1");
    EXPECT_EQ(XaAttributes(movie), XA_RAW_FILE_ATTRIBUTES);
    EXPECT_EQ(movie[10] | movie[11] << 8 | movie[12] << 16 | movie[13] << 24, XA_SECTORS * 2048);
    EXPECT_EQ(XaAttributes(RecordOf(image, "A.BIN;1")), XA_FILE_ATTRIBUTES);

    const VerifyReport report = VerifyImage((work / "xa.cue").string(), VerifyOptions{});
    EXPECT_TRUE(report.Sound()) << (report.problems.empty() ? "" : report.problems[0].text);
    EXPECT_NE(std::find(report.notes.begin(), report.notes.end(),
                        "1 Form 2 sectors carry no EDC (the field is zero, which CD-XA allows)"),
              report.notes.end());

    // Independent readers, where installed: cd-info lists the file with its
    // size, bchunk converts the image and isoinfo reads the result.
    const std::string cue = test::ShellQuote((work / "xa.cue").string());
    if (test::Installed("cd-info")) {
        EXPECT_TRUE(test::Says(test::RunTool("cd-info --no-device-info --no-cddb --iso9660 --cue-file " + cue),
                               {"24576 Nov 29 1979 16:00:00  movie.str"}));
    }
    if (test::Installed("bchunk") && test::Installed("isoinfo")) {
        const std::string converted = test::ShellQuote((work / "conv").string());
        EXPECT_TRUE(test::Says(test::RunTool("bchunk " + test::ShellQuote((work / "xa.bin").string()) + " " + cue +
                                             " " + converted + " >/dev/null && isoinfo -l -i " + converted + "01.iso"),
                               {"24576      0 1980 [     25 00]  MOVIE.STR;1"}));
    }
}

TEST(XaSectors, OnlyARawImageTakesThemAndOnlyWholeSectorsAreTaken) {
    test::TempDir work;
    XaDisc disc = MakeXaDisc(work);
    for (const char* name : {"xa.iso", "xa.iml"}) {
        const std::string message = test::CompileMessage(disc.project, work / name);
        EXPECT_NE(message.find("only a raw image (.bin)"), std::string::npos) << message;
        EXPECT_FALSE(fs::exists(work / name));
    }
    // A source that no longer holds whole sectors is refused before compiling, by name.
    test::WriteBytes(work / "movie.str", std::vector<uint8_t>(2337, 0));
    RecomputeLayout(disc.project);
    const std::vector<std::string> messages = PreCompileCheck(disc.project);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find((work / "movie.str").string() + ": holds 2337 bytes"), std::string::npos) << messages[0];
}

// Only a disc meant to boot (SYSTEM.CNF in its root) gets the note.
TEST(XaSectors, AnEmptySystemAreaOfABootableDiscGetsANoteNamingTheEmulators) {
    test::TempDir work;
    XaDisc disc = MakeXaDisc(work);
    const auto noted = [&work](const char* image) {
        const VerifyReport report = VerifyImage((work / image).string(), VerifyOptions{});
        EXPECT_TRUE(report.Sound());
        return std::any_of(report.notes.begin(), report.notes.end(),
                           [](const std::string& n) { return n.find("DuckStation") != std::string::npos; });
    };
    test::CompileToBytes(disc.project, work / "data.bin");
    EXPECT_FALSE(noted("data.bin"));
    test::WriteText(work / "system.cnf", "BOOT = cdrom:\\MAIN.EXE;1\r\n");
    test::AddFile(disc.project, "SYSTEM.CNF", 26, 0, (work / "system.cnf").string());
    test::CompileToBytes(disc.project, work / "boot.bin");
    EXPECT_TRUE(noted("boot.bin"));
    disc.project.settings.stampSystemArea = true;
    test::CompileToBytes(disc.project, work / "stamped.bin");
    EXPECT_FALSE(noted("stamped.bin"));
}

Project DumpAndOpen(const fs::path& image, const fs::path& outDir, DumpResult& result) {
    std::string message;
    EXPECT_EQ(DumpDiscImage({image.string(), outDir.string(), "", false}, result, message), 0) << message;
    Project project;
    EXPECT_TRUE(OpenProjectFile(result.projectPath, project, CalendarTime{2030, 1, 1, 0, 0, 0}, message)) << message;
    return project;
}

// Compiled with the mark, and assembled by hand from a plain disc (a file's
// sectors rewritten as Form 2 audio, its record's attributes set).
TEST(XaSectors, DumpedXaFilesCompileBackToTheSameImage) {
    test::TempDir work;
    XaDisc disc = MakeXaDisc(work);
    const std::vector<uint8_t> compiled = test::CompileToBytes(disc.project, work / "xa.bin");

    Project plain = test::NewProject();
    test::WriteBytes(work / "music.xa", std::vector<uint8_t>(8 * 2048, 0x11));
    const int32_t music = test::AddFile(plain, "MUSIC.XA", 8 * 2048, 0, (work / "music.xa").string());
    std::vector<uint8_t> assembled = test::CompileToBytes(plain, work / "plain.bin");
    for (int i = 0; i < 8; ++i) {
        uint8_t* sector = &assembled[static_cast<size_t>(plain.fileTable[music].lba + i) * RAW_SECTOR_BYTES];
        const uint8_t sub[4] = {1, uint8_t(i % 2), uint8_t(i == 7 ? 0xE5 : 0x64), 1};
        std::memcpy(sector + 16, sub, 4);
        std::memcpy(sector + 20, sub, 4);
        for (int j = 24; j < FORM2_EDC_OFFSET; ++j) sector[j] = static_cast<uint8_t>(i + j);
        SectorEncoder().EncodeSector(sector);
        if (i == 2) std::memset(sector + FORM2_EDC_OFFSET, 0, 4);
    }
    uint8_t* record = const_cast<uint8_t*>(RecordOf(assembled, "MUSIC.XA;1"));
    record[record[0] - 14 + 4] = static_cast<uint8_t>(XA_RAW_FILE_ATTRIBUTES >> 8);
    const size_t directorySector = static_cast<size_t>(record - assembled.data()) / RAW_SECTOR_BYTES;
    SectorEncoder().EncodeSector(&assembled[directorySector * RAW_SECTOR_BYTES]);
    test::WriteBytes(work / "assembled.bin", assembled);
    test::WriteText(work / "assembled.cue", "FILE \"assembled.bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n");

    for (const auto& [name, original] :
         std::vector<std::pair<std::string, const std::vector<uint8_t>*>>{{"xa", &compiled}, {"assembled", &assembled}}) {
        SCOPED_TRACE(name);
        DumpResult result;
        Project dumped = DumpAndOpen(work / (name + ".cue"), work / (name + "-out"), result);
        EXPECT_TRUE(result.unrepresented.empty()) << result.unrepresented[0];
        const auto marked = std::find_if(dumped.fileTable.begin(), dumped.fileTable.end(),
                                         [](const FileEntry& f) { return f.rawXa; });
        ASSERT_NE(marked, dumped.fileTable.end());
        EXPECT_EQ(std::count_if(dumped.fileTable.begin(), dumped.fileTable.end(), [](const FileEntry& f) { return f.rawXa; }), 1);
        const std::vector<uint8_t> again = test::CompileToBytes(dumped, work / (name + "-again.bin"));
        ASSERT_EQ(again.size(), original->size());
        const auto differ = std::mismatch(again.begin(), again.end(), original->begin());
        EXPECT_EQ(differ.first, again.end()) << "first difference at byte " << (differ.first - again.begin());
    }
}

}  // namespace
}  // namespace korvalin
