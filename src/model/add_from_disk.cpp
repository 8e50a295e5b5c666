// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/add_from_disk.h"

#include <algorithm>
#include <deque>
#include <new>

#include "model/disc_names.h"
#include "model/disc_path.h"
#include "model/disk_entries.h"
#include "model/message_format.h"
#include "platform/file_info.h"
#include "platform/folder_listing.h"

namespace korvalin {

namespace {

constexpr char MSG_FILE_NOT_FOUND[] = "ERROR: File not found: %s ";
constexpr char MSG_TOO_LARGE[] = "File is too large, over 4GB in size) : %s ";
constexpr char MSG_ILLEGAL_FILE[] = "WARNING: illgal filename: %s ";
constexpr char MSG_FILE_EXISTS[] = "ERROR: File already exists:  %s ";
constexpr char MSG_TOO_MANY_FILES[] = "  Too many files(more than  %u)";
constexpr char MSG_ILLEGAL_DIR[] = " Illegal directory name for: %s ";
constexpr char MSG_DIR_EXISTS[] = "* Directory name already exists: %s";
constexpr char MSG_TOO_MANY_DIRS[] = "Too many directories(more than %u)";
constexpr char MSG_TOO_DEEP[] =
    "ATTENTION: Too many sub-directories(cannot copy these paths)   %s ";
// This platform's own cases.
constexpr char MSG_PATH_TOO_LONG[] = "ERROR: Path too long (more than 511 characters): %s ";
constexpr char MSG_FOLDER_PATH_TOO_LONG[] =
    "ERROR: Folder path too long to read its contents: %s ";
constexpr char MSG_NOT_FILE_OR_FOLDER[] = "ERROR: Not a file or folder: %s ";
constexpr char MSG_CANNOT_READ_FOLDER[] = "ERROR: Cannot read folder: %s ";

constexpr int LAST_PASS = 7;
constexpr uint32_t MAX_DIR_DEPTH = 7;
constexpr size_t PATTERN_BUFFER = 512;

enum class ItemResult { Next, GiveUpFolder, Stop };

struct AddRun {
    Project& project;
    ErrorLog& log;
    const ProgressCallback& progress;
    // Folders waiting to be read into each DirTable slot, in arrival order.
    std::vector<std::deque<std::string>> pendingFolders;
    int32_t progressCounter = 2;
    int result = ADD_FINISHED;
};

bool TablesFull(const Project& project) {
    return project.fileCount() >= FILE_TABLE_SLOTS || project.dirCount() >= DIR_TABLE_SLOTS;
}

// A folder is listed through the pattern "folder\*.*", which with its NUL
// must fit a 512-byte buffer; a folder whose pattern would not is not taken.
bool PatternFits(const std::string& folder) {
    const bool endsInSeparator = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
    return folder.size() + (endsInSeparator ? 0 : 1) + 3 + 1 <= PATTERN_BUFFER;
}

void AddPending(AddRun& run, int32_t slot, const std::string& folder) {
    std::deque<std::string>& queue = run.pendingFolders[static_cast<size_t>(slot)];
    if (std::find(queue.begin(), queue.end(), folder) == queue.end()) queue.push_back(folder);
}

ItemResult AddFileItem(AddRun& run, const std::string& itemPath, const FileInfo& info,
                       const DiscNameResult& name, int32_t target) {
    Project& project = run.project;
    if (run.progress) run.progress(run.progressCounter);
    ++run.progressCounter;
    const uint32_t parent = static_cast<uint32_t>(target) + 1;
    const std::string& discName = name.discName;
    if (name.illegal || discName.empty()) {
        run.log.AddMessage(
            FormatMessage(MSG_ILLEGAL_FILE, DiscPathOf(project, discName, parent).c_str()));
        return ItemResult::Next;
    }
    if (FindFileIn(project, discName, parent) >= 0) {
        run.log.AddMessage(
            FormatMessage(MSG_FILE_EXISTS, DiscPathOf(project, discName, parent).c_str()));
        return ItemResult::Next;
    }
    if (project.fileCount() > FILE_TABLE_SLOTS - 1) {
        run.log.AddMessage(FormatMessage(MSG_TOO_MANY_FILES, FILE_TABLE_SLOTS));
        run.result = ADD_STOPPED_ON_LIMIT;
        return ItemResult::Stop;
    }
    project.fileTable.push_back(NewDiskFileEntry(discName, info, parent, itemPath));
    return ItemResult::Next;
}

ItemResult AddFolderItem(AddRun& run, const std::string& itemPath, const FileInfo& info,
                         const DiscNameResult& name, int32_t target, bool firstPass) {
    Project& project = run.project;
    const uint32_t parent = static_cast<uint32_t>(target) + 1;
    const std::string& discName = name.discName;
    if (name.illegal || name.lastDot != 0 || discName.empty()) {
        run.log.AddMessage(
            FormatMessage(MSG_ILLEGAL_DIR, DiscPathOf(project, discName, parent).c_str()));
        return ItemResult::Next;
    }
    if (!PatternFits(itemPath)) {
        run.log.AddMessage(FormatMessage(MSG_FOLDER_PATH_TOO_LONG, itemPath.c_str()));
        return ItemResult::Next;
    }
    const int32_t existing = FindSubdirectory(project, discName, parent);
    if (existing >= 0) {
        run.log.AddMessage(
            FormatMessage(MSG_DIR_EXISTS, DiscPathOf(project, discName, parent).c_str()));
        AddPending(run, existing, itemPath);
        return ItemResult::Next;
    }
    if (project.dirCount() > DIR_TABLE_SLOTS - 1) {
        run.log.AddMessage(FormatMessage(MSG_TOO_MANY_DIRS, DIR_TABLE_SLOTS));
        run.result = ADD_STOPPED_ON_LIMIT;
        return ItemResult::Stop;
    }
    if (DirDepth(project, parent) >= static_cast<int32_t>(MAX_DIR_DEPTH)) {
        run.log.AddMessage(FormatMessage(MSG_TOO_DEEP, itemPath.c_str()));
        return firstPass ? ItemResult::Next : ItemResult::GiveUpFolder;
    }
    project.dirTable.push_back(NewDiskDirEntry(discName, info, parent));
    AddPending(run, project.dirCount() - 1, itemPath);
    return ItemResult::Next;
}

ItemResult AddItem(AddRun& run, const std::string& itemPath, int32_t target, bool firstPass) {
    if (itemPath.size() > MAX_DISK_PATH) {
        run.log.AddMessage(FormatMessage(MSG_PATH_TOO_LONG, itemPath.c_str()));
        return ItemResult::Next;
    }
    FileInfo info;
    if (!QueryFileInfo(itemPath, info)) {
        run.log.AddMessage(FormatMessage(MSG_FILE_NOT_FOUND, itemPath.c_str()));
        return ItemResult::Next;
    }
    if (info.kind == FileKind::Other) {
        run.log.AddMessage(FormatMessage(MSG_NOT_FILE_OR_FOLDER, itemPath.c_str()));
        return ItemResult::Next;
    }
    if ((info.size >> 32) != 0) {
        run.log.AddMessage(FormatMessage(MSG_TOO_LARGE, itemPath.c_str()));
    }
    const DiscNameResult name = MakeDiscName(FinalComponent(itemPath));
    if (info.kind == FileKind::Directory) {
        return AddFolderItem(run, itemPath, info, name, target, firstPass);
    }
    return AddFileItem(run, itemPath, info, name, target);
}

bool AnyFolderPending(const AddRun& run) {
    return std::any_of(run.pendingFolders.begin(), run.pendingFolders.end(),
                       [](const auto& queue) { return !queue.empty(); });
}

// Pass 0: the dropped items themselves. False when the run stops.
bool AddDroppedItems(AddRun& run, const std::vector<std::string>& droppedPaths, int32_t target) {
    for (const std::string& path : droppedPaths) {
        if (TablesFull(run.project)) {
            run.result = ADD_STOPPED_ON_LIMIT;
            return false;
        }
        if (AddItem(run, path, target, true) == ItemResult::Stop) return false;
    }
    return true;
}

// Reads one folder into directory slot `slot`. False when the run stops.
bool ReadFolderInto(AddRun& run, const std::string& folder, int32_t slot) {
    std::vector<FolderItem> items;
    if (!ListFolder(folder, items)) {
        run.log.AddMessage(FormatMessage(MSG_CANNOT_READ_FOLDER, folder.c_str()));
        return true;
    }
    for (const FolderItem& item : items) {
        const ItemResult result = AddItem(run, item.path, slot, false);
        if (result == ItemResult::Stop) return false;
        if (result == ItemResult::GiveUpFolder) break;
    }
    return true;
}

// Passes 1 to 7: the directories that were in the table when the pass began,
// in table order. False when the run stops.
bool ReadPendingFolders(AddRun& run) {
    const int32_t slots = run.project.dirCount();
    for (int32_t slot = 1; slot < slots; ++slot) {
        std::deque<std::string>& queue = run.pendingFolders[static_cast<size_t>(slot)];
        while (!queue.empty()) {
            if (TablesFull(run.project)) {
                run.result = ADD_STOPPED_ON_LIMIT;
                return false;
            }
            const std::string folder = queue.front();
            queue.pop_front();
            if (!ReadFolderInto(run, folder, slot)) return false;
        }
    }
    return true;
}

}  // namespace

int AddFromDisk(Project& project, const std::vector<std::string>& droppedPaths, ErrorLog& log,
                const ProgressCallback& progress) {
    AddRun run{project, log, progress, {}};
    const int32_t target =
        project.currentDir >= 0 && project.currentDir < project.dirCount() ? project.currentDir
                                                                            : 0;
    try {
        run.pendingFolders.resize(DIR_TABLE_SLOTS);
        if (progress) progress(1);
        bool going = AddDroppedItems(run, droppedPaths, target);
        for (int pass = 1; going && pass <= LAST_PASS && AnyFolderPending(run); ++pass) {
            going = ReadPendingFolders(run);
        }
    } catch (const std::bad_alloc&) {
        run.result = ADD_OUT_OF_MEMORY;
    }
    // Folders still waiting (eight levels down) are dropped with the run.
    for (DirEntry& dir : project.dirTable) dir.sourcePath.reset();
    return run.result;
}

}  // namespace korvalin
