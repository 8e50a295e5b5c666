// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/dump_kept_sectors.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "image/compile_image.h"
#include "image/kept_sector_writer.h"
#include "layout/precompile_check.h"
#include "layout/recompute_layout.h"
#include "model/kept_sectors.h"
#include "model/message_format.h"
#include "model/project_file.h"

namespace korvalin {

namespace {

namespace fs = std::filesystem;

constexpr int32_t BATCH_SECTORS = 256;
constexpr char NOT_KEPT_FORMAT[] =
    "its sectors are neither raw Mode 2 (2352 bytes) nor 2048 bytes, what a compile writes";
constexpr char NOT_KEPT_CHECK[] = "the dumped project does not pass the pre-compile check: %s";
constexpr char NOT_KEPT_COMPILE[] = "the dumped project does not compile: %s";

// What a compile writes for these sectors: ".bin" for raw Mode 2, ".iso" for 2048 bytes.
const char* ComparedExtension(const ImageFormat& format) {
    if (format.sectorBytes == 2352 && format.dataOffset == 24) return ".bin";
    if (format.sectorBytes == 2048) return ".iso";
    return nullptr;
}

// A compile's output that may be read and compared; removed again by the destructor.
struct ScratchImage {
    CompileState state;
    ~ScratchImage() {
        std::error_code ignored;
        fs::remove(state.imagePath, ignored);
        if (!state.outputSidecarPath.empty()) fs::remove(state.outputSidecarPath, ignored);
    }
};

// Every disc sector the scratch image does not hold byte for byte.
bool CompareSectors(DiscImage& disc, const std::string& generatedPath, int64_t generatedCount,
                    KeptSectors& kept, std::string& message) {
    FileImageSource generated;
    std::string reason;
    if (!generated.Open(generatedPath, reason)) {
        message = FormatMessage("cannot read %s: %s", generatedPath.c_str(), reason.c_str());
        return false;
    }
    const ImageFormat& format = disc.format;
    const size_t bytes = static_cast<size_t>(kept.sectorBytes);
    std::vector<uint8_t> ours(bytes * BATCH_SECTORS), theirs(bytes * BATCH_SECTORS);
    for (int64_t first = 0; first < format.sectorCount; first += BATCH_SECTORS) {
        const int64_t count = std::min<int64_t>(BATCH_SECTORS, format.sectorCount - first);
        const int64_t common = std::clamp<int64_t>(generatedCount - first, 0, count);
        disc.source->Read(format.startOffset + static_cast<uint64_t>(first) * bytes, theirs.data(),
                          count * bytes);
        generated.Read(static_cast<uint64_t>(first) * bytes, ours.data(), common * bytes);
        for (int64_t i = 0; i < count; ++i) {
            const uint8_t* discSector = theirs.data() + i * bytes;
            const uint8_t* ourSector = i < common ? ours.data() + i * bytes : nullptr;
            if (ourSector != nullptr && std::memcmp(discSector, ourSector, bytes) == 0) continue;
            kept.sectors.push_back(
                PackKeptSector(static_cast<int32_t>(first + i), discSector, ourSector, bytes));
        }
    }
    return true;
}

int32_t SectorsOfBytes(uint64_t bytes) {
    return static_cast<int32_t>((bytes + 2047) / 2048);
}

void MarkRange(std::vector<bool>& marks, int64_t first, int64_t count) {
    for (int64_t lba = std::max<int64_t>(first, 0);
         lba < first + count && lba < static_cast<int64_t>(marks.size()); ++lba) {
        marks[static_cast<size_t>(lba)] = true;
    }
}

// The descriptors, path tables and directories of both the disc and the
// generated layout: sectors that name each other.
std::vector<bool> StructureSectors(const IsoTree& tree, const Project& project, int64_t sectors) {
    std::vector<bool> marks(static_cast<size_t>(sectors), false);
    int64_t discFirst = sectors;
    for (const IsoDirectory& dir : tree.dirs) {
        MarkRange(marks, dir.record.extent, SectorsOfBytes(dir.record.size));
        discFirst = std::min<int64_t>(discFirst, dir.record.extent);
    }
    for (uint32_t lba : tree.volume.pathTableLba) {
        if (lba == 0) continue;
        MarkRange(marks, lba, SectorsOfBytes(tree.volume.pathTableBytes));
        discFirst = std::min<int64_t>(discFirst, lba);
    }
    MarkRange(marks, SYSTEM_AREA_SECTORS, discFirst - SYSTEM_AREA_SECTORS);
    const int32_t generatedRoot = project.dirTable[0].lba;
    MarkRange(marks, SYSTEM_AREA_SECTORS, generatedRoot - SYSTEM_AREA_SECTORS);
    for (const Extent& e : project.extentTable) {
        if (IsDirId(e.entryId)) MarkRange(marks, e.firstLba, e.lastLba - e.firstLba + 1);
    }
    return marks;
}

bool CompileForComparison(Project& project, const std::string& projectPath, const char* extension,
                          ScratchImage& scratch, KeptSectorsOutcome& outcome) {
    RecomputeLayout(project);
    const std::vector<std::string> problems = PreCompileCheck(project);
    if (!problems.empty()) {
        outcome.notKeptReason = FormatMessage(NOT_KEPT_CHECK, problems.front().c_str());
        return false;
    }
    const fs::path path(projectPath);
    scratch.state.imagePath =
        (path.parent_path() / ("." + path.stem().string() + ".compared" + extension)).string();
    CompileImage(project, scratch.state);
    if (scratch.state.compileMessage != COMPILE_SUCCESS_MESSAGE) {
        outcome.notKeptReason =
            FormatMessage(NOT_KEPT_COMPILE, scratch.state.compileMessage.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool KeepUnmodelledSectors(DiscImage& image, const IsoTree& tree, const std::string& projectPath,
                           KeptSectorsOutcome& outcome, std::string& message) {
    const char* extension = ComparedExtension(image.format);
    if (extension == nullptr) {
        outcome.notKeptReason = NOT_KEPT_FORMAT;
        return true;
    }
    Project project;
    if (!OpenProjectFile(projectPath, project, CalendarTime{2001, 1, 1, 0, 0, 0}, message))
        return false;
    ScratchImage scratch;
    if (!CompileForComparison(project, projectPath, extension, scratch, outcome)) return true;
    KeptSectors kept;
    kept.sectorBytes = image.format.sectorBytes;
    kept.layoutSectors = project.layoutState.totalSectors;
    kept.treeHash = TreeHashOf(project);
    if (!CompareSectors(image, scratch.state.imagePath, project.layoutState.totalSectors, kept,
                        message))
        return false;
    if (kept.sectors.empty()) return true;
    const std::vector<bool> structure = StructureSectors(
        tree, project, std::max<int64_t>(image.format.sectorCount, kept.layoutSectors));
    for (KeptSector& sector : kept.sectors) {
        if (structure[static_cast<size_t>(sector.lba)]) sector.flags |= KEPT_STRUCTURE;
    }
    const std::string sidePath = KeptSectorsPathFor(projectPath);
    if (!WriteKeptSectorsFile(sidePath, kept, project.keptSectors, message)) return false;
    if (!SaveProjectFile(projectPath, project, message)) return false;
    outcome.count = static_cast<int32_t>(kept.sectors.size());
    outcome.fileBytes = static_cast<int64_t>(project.keptSectors.fileBytes);
    outcome.path = sidePath;
    return true;
}

}  // namespace korvalin
