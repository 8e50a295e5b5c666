// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/isobuster_import.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <utility>

#include "import/aliased_entries.h"
#include "import/import_volume.h"
#include "import/listing_reader.h"
#include "layout/recompute_layout.h"
#include "model/disc_names.h"
#include "model/disc_path.h"
#include "model/disk_entries.h"
#include "model/message_format.h"
#include "platform/file_info.h"
#include "platform/folder_listing.h"

namespace korvalin {

namespace {

constexpr char MSG_CANNOT_FIND[] = "Cannot find filename:  %s ";
constexpr char MSG_TOO_LARGE[] = "  Filename too large,(more than 4GB) : %s ";
constexpr char MSG_ILLEGAL_DIR[] = "Illegal directory name for:  %s ";
constexpr char MSG_TOO_DEEP[] =
    "ATTENTION: Too many sub-directories  (cannot copy the paths)   %s ";
constexpr char MSG_ILLEGAL_FILE[] = "Illegal filename for file %s ";
constexpr char MSG_FILE_EXISTS[] = "Filename already exists for: %s ";
// This platform's own case: the path on disk would not fit a source path.
constexpr char MSG_PATH_TOO_LONG[] = "  Filename too long,(more than 511 characters) : %s ";
// A listed LBA inside the system area, descriptors or path tables, or past
// what a disc can address: pinning the file there would damage the image.
constexpr char MSG_BAD_LBA[] = "LBA not valid (%d) for file %s ";

constexpr int PASSES = 9;
constexpr int32_t MAX_DIR_DEPTH = 7;

struct Entry {
    ListingEntry listed;
    std::vector<size_t> boundaries;
};

struct ImportRun {
    Project& project;
    ErrorLog& log;
    const ProgressCallback& progress;
    int32_t mode;
    std::string listingFolder;  // ends with '/'
    FolderNameCache folderNames;
    int32_t progressCounter = 2;
    std::vector<int32_t> listedLbas{};  // per file of the table, the LBA the listing gave it
};

enum class EntryResult { Next, EndImport };

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The components of `cut` split at its separators (the first may be empty).
std::vector<std::string> Components(const std::string& cut) {
    std::vector<std::string> parts(1);
    for (char c : cut) {
        if (IsSeparator(c)) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

// The directory number the entry goes into: the deepest listed parent that
// exists in the tree (component 0 always stands for the root).
uint32_t WalkToParent(const Project& project, const std::vector<std::string>& parts, int pass) {
    uint32_t parent = 1;
    for (int k = 0; k < pass && k < static_cast<int>(parts.size()); ++k) {
        const DiscNameResult name = MakeDiscName(parts[static_cast<size_t>(k)]);
        if (name.illegal || name.lastDot != 0) break;
        if (k == 0) continue;
        const int32_t found = FindSubdirectory(project, name.discName, parent);
        if (found < 0) break;
        parent = static_cast<uint32_t>(found) + 1;
    }
    return parent;
}

std::string DiskPathText(const ImportRun& run, const std::string& cut) {
    std::string path = run.listingFolder;
    for (size_t i = 0; i < cut.size(); ++i) {
        if (i == 0 && IsSeparator(cut[0])) continue;
        path += IsSeparator(cut[i]) ? '/' : cut[i];
    }
    return path;
}

EntryResult ImportDirectory(ImportRun& run, const std::string& diskPath, const FileInfo& info,
                            uint32_t parent, int pass) {
    Project& project = run.project;
    const DiscNameResult name = MakeDiscName(FinalComponent(diskPath));
    if (name.illegal || name.lastDot != 0) {
        run.log.AddMessage(
            FormatMessage(MSG_ILLEGAL_DIR, DiscPathOf(project, name.discName, parent).c_str()));
        return EntryResult::EndImport;
    }
    // A path ending in a separator names the folder it is in, already in hand.
    if (pass == 0 || name.discName.empty()) return EntryResult::Next;
    if (FindSubdirectory(project, name.discName, parent) >= 0) return EntryResult::Next;
    if (DirDepth(project, parent) >= MAX_DIR_DEPTH) {
        run.log.AddMessage(FormatMessage(MSG_TOO_DEEP, diskPath.c_str()));
        return EntryResult::Next;
    }
    project.dirTable.push_back(NewDiskDirEntry(name.discName, info, parent));
    return EntryResult::Next;
}

EntryResult ImportFile(ImportRun& run, const std::string& diskPath, const std::string& foundPath,
                       const FileInfo& info, uint32_t parent, int32_t listedLba) {
    Project& project = run.project;
    if (run.progress) run.progress(run.progressCounter);
    ++run.progressCounter;
    const DiscNameResult name = MakeDiscName(FinalComponent(diskPath));
    if (name.illegal || name.discName.empty()) {
        run.log.AddMessage(
            FormatMessage(MSG_ILLEGAL_FILE, DiscPathOf(project, name.discName, parent).c_str()));
        return EntryResult::EndImport;
    }
    for (const FileEntry& file : project.fileTable) {
        if (file.lba == listedLba && file.parent == parent && HasName(file, name.discName)) {
            run.log.AddMessage(FormatMessage(
                MSG_FILE_EXISTS, DiscPathOf(project, name.discName, parent).c_str()));
            return EntryResult::EndImport;
        }
    }
    FileEntry file = NewDiskFileEntry(name.discName, info, parent, foundPath);
    file.lba = run.mode == IMPORT_LBA_ORDER ? -1 : listedLba;
    if (run.mode == IMPORT_RESPECTIVE_LBA) file.flags |= FLAG_LBA_SET;
    run.listedLbas.push_back(listedLba);
    project.fileTable.push_back(std::move(file));
    return EntryResult::Next;
}

EntryResult ImportEntry(ImportRun& run, const Entry& entry, int pass) {
    const std::string cut = entry.listed.path.substr(0, entry.boundaries[static_cast<size_t>(pass)]);
    const std::vector<std::string> parts = Components(cut);
    const uint32_t parent = WalkToParent(run.project, parts, pass);
    const std::string diskPath = DiskPathText(run, cut);
    if (diskPath.size() > MAX_DISK_PATH) {
        run.log.AddMessage(FormatMessage(MSG_PATH_TOO_LONG, diskPath.c_str()));
        return EntryResult::Next;
    }
    // Nothing outside the listing folder is ever read.
    bool climbs = false;
    for (const std::string& part : parts) climbs = climbs || part == "." || part == "..";
    const std::optional<std::string> found =
        climbs ? std::nullopt : FindPathIgnoringCase(run.listingFolder, parts, run.folderNames);
    FileInfo info;
    if (!found || !QueryFileInfo(*found, info) || info.kind == FileKind::Other) {
        run.log.AddMessage(FormatMessage(MSG_CANNOT_FIND, diskPath.c_str()));
        return EntryResult::Next;
    }
    if ((info.size >> 32) != 0) run.log.AddMessage(FormatMessage(MSG_TOO_LARGE, diskPath.c_str()));
    if (info.kind == FileKind::Directory) return ImportDirectory(run, diskPath, info, parent, pass);
    return ImportFile(run, diskPath, *found, info, parent, entry.listed.lba);
}

bool TablesFull(const Project& project) {
    return project.fileCount() >= FILE_TABLE_SLOTS || project.dirCount() >= DIR_TABLE_SLOTS;
}

// Whether any entry from `next` on in pass `pass`, or any entry in a later
// pass, still had something to import when the tables filled up.
bool WorkRemains(const std::vector<Entry>& entries, size_t next, int pass) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const size_t count = entries[i].boundaries.size();
        if (i >= next && count > static_cast<size_t>(pass)) return true;
        if (pass + 1 < PASSES && count > static_cast<size_t>(pass) + 1) return true;
    }
    return false;
}

int RunPasses(ImportRun& run, const std::vector<Entry>& entries) {
    for (int pass = 0; pass < PASSES; ++pass) {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (TablesFull(run.project)) {
                return WorkRemains(entries, i, pass) ? IMPORT_STOPPED_ON_LIMIT : IMPORT_FINISHED;
            }
            if (entries[i].boundaries.size() <= static_cast<size_t>(pass)) continue;
            if (ImportEntry(run, entries[i], pass) == EntryResult::EndImport) {
                return IMPORT_ENDED_ON_ERROR;
            }
        }
    }
    return IMPORT_FINISHED;
}

// Selection by exchange: not a stable sort, files of one LBA may change
// places. Returns, for each new position, the position the file came from.
std::vector<size_t> SortFilesByLba(FileTable& files) {
    std::vector<size_t> from(files.size());
    for (size_t i = 0; i < from.size(); ++i) from[i] = i;
    for (size_t i = 0; i + 1 < files.size(); ++i) {
        for (size_t j = i + 1; j < files.size(); ++j) {
            if (files[j].lba < files[i].lba) {
                std::swap(files[i], files[j]);
                std::swap(from[i], from[j]);
            }
        }
    }
    return from;
}

// Files whose listed range starts before the first data sector or reaches
// past the last addressable one are logged and dropped.
void RefuseBadLbas(ImportRun& run) {
    Project& project = run.project;
    ComputePathTableSize(project);
    const int64_t firstDataLba = 18 + 4 * int64_t{project.layoutState.pathTableSectors};
    size_t kept = 0;
    for (size_t f = 0; f < project.fileTable.size(); ++f) {
        const FileEntry& file = project.fileTable[f];
        const int64_t lba = run.listedLbas[f];
        const int64_t end = lba + std::max(SectorsOf(file.size), 1);
        if (lba < firstDataLba || end > std::numeric_limits<int32_t>::max()) {
            const std::string discPath = DiscPathOf(project, file.Name(), file.parent);
            run.log.AddMessage(FormatMessage(MSG_BAD_LBA, run.listedLbas[f], discPath.c_str()));
            continue;
        }
        if (kept != f) {
            project.fileTable[kept] = std::move(project.fileTable[f]);
            run.listedLbas[kept] = run.listedLbas[f];
        }
        ++kept;
    }
    project.fileTable.resize(kept);
    run.listedLbas.resize(kept);
}

// A file whose listed data another file holds becomes a dummy of its own
// size at its listed LBA. Returns each file's owner (-1 when it holds data).
std::vector<int> TurnAliasesIntoDummies(ImportRun& run) {
    std::vector<ListedRange> ranges;
    for (size_t f = 0; f < run.project.fileTable.size(); ++f) {
        ranges.push_back({run.listedLbas[f], run.project.fileTable[f].size});
    }
    const std::vector<int> owners = AliasOwners(ranges);
    for (size_t f = 0; f < owners.size(); ++f) {
        if (owners[f] < 0) continue;
        FileEntry& file = run.project.fileTable[f];
        file.flags |= FLAG_DUMMY | FLAG_SIZE_SET;
        file.sourcePath.reset();
    }
    return owners;
}

// Mode 1 lays the files out again in listed order; each alias then moves
// with the file holding its data, keeping its offset into it.
void SortAndFollowOwners(ImportRun& run, const std::vector<int>& owners) {
    Project& project = run.project;
    const std::vector<size_t> from = SortFilesByLba(project.fileTable);
    std::vector<size_t> newPosition(from.size());
    for (size_t i = 0; i < from.size(); ++i) newPosition[from[i]] = i;
    RecomputeLayout(project);
    for (size_t old = 0; old < owners.size(); ++old) {
        if (owners[old] < 0) continue;
        const size_t owner = static_cast<size_t>(owners[old]);
        const int64_t offset = int64_t{run.listedLbas[old]} - run.listedLbas[owner];
        project.fileTable[newPosition[old]].lba =
            static_cast<int32_t>(project.fileTable[newPosition[owner]].lba + offset);
    }
}

// What the listed LBAs mean for the files once every pass is done.
void ApplyListedLbas(ImportRun& run) {
    if (run.mode == IMPORT_LBA_ORDER) return;  // the LBAs are dropped: every file keeps its data
    RefuseBadLbas(run);
    const std::vector<int> owners = TurnAliasesIntoDummies(run);
    if (run.mode == IMPORT_RESPECTIVE_ORDER) SortAndFollowOwners(run, owners);
}

void ClearTree(Project& project) {
    project.dirTable.resize(1);
    project.fileTable.clear();
}

bool ReadEntries(const std::string& listingPath, std::vector<Entry>& entries) {
    FileInfo info;
    if (!QueryFileInfo(listingPath, info) || info.kind == FileKind::Directory) return false;
    std::ifstream in(listingPath, std::ios::binary);
    if (!in) return false;
    for (ListingEntry& listed : ReadListingEntries(in)) {
        std::vector<size_t> boundaries = PathBoundaries(listed.path);
        entries.push_back({std::move(listed), std::move(boundaries)});
    }
    return true;
}

}  // namespace

int ImportIsoBusterListing(Project& project, const std::string& listingPath, int32_t mode,
                           const CalendarTime& utcNow, ErrorLog& log, UserPrompt& prompt,
                           const ProgressCallback& progress) {
    std::error_code ignored;
    const std::string fullPath = std::filesystem::absolute(listingPath, ignored).string();
    ClearTree(project);
    project.volumeInfo.SetLabel(VolumeLabelForListing(fullPath));
    SetVolumeDateFromClock(project, utcNow);
    const bool validMode = mode >= IMPORT_RESPECTIVE_LBA && mode <= IMPORT_LBA_ORDER;
    ImportRun run{project, log, progress, validMode ? mode : IMPORT_RESPECTIVE_LBA,
                  fullPath.substr(0, fullPath.rfind('/') + 1), {}};
    int result = IMPORT_FINISHED;
    try {
        std::vector<Entry> entries;
        if (!ReadEntries(fullPath, entries)) {
            prompt.ShowMessage(IMPORT_CANNOT_OPEN_MESSAGE);
            result = IMPORT_CANNOT_OPEN;
        } else {
            if (progress) progress(1);
            result = RunPasses(run, entries);
        }
    } catch (const std::bad_alloc&) {
        prompt.ShowMessage(OUT_OF_MEMORY_MESSAGE);
        result = IMPORT_OUT_OF_MEMORY;
    }
    for (DirEntry& dir : project.dirTable) dir.sourcePath.reset();
    if (project.currentDir < 0 || project.currentDir >= project.dirCount()) project.currentDir = 0;
    ApplyListedLbas(run);
    return result;
}

}  // namespace korvalin
