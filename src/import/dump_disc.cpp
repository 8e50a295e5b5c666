// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/dump_disc.h"

#include <filesystem>

#include "import/dump_audio_tracks.h"
#include "import/dump_files.h"
#include "import/dump_kept_sectors.h"
#include "import/dump_plan.h"
#include "model/disc_path.h"
#include "model/disk_entries.h"
#include "model/message_format.h"
#include "model/project_file.h"
#include "platform/file_io.h"

namespace korvalin {

namespace {

namespace fs = std::filesystem;

constexpr char MSG_NOT_EMPTY[] = "%s is not empty; give --force to dump into it anyway";
constexpr char MSG_NOT_FOLDER[] = "%s is not a folder";
constexpr char MSG_PATH_TOO_LONG[] =
    "%s: the extracted files' paths would be longer than a project holds (511 characters); choose a shorter folder";
constexpr char MSG_EXISTS[] = "%s already exists; give --force to replace it";

// A label as a file name: letters, digits, '-', '_' and '.'; "DISC" when nothing is left.
std::string FileNameForLabel(const std::string& label) {
    std::string name;
    for (char c : label) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || c == '.';
        name += plain ? c : '_';
    }
    return name.empty() || name.find_first_not_of('.') == std::string::npos ? "DISC" : name;
}

bool PrepareOutDir(const DumpOptions& options, std::string& message) {
    std::error_code error;
    const fs::path dir(options.outDir);
    if (!fs::exists(dir, error)) return true;
    if (!fs::is_directory(dir, error)) {
        message = FormatMessage(MSG_NOT_FOLDER, options.outDir.c_str());
        return false;
    }
    if (!options.force && !fs::is_empty(dir, error)) {
        message = FormatMessage(MSG_NOT_EMPTY, options.outDir.c_str());
        return false;
    }
    return true;
}

// The text `korvalin import` reads: "LBA , \PATH" per line, directories
// first in path-table order, then files in the project's order.
std::string ListingText(const DumpPlan& plan) {
    std::string text;
    for (size_t i = 1; i < plan.tree.dirs.size(); ++i) {
        text += FormatMessage("%u , %s\r\n", plan.tree.dirs[i].record.extent, plan.tree.dirs[i].path.c_str());
    }
    for (const DumpedFile& file : plan.files) {
        text += FormatMessage("%u , %s\r\n", file.record.extent, file.discPath.c_str());
    }
    return text;
}

bool WriteText(const std::string& path, const std::string& text, std::string& message) {
    std::string reason;
    if (WriteFileAtomically(path, std::vector<uint8_t>(text.begin(), text.end()), reason)) return true;
    message = FormatMessage("cannot write %s: %s", path.c_str(), reason.c_str());
    return false;
}

bool SourcePathsFit(const DumpPlan& plan) {
    for (const FileEntry& f : plan.project.fileTable) {
        if (f.sourcePath && f.sourcePath->size() > MAX_DISK_PATH) return false;
    }
    return true;
}

std::string ProjectPathFor(const DumpOptions& options, const fs::path& outDir, const std::string& baseName) {
    if (options.projectPath.empty()) return (outDir / (baseName + ".krv")).string();
    const fs::path given(options.projectPath);
    return given.has_parent_path() ? given.string() : (outDir / given).string();
}

void Summarize(const DumpPlan& plan, DumpResult& result) {
    result.directories = static_cast<int32_t>(plan.tree.dirs.size());
    result.files = static_cast<int32_t>(plan.files.size());
    result.bytes = plan.bytes;
    result.aliases = plan.aliases;
    result.unrepresented = plan.unrepresented;
}

// The project just saved gains the sectors it cannot generate, if any.
bool KeepSectors(DumpPlan& plan, DumpResult& result, std::string& message) {
    KeptSectorsOutcome kept;
    if (!KeepUnmodelledSectors(plan.image, plan.tree, result.projectPath, kept, message)) return false;
    result.keptSectors = kept.count;
    result.keptBytes = kept.fileBytes;
    result.keptPath = kept.path;
    result.notKeptReason = kept.notKeptReason;
    return true;
}

}  // namespace

int DumpDiscImage(const DumpOptions& options, DumpResult& result, std::string& message,
                  const ProgressCallback& progress) {
    if (!PrepareOutDir(options, message)) return 1;
    const fs::path outDir = fs::absolute(options.outDir).lexically_normal();
    result.filesFolder = (outDir / DUMP_FILES_FOLDER).string();
    DumpPlan plan;
    if (!PlanDump(options.imagePath, result.filesFolder, plan, message)) return 1;
    if (!SourcePathsFit(plan)) {
        message = FormatMessage(MSG_PATH_TOO_LONG, options.outDir.c_str());
        return 1;
    }
    const std::string baseName = FileNameForLabel(plan.label);
    result.projectPath = ProjectPathFor(options, outDir, baseName);
    result.listingPath = (outDir / (baseName + ".txt")).string();
    std::error_code error;
    if (!options.force && fs::exists(fs::symlink_status(result.projectPath, error))) {
        message = FormatMessage(MSG_EXISTS, result.projectPath.c_str());
        return 1;
    }
    fs::create_directories(outDir, error);
    if (error) {
        message = FormatMessage("cannot create the folder %s: %s", outDir.c_str(), error.message().c_str());
        return 1;
    }
    Summarize(plan, result);
    const int64_t total = std::max<int64_t>(plan.bytes, 1);
    const ExtractProgress extractProgress = [&](int64_t done) {
        if (progress) progress(static_cast<int32_t>(done * BULK_PROGRESS_RANGE / total));
    };
    if (progress) progress(0);
    if (!ExtractDumpFiles(plan, result.filesFolder, extractProgress, message)) return 1;
    if (!DumpAudioTracks(options.imagePath, outDir.string(), plan.project, message)) return 1;
    result.audioTracks = static_cast<int32_t>(plan.project.audioTracks.size());
    if (!WriteText(result.listingPath, ListingText(plan), message)) return 1;
    if (!SaveProjectFile(result.projectPath, plan.project, message)) return 1;
    if (options.keepSectors && !KeepSectors(plan, result, message)) return 1;
    if (progress) progress(BULK_PROGRESS_RANGE);
    return 0;
}

}  // namespace korvalin
