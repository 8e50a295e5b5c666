// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small disc used by the whole-image tests: nested folders, a pinned
// directory and file, dummy files, empty files, files of 1, 60, 2048, 2049
// and 50,000 bytes, and a gap that the compile fills with filler.

#include <map>
#include <string>
#include <vector>

#include "model/project.h"
#include "test_support.h"

namespace korvalin::test {

struct SampleDisc {
    Project project;
    // ISO 9660 path ("/DATA/ONE.BIN;1") -> the bytes a reader must get back.
    std::map<std::string, std::vector<uint8_t>> expected;
};

// Source files go into `folder`. With `pinDirectoryAmongFiles` the
// directory EMPTY is pinned to LBA 45, after the first files (which the IML
// variant refuses), and the empty TAIL.TXT to LBA 100; without it every
// directory precedes the files.
SampleDisc MakeSampleDisc(const TempDir& folder, bool pinDirectoryAmongFiles);

// Compiles the project, as last laid out, to `image`; the compile's message.
std::string CompileMessage(Project& project, const std::filesystem::path& image);

// Lays the project out and compiles it to `image` (the name chooses the
// variant); the image's bytes. A failed compile fails the test.
std::vector<uint8_t> CompileToBytes(Project& project, const std::filesystem::path& image);

// A file's bytes as text.
inline std::string TextOf(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// "/DATA/ONE.BIN;1" for the file \DATA\ONE.BIN.
std::string IsoPathOf(const Project& project, int32_t fileIndex);

}  // namespace korvalin::test
