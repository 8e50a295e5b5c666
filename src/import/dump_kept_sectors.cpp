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

// Compares the compile's sectors, in image order as they are finished, with
// the disc's at the same LBA and keeps every disc sector that the first
// `generatedCount` of them do not hold byte for byte.
class DiscComparison : public SectorSink {
public:
    DiscComparison(DiscImage& disc, int64_t generatedCount, KeptSectors& kept)
        : disc_(disc), generatedCount_(generatedCount), kept_(kept),
          bytes_(static_cast<size_t>(kept.sectorBytes)) {}

    bool Take(int32_t lba, const uint8_t* sectors, int32_t count) override {
        const int64_t end =
            std::min({int64_t{lba} + count, generatedCount_, disc_.format.sectorCount});
        const int64_t start = std::max<int64_t>(lba, compared_);
        for (int64_t first = start; first < end; first += BATCH_SECTORS) {
            const int64_t batch = std::min<int64_t>(BATCH_SECTORS, end - first);
            const uint8_t* theirs = ReadDisc(first, batch);
            for (int64_t i = 0; i < batch; ++i) {
                const uint8_t* ours = sectors + static_cast<size_t>(first + i - lba) * bytes_;
                const uint8_t* discSector = theirs + static_cast<size_t>(i) * bytes_;
                if (std::memcmp(discSector, ours, bytes_) != 0) Keep(first + i, discSector, ours);
            }
        }
        compared_ = std::max(compared_, end);
        return true;
    }

    // The disc's sectors past the last one compared: nothing generated matches them.
    void KeepRest() {
        const int64_t end = disc_.format.sectorCount;
        for (int64_t first = compared_; first < end; first += BATCH_SECTORS) {
            const int64_t batch = std::min<int64_t>(BATCH_SECTORS, end - first);
            const uint8_t* theirs = ReadDisc(first, batch);
            for (int64_t i = 0; i < batch; ++i) {
                Keep(first + i, theirs + static_cast<size_t>(i) * bytes_, nullptr);
            }
        }
        compared_ = end;
    }

private:
    const uint8_t* ReadDisc(int64_t first, int64_t count) {
        theirs_.resize(static_cast<size_t>(count) * bytes_);
        disc_.source->Read(disc_.format.startOffset + static_cast<uint64_t>(first) * bytes_,
                           theirs_.data(), theirs_.size());
        return theirs_.data();
    }

    void Keep(int64_t lba, const uint8_t* discSector, const uint8_t* ourSector) {
        kept_.sectors.push_back(
            PackKeptSector(static_cast<int32_t>(lba), discSector, ourSector, bytes_));
    }

    DiscImage& disc_;
    const int64_t generatedCount_;
    KeptSectors& kept_;
    const size_t bytes_;
    int64_t compared_ = 0;  // disc sectors before this one are compared
    std::vector<uint8_t> theirs_;
};

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

// Compiles the project with every data-track sector going to the comparison,
// not to a file; the image name only chooses the sector size.
bool CompileAndCompare(Project& project, const std::string& projectPath, const char* extension,
                       DiscImage& disc, KeptSectors& kept, KeptSectorsOutcome& outcome) {
    RecomputeLayout(project);
    const std::vector<std::string> problems = PreCompileCheck(project);
    if (!problems.empty()) {
        outcome.notKeptReason = FormatMessage(NOT_KEPT_CHECK, problems.front().c_str());
        return false;
    }
    DiscComparison comparison(disc, project.layoutState.totalSectors, kept);
    const fs::path path(projectPath);
    CompileState state;
    state.imagePath =
        (path.parent_path() / ("." + path.stem().string() + ".compared" + extension)).string();
    state.sectorSink = &comparison;
    CompileImage(project, state);
    if (state.compileMessage != COMPILE_SUCCESS_MESSAGE) {
        outcome.notKeptReason = FormatMessage(NOT_KEPT_COMPILE, state.compileMessage.c_str());
        return false;
    }
    comparison.KeepRest();
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
    KeptSectors kept;
    kept.sectorBytes = image.format.sectorBytes;
    if (!CompileAndCompare(project, projectPath, extension, image, kept, outcome)) return true;
    kept.layoutSectors = project.layoutState.totalSectors;
    kept.treeHash = TreeHashOf(project);
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
