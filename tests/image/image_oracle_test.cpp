// The sample disc read by Debian's independent readers: isoinfo
// (genisoimage), cd-info (libcdio-utils), bchunk and pycdlib. A test whose
// reader is not installed is skipped.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "image/compile_image.h"
#include "image/sample_disc.h"
#include "model/message_format.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

using test::ShellQuote;

struct ToolRun {
    int status = -1;
    std::string out;
};

ToolRun RunTool(const std::string& command) {
    ToolRun run;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    run.status = ::pclose(pipe);
    return run;
}

bool Installed(const std::string& tool) {
    return RunTool("command -v " + tool).status == 0;
}

class OracleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"disc.bin", "disc.iso"}) {
            CompileState state;
            state.imagePath = (out / name).string();
            CompileImage(disc.project, state);
            ASSERT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE) << name;
        }
    }
    std::string Iso() const { return (out / "disc.iso").string(); }

    test::TempDir sources;
    test::TempDir out;
    test::SampleDisc disc = test::MakeSampleDisc(sources, true);
};

TEST_F(OracleTest, IsoinfoSeesTheVolumeAndExtractsEveryFile) {
    if (!Installed("isoinfo")) GTEST_SKIP() << "isoinfo (genisoimage) is not installed";
    const ToolRun info = RunTool("isoinfo -d -i " + ShellQuote(Iso()));
    ASSERT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("System id: PLAYSTATION"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Volume id: NEW"), std::string::npos) << info.out;
    EXPECT_NE(
        info.out.find("Volume size is: " + std::to_string(disc.project.layoutState.totalSectors)),
        std::string::npos)
        << info.out;

    const ToolRun listing = RunTool("isoinfo -l -i " + ShellQuote(Iso()));
    ASSERT_EQ(listing.status, 0);
    for (const auto& [path, bytes] : disc.expected) {
        const std::string name = path.substr(path.rfind('/') + 1);
        EXPECT_NE(listing.out.find(name), std::string::npos) << name;
        const ToolRun extracted =
            RunTool("isoinfo -i " + ShellQuote(Iso()) + " -x " + ShellQuote(path));
        ASSERT_EQ(extracted.status, 0) << path;
        EXPECT_EQ(extracted.out, std::string(bytes.begin(), bytes.end())) << path;
    }
}

TEST_F(OracleTest, CdInfoReadsTheCueSheetAndTheFileSystem) {
    if (!Installed("cd-info")) GTEST_SKIP() << "cd-info (libcdio-utils) is not installed";
    const ToolRun info = RunTool("cd-info --no-device-info --no-cddb --cue-file " +
                                 ShellQuote((out / "disc.cue").string()));
    ASSERT_EQ(info.status, 0) << info.out;
    EXPECT_NE(info.out.find("CD DATA (Mode 2)"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("  1: 00:02:00  000000 XA"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("ISO 9660: " + std::to_string(disc.project.layoutState.totalSectors) +
                            " blocks"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("System     : PLAYSTATION"), std::string::npos) << info.out;
}

TEST_F(OracleTest, BchunkTurnsTheRawImageIntoTheIsoVariant) {
    if (!Installed("bchunk")) GTEST_SKIP() << "bchunk is not installed";
    const std::string base = (out / "converted").string();
    ASSERT_EQ(RunTool("bchunk " + ShellQuote((out / "disc.bin").string()) + " " +
                      ShellQuote((out / "disc.cue").string()) + " " + ShellQuote(base))
                  .status,
              0);
    EXPECT_EQ(test::ReadBytes(base + "01.iso"), test::ReadBytes(Iso()));
}

TEST_F(OracleTest, PycdlibWalksTheTreeAndReadsEveryFile) {
    std::string python = "python3";
    if (RunTool(python + " -c 'import pycdlib'").status != 0) python = "/usr/bin/python3";
    if (RunTool(python + " -c 'import pycdlib'").status != 0) GTEST_SKIP() << "no pycdlib";
    const fs::path script = out / "walk.py";
    test::WriteText(script,
                    "import io, sys, pycdlib\n"
                    "iso = pycdlib.PyCdlib()\n"
                    "iso.open(sys.argv[1])\n"
                    "for root, dirs, files in iso.walk(iso_path='/'):\n"
                    "    for f in files:\n"
                    "        path = root.rstrip('/') + '/' + f\n"
                    "        data = io.BytesIO()\n"
                    "        iso.get_file_from_iso_fp(data, iso_path=path)\n"
                    "        print(path, data.getvalue().hex())\n"
                    "iso.close()\n");
    const ToolRun walk =
        RunTool(python + " " + ShellQuote(script.string()) + " " + ShellQuote(Iso()));
    ASSERT_EQ(walk.status, 0) << walk.out;
    std::map<std::string, std::string> seen;  // path -> hex of its bytes
    std::istringstream lines(walk.out);
    for (std::string line; std::getline(lines, line);) {
        seen[line.substr(0, line.find(' '))] = line.substr(line.find(' ') + 1);
    }
    ASSERT_EQ(seen.size(), disc.expected.size()) << walk.out;
    for (const auto& [path, bytes] : disc.expected) {
        std::string hex;
        for (uint8_t b : bytes) hex += FormatMessage("%02x", b);
        EXPECT_EQ(seen[path], hex) << path;
    }
}

}  // namespace
}  // namespace korvalin
