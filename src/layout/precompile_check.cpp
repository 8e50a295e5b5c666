// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/precompile_check.h"

#include <algorithm>
#include <cstring>

#include "image/kept_sector_writer.h"
#include "image/volume_descriptor.h"
#include "layout/da_files.h"
#include "layout/recompute_layout.h"
#include "model/disc_path.h"
#include "model/message_format.h"
#include "model/xa_file.h"

namespace korvalin {

namespace {

constexpr char DIR_HAS_SOURCE[] = "Elemento no nulo en ruta en elemento path %u - %s";
constexpr char DIR_NAME_LENGTH[] = " Filesize error in elemental name in path of %u - %s";
constexpr char DIR_RECORD_LENGTH[] = "Error de tamaño en directorio del elemento path %u - %s long %i";
constexpr char DIR_BAD_PARENT[] = "Crtitical error in parent element of path %u - %s";
constexpr char FILE_NO_SOURCE[] = "ERROR: Null element in element path of %u - %s";
constexpr char FILE_NAME_LENGTH[] = "Filesize error in filename of elemental path %u - %s";
constexpr char FILE_RECORD_LENGTH[] = "Error de tamaño en directorio del elemento file %u - %s";
constexpr char FILE_BAD_PARENT[] = "Critical error in the parent element file %u - %s";
constexpr char EXTENT_PAIR[] = "LBA error in the subtable%u y %u";
constexpr char LATER_DIR[] = "In path %s LBA's %u %u";
constexpr char LATER_FILE[] = "In filename%s LBA's %u %u";
constexpr char EARLIER_DIR[] = "collision with path%s LBA's %u %u";
constexpr char EARLIER_FILE[] = " Collision with file  %s LBA's %u %u";
constexpr char DIR_PARENT_CYCLE[] = "Critical error: the parent links of directory %s form a cycle";
constexpr char FILE_TOO_LARGE[] = "Filesize error: %s holds %u bytes; a file must be smaller than 2 GiB";
constexpr char ROOT_PINNED_ELSEWHERE[] =
    "LBA error: the root directory is pinned at LBA %d; it must lie at the first data LBA, %d";
constexpr char LBA_BELOW_DATA[] =
    "LBA error: %s lies at LBA %d, below the first data LBA %d (system area, volume descriptors, "
    "path tables)";
constexpr char LBA_BEYOND_LIMIT[] =
    "LBA error: %s ends at LBA %lld; an image ends at LBA 2147483646 at the latest";
constexpr char IMAGE_OVER_CD[] =
    "Warning: the image takes %d sectors, more than the 360000 (80 minutes) a CD holds";

constexpr int32_t CD_SECTORS = 360000;
constexpr uint32_t FIRST_SIZE_TOO_LARGE = 0x80000000u;  // 2 GiB

uint32_t StoredNameLength(const EntryRecord& entry) {
    return static_cast<uint32_t>(strnlen(entry.name.data(), NAME_FIELD_SIZE));
}

bool ParentIsValid(const Project& project, const EntryRecord& entry) {
    return entry.parent - 1 < static_cast<uint32_t>(project.dirCount());
}

std::string Message(const char* format, size_t index, const EntryRecord& entry) {
    return FormatMessage(format, static_cast<unsigned>(index), std::string(entry.Name()).c_str());
}

// Whether following parent links up from the directory never reaches the
// root. Links that leave the table end the walk: they are reported at their
// own directory.
bool InParentCycle(const Project& project, size_t index) {
    size_t k = index;
    for (int32_t steps = 0; steps <= project.dirCount(); ++steps) {
        if (k == 0) return false;
        const uint32_t up = project.dirTable[k].parent - 1;
        if (up >= static_cast<uint32_t>(project.dirCount())) return false;
        k = up;
    }
    return true;
}

std::string DirectoryProblem(const Project& project, size_t index) {
    const DirEntry& dir = project.dirTable[index];
    if (dir.sourcePath) return Message(DIR_HAS_SOURCE, index, dir);
    if (StoredNameLength(dir) != dir.nameLength) return Message(DIR_NAME_LENGTH, index, dir);
    if (dir.recordLength != DirRecordLength(dir.nameLength)) {
        return FormatMessage(DIR_RECORD_LENGTH, static_cast<unsigned>(index),
                             std::string(dir.Name()).c_str(), static_cast<int32_t>(dir.nameLength));
    }
    if (!ParentIsValid(project, dir)) return Message(DIR_BAD_PARENT, index, dir);
    if (InParentCycle(project, index)) {
        return FormatMessage(DIR_PARENT_CYCLE, DiscPathOfEntry(project, static_cast<int32_t>(index)).c_str());
    }
    return "";
}

std::string FileProblem(const Project& project, size_t index) {
    const FileEntry& file = project.fileTable[index];
    if (!file.sourcePath && !file.IsDummy()) return Message(FILE_NO_SOURCE, index, file);
    if (StoredNameLength(file) != file.nameLength) return Message(FILE_NAME_LENGTH, index, file);
    if (file.recordLength != FileRecordLength(file.nameLength)) {
        return Message(FILE_RECORD_LENGTH, index, file);
    }
    if (!ParentIsValid(project, file)) return Message(FILE_BAD_PARENT, index, file);
    if (file.size >= FIRST_SIZE_TOO_LARGE) {
        return FormatMessage(FILE_TOO_LARGE, DiscPathOfEntry(project, FileId(static_cast<int32_t>(index))).c_str(),
                             file.size);
    }
    return "";
}

// Two ranges collide when they share a sector; one inside the other does.
bool Collides(const Extent& a, const Extent& b) {
    return a.firstLba <= b.lastLba && b.firstLba <= a.lastLba;
}

// Every record must point into the data area of an image whose sector
// count fits 31 bits (an empty file's record still points at its LBA).
std::string LbaProblem(const Project& project, int32_t entryId, int32_t firstDataLba) {
    const EntryRecord& entry = EntryById(project, entryId);
    const int32_t sectors = IsDirId(entryId) ? SectorsOf(entry.size) : DataSectorsOf(entry.size);
    const int64_t reach = int64_t{entry.lba} + std::max(sectors, 1);
    if (entry.lba >= firstDataLba && reach <= INT32_MAX) return "";
    const std::string path = DiscPathOfEntry(project, entryId);
    if (entry.lba < firstDataLba) {
        return FormatMessage(LBA_BELOW_DATA, path.c_str(), entry.lba, firstDataLba);
    }
    return FormatMessage(LBA_BEYOND_LIMIT, path.c_str(), static_cast<long long>(reach - 1));
}

std::string ExtentMessage(const Project& project, const Extent& e, const char* dirFormat,
                          const char* fileFormat) {
    const std::string name(EntryById(project, e.entryId).Name());
    return FormatMessage(IsDirId(e.entryId) ? dirFormat : fileFormat, name.c_str(),
                         static_cast<unsigned>(e.firstLba), static_cast<unsigned>(e.lastLba));
}

}  // namespace

std::vector<std::string> CheckDirectoryTable(const Project& project) {
    for (size_t d = 1; d < project.dirTable.size(); ++d) {
        std::string problem = DirectoryProblem(project, d);
        if (!problem.empty()) return {problem};
    }
    return {};
}

std::vector<std::string> CheckFileTable(const Project& project) {
    for (size_t f = 0; f < project.fileTable.size(); ++f) {
        std::string problem = FileProblem(project, f);
        if (!problem.empty()) return {problem};
    }
    return {};
}

std::vector<std::string> CheckEntryLbas(const Project& project) {
    const int32_t firstDataLba = FirstDataLba(project.layoutState);
    if (project.dirCount() > 0 && project.dirTable[0].IsPinned() &&
        project.dirTable[0].lba != firstDataLba) {
        return {FormatMessage(ROOT_PINNED_ELSEWHERE, project.dirTable[0].lba, firstDataLba)};
    }
    for (int32_t d = 0; d < project.dirCount(); ++d) {
        std::string problem = LbaProblem(project, d, firstDataLba);
        if (!problem.empty()) return {problem};
    }
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        std::string problem = LbaProblem(project, FileId(f), firstDataLba);
        if (!problem.empty()) return {problem};
    }
    return {};
}

// Whether any two data-holding extents share a sector: sorted by their
// first sector, apart ranges each start after the one before ends.
bool AnyExtentsCollide(const ExtentTable& table, const std::vector<bool>& holdsData) {
    std::vector<const Extent*> data;
    for (size_t i = 0; i < table.size(); ++i) {
        if (holdsData[i]) data.push_back(&table[i]);
    }
    std::sort(data.begin(), data.end(), [](const Extent* a, const Extent* b) { return a->firstLba < b->firstLba; });
    for (size_t i = 1; i < data.size(); ++i) {
        if (data[i]->firstLba <= data[i - 1]->lastLba) return true;
    }
    return false;
}

std::vector<std::string> CheckExtents(const Project& project) {
    const ExtentTable& table = project.extentTable;
    std::vector<bool> holdsData;
    for (const Extent& e : table) holdsData.push_back(ExtentHoldsData(project, e));
    if (!AnyExtentsCollide(table, holdsData)) return {};
    // Name the same pair as always: the first extent that collides, with
    // the first later one it collides with.
    for (size_t i = 0; i < table.size(); ++i) {
        for (size_t j = i + 1; j < table.size(); ++j) {
            const Extent& earlier = table[i];
            const Extent& later = table[j];
            if (!holdsData[i] || !holdsData[j] || !Collides(earlier, later)) continue;
            return {FormatMessage(EXTENT_PAIR, static_cast<unsigned>(j), static_cast<unsigned>(i)),
                    ExtentMessage(project, later, LATER_DIR, LATER_FILE),
                    ExtentMessage(project, earlier, EARLIER_DIR, EARLIER_FILE)};
        }
    }
    return {};
}

std::vector<std::string> PreCompileCheck(const Project& project) {
    std::vector<std::string> messages = CheckDirectoryTable(project);
    if (messages.empty()) messages = CheckFileTable(project);
    if (messages.empty()) messages = CheckEntryLbas(project);
    if (messages.empty()) messages = CheckRawXaSources(project);
    for (std::string& m : CheckExtents(project)) messages.push_back(std::move(m));
    for (std::string& m : CheckAudioTracks(project)) messages.push_back(std::move(m));
    for (std::string& m : CheckDaFiles(project)) messages.push_back(std::move(m));
    for (std::string& m : CheckKeptSectors(project)) messages.push_back(std::move(m));
    return messages;
}

std::vector<std::string> CompileReadinessCheck(const Project& project) {
    std::vector<std::string> messages = PreCompileCheck(project);
    for (std::string& m : CheckAudioSources(project)) messages.push_back(std::move(m));
    return messages;
}

std::vector<std::string> PreCompileWarnings(const Project& project) {
    // Audio tracks count: they are in the image too.
    const int32_t total = static_cast<int32_t>(std::min<int64_t>(DiscEndLba(project), INT32_MAX));
    if (total > CD_SECTORS) return {FormatMessage(IMAGE_OVER_CD, total)};
    return {};
}

}  // namespace korvalin
