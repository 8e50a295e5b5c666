// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Replaces a file's data inside an existing image, in the sectors the file
// already has: its directory record's size is updated (both byte orders) and
// every touched sector of a raw image is encoded again. A file that does not
// fit is refused; the image is rebuilt with dump and compile instead.

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

struct InjectedFile {
    std::string discPath;  // "\DATA\FILE.BIN"
    std::string source;
    int64_t sectors = 0;   // sectors written
    uint32_t oldSize = 0;
    uint32_t newSize = 0;
    bool form2 = false;
};

struct InjectReport {
    std::vector<InjectedFile> injected;
    std::vector<std::string> skipped;  // "source: why", for files that were not injected
};

// Injects `sourceFile` as the file at `discPath` ("\DATA\FILE.BIN" or
// "/data/file.bin", with or without ";1"). A file recorded as Form 2 (XA)
// takes a file of 2336-byte sectors (subheader and 2328 bytes each, as dump
// extracts it) of the same sector count. False with a message when the
// image or the file cannot be patched; the image is then unchanged.
bool InjectFile(const std::string& imagePath, const std::string& discPath, const std::string& sourceFile,
                InjectReport& report, std::string& message);

// Injects every file below `folder` that has a counterpart on the disc
// (relative paths compared in upper case); the others are listed as
// skipped. False with a message when the image cannot be patched or a
// file was refused.
bool InjectFolder(const std::string& imagePath, const std::string& folder, InjectReport& report,
                  std::string& message);

}  // namespace korvalin
