// SPDX-License-Identifier: GPL-3.0-or-later
// Discs made by other tools (genisoimage, xorriso; and a raw image wrapped
// around one) dump to a project whose files lie at the LBAs isoinfo reports,
// with the same bytes; isoinfo lists the rebuilt image with the same tree.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <tuple>

#include "image/compile_image.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "import/dump_disc.h"
#include "layout/recompute_layout.h"
#include "model/disc_path.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using test::ShellQuote;

bool Installed(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return out;
    std::array<char, 4096> buffer;
    for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) out.append(buffer.data(), n);
    ::pclose(pipe);
    return out;
}

// (path, size, LBA) of every file isoinfo -l lists, e.g. ("/GAME/BIG.BIN", 300000, 27).
using Listed = std::set<std::tuple<std::string, uint64_t, uint64_t>>;
Listed IsoinfoFiles(const fs::path& image) {
    Listed files;
    std::istringstream lines(Run("isoinfo -l -i " + ShellQuote(image.string())));
    std::string line, dir;
    while (std::getline(lines, line)) {
        if (line.rfind("Directory listing of ", 0) == 0) dir = line.substr(21);
        const size_t open = line.find('[');
        if (line.empty() || line[0] != '-' || open == std::string::npos) continue;
        std::istringstream fields(line.substr(0, open));
        std::string skip, size;
        for (int i = 0; i < 4; ++i) fields >> skip;
        fields >> size;
        std::string name = line.substr(line.find(']') + 3);
        name = name.substr(0, name.find(";1"));
        files.emplace(dir + name, std::stoull(size), std::stoull(line.substr(open + 1)));
    }
    return files;
}

Listed ProjectFiles(const Project& project) {
    Listed files;
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        std::string path = DiscPathOfEntry(project, FileId(f));
        for (char& c : path) c = c == '\\' ? '/' : c;
        files.emplace(path, project.fileTable[f].size, static_cast<uint64_t>(project.fileTable[f].lba));
    }
    return files;
}

// The 2048-byte sectors as raw Mode 2 Form 1 sectors, as a PlayStation disc holds them.
void WrapAsRaw(const fs::path& iso, const fs::path& bin) {
    const std::vector<uint8_t> plain = test::ReadBytes(iso);
    std::vector<uint8_t> raw(plain.size() / 2048 * RAW_SECTOR_BYTES);
    SectorHeaderTemplate header;
    for (size_t lba = 0; lba < plain.size() / 2048; ++lba) {
        uint8_t* sector = raw.data() + lba * RAW_SECTOR_BYTES;
        StampSectorHeader(sector, header);
        std::memcpy(sector + USER_DATA_OFFSET, plain.data() + lba * 2048, 2048);
        SectorEncoder().EncodeSector(sector);
    }
    test::WriteBytes(bin, raw);
}

TEST(ForeignDisc, OtherToolsImagesDumpToTheirLbasAndBytesAndRebuildTheSameTree) {
    if (!Installed("genisoimage") || !Installed("isoinfo")) GTEST_SKIP() << "no genisoimage or isoinfo";
    test::TempDir work;
    const fs::path tree = work / "tree";
    test::WriteText(tree / "SYSTEM.CNF", "BOOT = cdrom:\\SLUS_000.01;1\r\n");
    std::vector<uint8_t> big(300000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7 + i / 4096);
    test::WriteBytes(tree / "GAME" / "BIG.BIN", big);
    test::WriteText(tree / "GAME" / "DATA" / "DEEP" / "NOTE.TXT", "deep");
    for (int i = 0; i < 70; ++i) test::WriteText(tree / "SOUND" / ("T" + std::to_string(i) + ".VAG"), std::to_string(i));
    std::vector<std::string> makers = {"genisoimage -quiet -o"};
    if (Installed("xorriso")) makers.push_back("xorriso -as mkisofs -quiet -o");
    for (const std::string& maker : makers) {
        SCOPED_TRACE(maker);
        const fs::path iso = work / "made.iso";
        ASSERT_EQ(std::system((maker + " " + ShellQuote(iso.string()) + " " + ShellQuote(tree.string())).c_str()), 0);
        WrapAsRaw(iso, work / "made.bin");
        const Listed listed = IsoinfoFiles(iso);
        ASSERT_EQ(listed.size(), 73u);
        for (const char* image : {"made.iso", "made.bin"}) {
            SCOPED_TRACE(image);
            const fs::path out = work / "out";
            DumpResult result;
            std::string message;
            ASSERT_EQ(DumpDiscImage({(work / image).string(), out.string(), "", false}, result, message), 0) << message;
            EXPECT_EQ(test::ReadBytes(out / "files" / "GAME" / "BIG.BIN"), big);
            Project project;
            ASSERT_TRUE(OpenProjectFile(result.projectPath, project, CalendarTime{2030, 1, 1, 0, 0, 0}, message));
            EXPECT_EQ(ProjectFiles(project), listed);
            RecomputeLayout(project);
            CompileState state;
            state.imagePath = (work / "rebuilt.iso").string();
            CompileImage(project, state);
            ASSERT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE);
            EXPECT_EQ(IsoinfoFiles(work / "rebuilt.iso"), listed);
            fs::remove_all(out);
        }
    }
}

}  // namespace
}  // namespace korvalin
