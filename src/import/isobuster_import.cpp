#include "import/isobuster_import.h"

#include <filesystem>
#include <fstream>
#include <new>
#include <utility>

#include "import/import_volume.h"
#include "import/listing_reader.h"
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
    bool shared = false;
    for (const FileEntry& file : project.fileTable) {
        if (file.lba != listedLba) continue;
        shared = true;
        if (file.parent == parent && HasName(file, name.discName)) {
            run.log.AddMessage(FormatMessage(
                MSG_FILE_EXISTS, DiscPathOf(project, name.discName, parent).c_str()));
            return EntryResult::EndImport;
        }
    }
    FileEntry file = NewDiskFileEntry(name.discName, info, parent, foundPath);
    file.lba = run.mode == IMPORT_LBA_ORDER ? -1 : listedLba;
    if (run.mode == IMPORT_RESPECTIVE_LBA) file.flags |= FLAG_LBA_SET;
    if (shared) {
        // A second name for the data of the file already at this LBA.
        file.flags |= FLAG_DUMMY;
        file.sourcePath.reset();
    }
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

// Selection by exchange, as the original ordered them: not a stable sort.
void SortFilesByLba(FileTable& files) {
    for (size_t i = 0; i + 1 < files.size(); ++i) {
        for (size_t j = i + 1; j < files.size(); ++j) {
            if (files[j].lba < files[i].lba) std::swap(files[i], files[j]);
        }
    }
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
    if (run.mode == IMPORT_RESPECTIVE_ORDER) SortFilesByLba(project.fileTable);
    if (project.currentDir < 0 || project.currentDir >= project.dirCount()) project.currentDir = 0;
    return result;
}

}  // namespace korvalin
