// SPDX-License-Identifier: GPL-3.0-or-later
// A disc another tool mastered dumps with the sectors the project cannot
// generate kept beside it and compiles back byte for byte; an edit
// regenerates the structure it touches; a missing or changed side file is
// refused; a disc this program wrote keeps nothing.

#include <cstring>

#include "cli/cli_runner.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"

namespace korvalin::test {
namespace {

namespace fs = std::filesystem;

constexpr size_t ISO = 2048;

uint32_t LittleU32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

struct ForeignDisc {
    fs::path bin;
    std::vector<uint8_t> bytes;
    uint32_t firstFileLba = 0;
};

void EncodeRaw(uint8_t* sector, int32_t lba, const uint8_t* data, uint8_t submode) {
    SectorHeaderTemplate header;
    const auto address = BcdAddressOfLba(lba);
    std::copy(address.begin(), address.end(), header.bytes.begin() + 12);
    StampSectorHeader(sector, header);
    sector[18] = sector[22] = submode;
    std::memcpy(sector + USER_DATA_OFFSET, data, ISO);
    SectorEncoder().EncodeSector(sector);
}

// genisoimage's image as raw Mode 2 Form 1 sectors with a mastering tool's
// quirks: end-of-record/file marks on the descriptor terminator, bytes past
// the root directory's records, data in a padding sector no file owns;
// `broken` adds a sector of zeros without sync and three sectors past the
// volume's end.
ForeignDisc MakeForeignDisc(const fs::path& work, bool broken) {
    const fs::path tree = work / "tree";
    fs::create_directories(tree / "DATA");
    test::WriteBytes(tree / "README.TXT", std::vector<uint8_t>(3000, 'r'));
    std::vector<uint8_t> one(10000);
    for (size_t i = 0; i < one.size(); ++i) one[i] = static_cast<uint8_t>(i * 7);
    test::WriteBytes(tree / "DATA" / "ONE.BIN", one);
    const fs::path iso = work / "made.iso";
    EXPECT_EQ(std::system(("genisoimage -quiet -o " + test::ShellQuote(iso.string()) + " " +
                           test::ShellQuote(tree.string()) + " 2>/dev/null")
                              .c_str()),
              0);
    std::vector<uint8_t> plain = test::ReadBytes(iso);
    const uint8_t* pvd = plain.data() + 16 * ISO;
    const uint32_t volume = LittleU32(pvd + 80);
    const uint32_t root = LittleU32(pvd + 156 + 2);
    std::fill(plain.begin() + root * ISO + ISO - 8, plain.begin() + (root + 1) * ISO, 0x5A);
    std::fill(plain.begin() + (volume - 10) * ISO, plain.begin() + (volume - 9) * ISO, 0xA5);
    ForeignDisc disc;
    disc.bin = work / (broken ? "broken.bin" : "made.bin");
    const uint32_t trailing = broken ? 3 : 0;
    disc.bytes.assign((volume + trailing) * RAW_SECTOR_BYTES, 0);
    for (uint32_t lba = 0; lba < volume + trailing; ++lba) {
        const uint8_t* data =
            lba < volume ? plain.data() + lba * ISO : plain.data() + (volume - 10) * ISO;
        EncodeRaw(disc.bytes.data() + lba * RAW_SECTOR_BYTES, static_cast<int32_t>(lba), data,
                  lba == 17 ? 0x89 : 0x08);
    }
    if (broken) {
        std::fill_n(disc.bytes.begin() + (volume - 5) * RAW_SECTOR_BYTES, RAW_SECTOR_BYTES, 0);
        std::fill_n(disc.bytes.end() - RAW_SECTOR_BYTES, RAW_SECTOR_BYTES, 0);
    }
    test::WriteBytes(disc.bin, disc.bytes);
    disc.firstFileLba = root + 2;  // genisoimage: root, DATA, then the files
    return disc;
}

bool HaveGenisoimage() {
    return std::system("command -v genisoimage >/dev/null 2>&1") == 0;
}

// Dumps and returns the project's path.
std::string Dump(const fs::path& image, const fs::path& out) {
    const auto run = RunCli({"dump", image.string(), out.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "kept verbatim in"));
    for (const auto& entry : fs::directory_iterator(out)) {
        if (entry.path().extension() == ".krv") return entry.path().string();
    }
    return "";
}

std::vector<uint8_t> Compile(const std::string& project, const fs::path& image) {
    const auto run = RunCli({"compile", project, image.string(), "--yes", "--force", "--quiet"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    return test::ReadBytes(image);
}

// p.krv in `work` holding `data` as A.BIN, compiled by the command to `image`.
std::vector<uint8_t> CompileOneFile(const fs::path& work, const std::vector<uint8_t>& data,
                                    const char* image) {
    test::WriteBytes(work / "A.BIN", data);
    Project project = test::NewProject();
    AddFile(project, "A.BIN", static_cast<uint32_t>(data.size()), 0, (work / "A.BIN").string());
    SaveProject(work / "p.krv", project);
    return Compile((work / "p.krv").string(), work / image);
}

TEST(KeptSectors, AnotherToolsDiscCompilesBackByteForByteAlsoAfterSaveAs) {
    if (!HaveGenisoimage()) GTEST_SKIP() << "no genisoimage";
    test::TempDir work;
    for (bool broken : {false, true}) {
        SCOPED_TRACE(broken ? "with sectors past the end and without sync" : "quirks only");
        const ForeignDisc disc = MakeForeignDisc(work.path(), broken);
        const fs::path out = work / (broken ? "dumpB" : "dumpA");
        const std::string project = Dump(disc.bin, out);
        EXPECT_TRUE(Compile(project, work / "again.bin") == disc.bytes);
        const fs::path moved = work / "elsewhere" / "deeper" / "moved.krv";
        fs::create_directories(moved.parent_path());
        ASSERT_EQ(RunCli({"save-as", project, moved.string()}).status, 0);
        EXPECT_TRUE(Compile(moved.string(), work / "moved.bin") == disc.bytes);
        const auto ls = RunCli({"ls", moved.string(), "--json"});
        const auto kept = nlohmann::json::parse(ls.out).at("keptSectors");
        EXPECT_GT(kept.at("count").get<int>(), 0);
        EXPECT_EQ(fs::path(kept.at("file").get<std::string>()),
                  fs::path(project).replace_extension(".ksec"));
        // The dump's folder moves: relocate takes the side file along with the sources.
        const fs::path renamed = work / (broken ? "movedB" : "movedA");
        fs::rename(out, renamed);
        const auto relocate = RunCli({"relocate", moved.string(), out.string(), renamed.string()});
        EXPECT_TRUE(Contains(relocate.out, "kept sectors: "));
        EXPECT_TRUE(Compile(moved.string(), work / "relocated.bin") == disc.bytes);
    }
}

TEST(KeptSectors, ARenameRegeneratesTheStructureAndABadSideFileIsRefused) {
    if (!HaveGenisoimage()) GTEST_SKIP() << "no genisoimage";
    test::TempDir work;
    const ForeignDisc disc = MakeForeignDisc(work.path(), false);
    const std::string project = Dump(disc.bin, work / "dump");
    ASSERT_EQ(RunCli({"edit", project, "\\DATA", "--name", "DATB"}).status, 0);
    const std::vector<uint8_t> renamed = Compile(project, work / "renamed.bin");
    ASSERT_EQ(renamed.size(), disc.bytes.size());
    const size_t dataStart = disc.firstFileLba * RAW_SECTOR_BYTES;
    EXPECT_FALSE(std::equal(disc.bytes.begin(), disc.bytes.begin() + dataStart, renamed.begin()));
    EXPECT_TRUE(
        std::equal(disc.bytes.begin() + dataStart, disc.bytes.end(), renamed.begin() + dataStart));
    const auto verify = RunCli({"verify", (work / "renamed.bin").string()});
    EXPECT_EQ(verify.status, 0) << verify.out;
    EXPECT_TRUE(Contains(verify.out, " 0 problems"));
    const std::string text(renamed.begin(), renamed.begin() + dataStart);
    EXPECT_NE(text.find("DATB"), std::string::npos);
    EXPECT_EQ(text.find("DATA"), std::string::npos);

    // A changed side file, then a missing one, is refused by name.
    const fs::path side = fs::path(project).replace_extension(".ksec");
    std::vector<uint8_t> bytes = test::ReadBytes(side);
    bytes.back() ^= 1;
    test::WriteBytes(side, bytes);
    for (const char* damage : {"changed since it was written", "cannot be read"}) {
        SCOPED_TRACE(damage);
        const auto check = RunCli({"check", project});
        EXPECT_EQ(check.status, 1);
        EXPECT_TRUE(Contains(check.out, "kept sectors: " + side.string() + ": " + damage));
        const auto compile =
            RunCli({"compile", project, (work / "x.bin").string(), "--yes", "--force"});
        EXPECT_EQ(compile.status, 1);
        EXPECT_TRUE(Contains(compile.out + compile.err, side.string()));
        fs::remove(side);
    }
}

TEST(KeptSectors, ADiscThisProgramWroteKeepsNothing) {
    test::TempDir work;
    CompileOneFile(work.path(), std::vector<uint8_t>(5000, 0x11), "game.bin");
    const auto run = RunCli({"dump", (work / "game.bin").string(), (work / "out").string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.find("kept"), std::string::npos) << run.out;
    for (const auto& entry : fs::directory_iterator(work / "out"))
        EXPECT_NE(entry.path().extension(), ".ksec");
}

// A 2048-byte image: a compile copies a large file's sectors file to file,
// yet the dump's comparison sees them (an edited one matches its extracted
// file) and keeps just the sectors past the volume's end.
TEST(KeptSectors, AnIsoWithALargeFileKeepsOnlyWhatLiesPastItsEnd) {
    test::TempDir work;
    std::vector<uint8_t> data(300000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + i / 2048);
    std::vector<uint8_t> disc = CompileOneFile(work.path(), data, "game.iso");
    size_t fileStart = 0;
    while (fileStart + ISO <= disc.size() &&
           std::memcmp(disc.data() + fileStart, data.data(), ISO) != 0) {
        fileStart += ISO;
    }
    ASSERT_LT(fileStart + data.size(), disc.size());
    disc[fileStart + 100 * ISO + 5] ^= 0xFF;
    disc.insert(disc.end(), 2 * ISO, 0x5A);
    test::WriteBytes(work / "changed.iso", disc);
    const auto run = RunCli({"dump", (work / "changed.iso").string(), (work / "out").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "2 sectors the project cannot generate kept")) << run.out;
    EXPECT_EQ(Compile((work / "out" / "NEW.krv").string(), work / "back.iso"), disc);
}

}  // namespace
}  // namespace korvalin::test
