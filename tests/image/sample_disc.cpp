// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/sample_disc.h"

#include <algorithm>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

#include "image/compile_image.h"
#include "layout/recompute_layout.h"
#include "model/disc_path.h"

namespace korvalin::test {

std::vector<uint8_t> CompileToBytes(Project& project, const std::filesystem::path& image) {
    RecomputeLayout(project);
    EXPECT_EQ(CompileMessage(project, image), COMPILE_SUCCESS_MESSAGE) << image;
    return ReadBytes(image);
}

std::string CompileMessage(Project& project, const std::filesystem::path& image) {
    CompileState state;
    state.imagePath = image.string();
    CompileImage(project, state);
    return state.compileMessage;
}

std::string IsoPathOf(const Project& project, int32_t fileIndex) {
    std::string path = DiscPathOfEntry(project, FileId(fileIndex)) + ";1";
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

SampleDisc MakeSampleDisc(const TempDir& folder, bool pinDirectoryAmongFiles) {
    SampleDisc disc;
    disc.project = NewProject();
    Project& p = disc.project;
    const int32_t data = AddDir(p, "DATA");
    const int32_t empty = AddDir(p, "EMPTY");
    const int32_t sub = AddDir(p, "SUB", data);
    const int32_t deep = AddDir(p, "DEEP", sub);
    // EMPTY.TXT shares the next file's LBA; TAIL.TXT is empty with nothing after it.
    const std::tuple<const char*, uint32_t, int32_t> files[] = {
        {"SYSTEM.CNF", 60, 0},  {"ONE.BIN", 1, data},     {"EMPTY.TXT", 0, data},
        {"TWO.BIN", 2048, sub}, {"BIG.BIN", 50000, data}, {"THREE.BIN", 2049, deep},
        {"TAIL.TXT", 0, 0}};
    std::mt19937 random(7);
    for (const auto& [name, size, dir] : files) {
        std::vector<uint8_t> bytes(size);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
        const auto source = folder / (std::string("src ") + name);  // a blank in every source path
        WriteBytes(source, bytes);
        disc.expected[IsoPathOf(p, AddFile(p, name, size, dir, source.string()))] = bytes;
    }
    Pin(p.fileTable[4], 60);  // BIG.BIN, after a gap of filler
    if (pinDirectoryAmongFiles) {
        Pin(p.dirTable[empty], 45);
        Pin(p.fileTable[6], 100);  // TAIL.TXT, past everything: the image is padded up to it
    }
    // A second name for BIG.BIN's data, and reserved sectors inside the gap.
    AddDummy(p, "ALIAS.BIN", 60);
    disc.expected["/ALIAS.BIN;1"] = disc.expected["/DATA/BIG.BIN;1"];
    p.fileTable[AddDummy(p, "HOLE.BIN", 40, 4096)].flags |= FLAG_SIZE_SET;
    disc.expected["/HOLE.BIN;1"] = std::vector<uint8_t>(4096, 0);
    RecomputeLayout(p);
    return disc;
}

}  // namespace korvalin::test
