// SPDX-License-Identifier: GPL-3.0-or-later
// The sample disc read by Debian's independent readers: isoinfo, cd-info
// (libcdio-utils), bchunk and pycdlib. A test whose
// reader is not installed is skipped.

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "image/compile_image.h"
#include "image/sample_disc.h"
#include "image/system_area_file.h"
#include "image/tool_run.h"
#include "model/message_format.h"

namespace korvalin {
namespace {

using test::Installed;
using test::RunTool;
using test::Says;
using test::ShellQuote;
using test::ToolRun;

class OracleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"disc.bin", "disc.iso"}) {
            ASSERT_EQ(test::CompileMessage(disc.project, out / name), COMPILE_SUCCESS_MESSAGE) << name;
        }
    }
    std::string Out(const char* name) const { return ShellQuote((out / name).string()); }
    std::string Total() const { return std::to_string(disc.project.layoutState.totalSectors); }

    test::TempDir sources;
    test::TempDir out;
    test::SampleDisc disc = test::MakeSampleDisc(sources, true);
};

TEST_F(OracleTest, CdInfoReadsTheCueSheetAndTheFileSystem) {
    if (!Installed("cd-info")) GTEST_SKIP() << "no cd-info";
    EXPECT_TRUE(Says(RunTool("cd-info --no-device-info --no-cddb --cue-file " + Out("disc.cue")),
                     {"CD DATA (Mode 2)", "  1: 00:02:00  000000 XA",
                      "ISO 9660: " + Total() + " blocks", "System     : PLAYSTATION"}));
}

// Plain, and again with a kept license in the stamped system area.
TEST_F(OracleTest, BchunkTurnsTheRawImageIntoTheIsoVariant) {
    if (!Installed("bchunk")) GTEST_SKIP() << "no bchunk";
    std::vector<uint8_t> license(12 * 2352 - 12 * 304, 0);
    for (size_t i = 4 * 2048; i < license.size(); ++i) license[i] = static_cast<uint8_t>(i % 251);
    test::WriteBytes(out / "license.dat", license);
    for (const bool licensed : {false, true}) {
        if (licensed) {
            std::string message;
            ASSERT_TRUE(LoadSystemAreaFromFile(disc.project, (out / "license.dat").string(), message));
            disc.project.settings.stampSystemArea = true;
            SetUp();
        }
        ASSERT_EQ(RunTool("bchunk " + Out("disc.bin") + " " + Out("disc.cue") + " " + Out("converted"))
                      .status,
                  0);
        const std::vector<uint8_t> iso = test::ReadBytes(out / "disc.iso");
        EXPECT_EQ(test::ReadBytes(out / "converted01.iso"), iso) << licensed;
        if (licensed) {
            EXPECT_EQ(std::vector<uint8_t>(iso.begin(), iso.begin() + 12 * 2048), license);
        }
    }
}

TEST_F(OracleTest, PycdlibWalksTheTreeAndReadsEveryFile) {
    std::string python = "python3";
    if (RunTool(python + " -c 'import pycdlib'").status != 0) python = "/usr/bin/python3";
    if (RunTool(python + " -c 'import pycdlib'").status != 0) GTEST_SKIP() << "no pycdlib";
    test::WriteText(out / "walk.py",
                    "import io, sys, pycdlib\n"
                    "iso = pycdlib.PyCdlib()\n"
                    "iso.open(sys.argv[1])\n"
                    "for root, dirs, files in iso.walk(iso_path='/'):\n"
                    "    for f in files:\n"
                    "        path = root.rstrip('/') + '/' + f\n"
                    "        data = io.BytesIO()\n"
                    "        iso.get_file_from_iso_fp(data, iso_path=path)\n"
                    "        print(path, data.getvalue().hex())\n");
    const ToolRun walk = RunTool(python + " " + Out("walk.py") + " " + Out("disc.iso"));
    ASSERT_EQ(walk.status, 0) << walk.out;
    std::map<std::string, std::string> seen;  // path -> hex of its bytes
    std::istringstream lines(walk.out);
    for (std::string path, hex; lines >> path && std::getline(lines, hex);) seen[path] = hex;
    ASSERT_EQ(seen.size(), disc.expected.size()) << walk.out;
    for (const auto& [path, bytes] : disc.expected) {
        std::string hex = " ";
        for (uint8_t b : bytes) hex += FormatMessage("%02x", b);
        EXPECT_EQ(seen[path], hex) << path;
    }
}

TEST_F(OracleTest, IsoinfoListsEveryFileOfTheIsoVariant) {
    if (!Installed("isoinfo")) GTEST_SKIP() << "no isoinfo";
    const ToolRun listing = RunTool("isoinfo -l -i " + Out("disc.iso"));
    for (const auto& [path, bytes] : disc.expected) {
        const std::string name = path.substr(path.rfind('/') + 1);
        EXPECT_TRUE(Says(listing, {name, std::to_string(bytes.size())})) << path;
    }
}

}  // namespace
}  // namespace korvalin
