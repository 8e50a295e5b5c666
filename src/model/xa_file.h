// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Raw XA files: sources that hold whole 2336-byte sectors (the 8-byte
// subheader, 4 bytes twice, and 2328 bytes), as rippers and dump
// extract STR video and XA audio. On the disc each source sector becomes one
// Mode 2 sector of Form 1 or Form 2, as its submode says; the entry's size
// counts 2048 bytes per sector, as discs record such files.

#include <cstdint>
#include <string>
#include <vector>

#include "model/project.h"
#include "model/user_prompt.h"

namespace korvalin {

constexpr uint32_t XA_SOURCE_SECTOR_BYTES = 2336;
constexpr uint32_t XA_SUBHEADER_BYTES = 8;
constexpr uint8_t SUBMODE_FORM2 = 0x20;

// The size the disc records for a source of `sourceBytes` (whole sectors).
uint32_t XaEntrySize(uint64_t sourceBytes);

// Marks or unmarks a file entry; a marked entry's size follows its source's
// sector count, an unmarked one the source's byte count. Empty on success,
// else the refusal (naming the source), with the entry left as it was.
std::string SetRawXa(FileEntry& file, bool rawXa);

// The refusal for a marked file whose source is missing or not whole
// 2336-byte sectors; empty when it is fine.
std::string RawXaSourceProblem(const FileEntry& file);

// Whether a file on disk looks like raw XA sectors: a nonzero whole number of
// 2336-byte sectors whose first sectors carry consistent subheaders (both
// copies equal, a sane submode) and not only zeros.
bool LooksLikeRawXa(const std::string& path);

bool ProjectHasRawXaFiles(const Project& project);

// After files were added from disk (FileTable index `firstNew` on): asks for
// each that looks like raw XA whether to mark it, and marks it on OK.
void OfferRawXaMarks(Project& project, int32_t firstNew, UserPrompt& prompt);

// The pre-compile check's word on marked files: the first refusal, if any.
std::vector<std::string> CheckRawXaSources(const Project& project);

}  // namespace korvalin
