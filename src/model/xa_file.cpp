// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/xa_file.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "model/message_format.h"
#include "platform/file_info.h"
#include "platform/sequential_file.h"

namespace korvalin {

namespace {

constexpr char MSG_SOURCE_MISSING[] = "%s: cannot be read, so it cannot be a raw XA file";
constexpr char MSG_SOURCE_NOT_SECTORS[] =
    "%s: holds %llu bytes, not a whole number of 2336-byte sectors, so it cannot be a raw XA file";
constexpr char MSG_OFFER_MARK[] =
    "%s looks like raw XA sectors (STR video or XA audio, 2336 bytes each).\n"
    "Mark it raw XA, so that its sectors go on the disc as they are?";
constexpr char MSG_NOT_A_FILE[] = "%s: only a file with a source on disk can be a raw XA file";

// Sectors looked at when guessing whether a file is raw XA.
constexpr uint64_t SNIFFED_SECTORS = 16;
constexpr uint8_t SUBMODE_VIDEO = 0x02;
constexpr uint8_t SUBMODE_AUDIO = 0x04;
constexpr uint8_t SUBMODE_DATA = 0x08;
constexpr uint8_t MAX_CHANNEL = 31;

bool SubheaderIsSane(const uint8_t* sub) {
    if (std::memcmp(sub, sub + 4, 4) != 0 || sub[1] > MAX_CHANNEL || (sub[3] & 0x80) != 0) {
        return false;
    }
    const uint8_t submode = sub[2];
    const int kinds = ((submode & SUBMODE_VIDEO) != 0) + ((submode & SUBMODE_AUDIO) != 0) +
                      ((submode & SUBMODE_DATA) != 0);
    // Audio is only ever carried in Form 2 sectors.
    return kinds <= 1 && ((submode & SUBMODE_AUDIO) == 0 || (submode & SUBMODE_FORM2) != 0);
}

// The source's byte count, or false with `problem` set.
bool WholeSectorSource(const FileEntry& file, uint64_t& bytes, std::string& problem) {
    if (file.IsDummy() || !file.sourcePath) {
        problem = FormatMessage(MSG_NOT_A_FILE, std::string(file.Name()).c_str());
        return false;
    }
    const char* path = file.sourcePath->c_str();
    FileInfo info;
    if (!QueryFileInfo(*file.sourcePath, info) || info.kind != FileKind::RegularFile) {
        problem = FormatMessage(MSG_SOURCE_MISSING, path);
        return false;
    }
    bytes = info.size;
    if (bytes % XA_SOURCE_SECTOR_BYTES != 0) {
        problem = FormatMessage(MSG_SOURCE_NOT_SECTORS, path, static_cast<unsigned long long>(bytes));
        return false;
    }
    return true;
}

}  // namespace

uint32_t XaEntrySize(uint64_t sourceBytes) {
    return static_cast<uint32_t>(sourceBytes / XA_SOURCE_SECTOR_BYTES * 2048);
}

std::string RawXaSourceProblem(const FileEntry& file) {
    uint64_t bytes = 0;
    std::string problem;
    WholeSectorSource(file, bytes, problem);
    return problem;
}

std::string SetRawXa(FileEntry& file, bool rawXa) {
    if (file.rawXa == rawXa) return {};
    if (!rawXa) {
        FileInfo info;
        if (file.sourcePath && QueryFileInfo(*file.sourcePath, info)) {
            file.size = static_cast<uint32_t>(info.size);
        }
        file.rawXa = false;
        return {};
    }
    uint64_t bytes = 0;
    std::string problem;
    if (!WholeSectorSource(file, bytes, problem)) return problem;
    file.size = XaEntrySize(bytes);
    file.rawXa = true;
    return {};
}

bool LooksLikeRawXa(const std::string& path) {
    FileInfo info;
    if (!QueryFileInfo(path, info) || info.kind != FileKind::RegularFile || info.size == 0 ||
        info.size % XA_SOURCE_SECTOR_BYTES != 0) {
        return false;
    }
    InputFile file;
    if (!file.Open(path)) return false;
    const uint64_t sectors = std::min<uint64_t>(info.size / XA_SOURCE_SECTOR_BYTES, SNIFFED_SECTORS);
    bool anyMarked = false;
    for (uint64_t i = 0; i < sectors; ++i) {
        std::array<uint8_t, XA_SUBHEADER_BYTES> sub{};
        if (file.ReadAt(i * XA_SOURCE_SECTOR_BYTES, sub.data(), sub.size()) != sub.size() ||
            !SubheaderIsSane(sub.data())) {
            return false;
        }
        anyMarked = anyMarked || sub[2] != 0;
    }
    return anyMarked;
}

bool ProjectHasRawXaFiles(const Project& project) {
    return std::any_of(project.fileTable.begin(), project.fileTable.end(),
                       [](const FileEntry& file) { return file.rawXa; });
}

void OfferRawXaMarks(Project& project, int32_t firstNew, UserPrompt& prompt) {
    for (int32_t i = std::max(firstNew, 0); i < project.fileCount(); ++i) {
        FileEntry& file = project.fileTable[static_cast<size_t>(i)];
        if (file.rawXa || !file.sourcePath || !LooksLikeRawXa(*file.sourcePath)) continue;
        if (prompt.AskOkCancel(FormatMessage(MSG_OFFER_MARK, file.sourcePath->c_str()))) SetRawXa(file, true);
    }
}

std::vector<std::string> CheckRawXaSources(const Project& project) {
    for (const FileEntry& file : project.fileTable) {
        if (!file.rawXa) continue;
        std::string problem = RawXaSourceProblem(file);
        if (!problem.empty()) return {std::move(problem)};
    }
    return {};
}

}  // namespace korvalin
