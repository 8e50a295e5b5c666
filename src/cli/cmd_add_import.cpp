// add, import: taking files and folders from disk, and an IsoBuster listing.

#include <filesystem>
#include <iostream>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "import/isobuster_import.h"
#include "layout/error_log.h"
#include "layout/recompute_layout.h"
#include "model/add_from_disk.h"
#include "model/disk_entries.h"
#include "model/message_format.h"
#include "platform/clock.h"

namespace korvalin::cli {

namespace {

// Message boxes on the terminal; there is nothing to ask during these commands.
class TerminalPrompt : public UserPrompt {
public:
    void ShowMessage(const std::string& text) override {
        std::cerr << MESSAGE_CAPTION << ": " << text;
        if (text.empty() || text.back() != '\n') std::cerr << '\n';
    }
    bool AskOkCancel(const std::string& text) override {
        ShowMessage(text);
        return false;
    }
    std::optional<std::string> AskSaveFile(const SaveFileRequest&) override { return std::nullopt; }
};

void PrintLog(const ErrorLog& log) {
    if (log.count() > 0) std::cerr << ErrorLogText(log);
}

// A dropped path as the desktop shell hands it over: absolute, without a
// trailing separator.
std::string DroppedPath(const std::string& arg) {
    std::error_code ignored;
    std::string path = std::filesystem::absolute(arg, ignored).string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

void AddAdd(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand(
        "add", "Add files and folders from disk, as dropped on a directory of the tree.");
    auto project = std::make_shared<std::string>();
    auto into = std::make_shared<std::string>("\\");
    auto paths = std::make_shared<std::vector<std::string>>();
    cmd->add_option("PROJECT", *project, "The project file (.krv)")->required();
    cmd->add_option("--into", *into, "The directory to add to (a disc path; default the root)");
    cmd->add_option("PATH", *paths, "Files and folders to add, in this order")->required();
    cmd->callback([project, into, paths, &status] {
        Project model;
        if (!LoadProject(*project, model)) {
            status = EXIT_ERROR;
            return;
        }
        const int32_t target = FindEntryByDiscPath(model, *into);
        if (target < 0 || !IsDirId(target)) {
            PrintError(FormatMessage("%s: no directory %s in the project", project->c_str(),
                                     into->c_str()));
            status = EXIT_ERROR;
            return;
        }
        model.currentDir = target;
        std::vector<std::string> dropped;
        for (const std::string& path : *paths) dropped.push_back(DroppedPath(path));
        ErrorLog log;
        const int result = AddFromDisk(model, dropped, log);
        PrintLog(log);
        if (result == ADD_OUT_OF_MEMORY) TerminalPrompt().ShowMessage(OUT_OF_MEMORY_MESSAGE);
        if (result == ADD_STOPPED_ON_LIMIT) {
            PrintError("korvalin add: the project is full (1024 directories or 4096 files); "
                       "the rest was not added");
        }
        model.currentDir = 0;
        RecomputeLayout(model);
        const bool saved = SaveProject(*project, model);
        status = saved && result == ADD_FINISHED ? EXIT_OK : EXIT_ERROR;
    });
}

// The project to import into: the file when it exists, else a new one.
bool ProjectForImport(const std::string& path, Project& project) {
    if (std::filesystem::exists(path)) return LoadProject(path, project);
    StartNewProject(project, CurrentUtcTime());
    return true;
}

void AddImport(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand(
        "import", "Replace the project's tree by an IsoBuster tree listing's.");
    auto listing = std::make_shared<std::string>();
    auto project = std::make_shared<std::string>();
    auto mode = std::make_shared<int32_t>(IMPORT_RESPECTIVE_LBA);
    cmd->add_option("LISTING", *listing, "The listing (.txt), beside the extracted files")
        ->required();
    cmd->add_option("PROJECT", *project, "The project file (.krv); created when missing")
        ->required();
    cmd->add_option("--mode", *mode,
                    "0 pin the listed LBAs, 1 keep only their order, 2 drop them (default 0)")
        ->check(CLI::Range(0, 2));
    cmd->callback([listing, project, mode, &status] {
        Project model;
        if (!ProjectForImport(*project, model)) {
            status = EXIT_ERROR;
            return;
        }
        ErrorLog log;
        TerminalPrompt prompt;
        const int result =
            ImportIsoBusterListing(model, *listing, *mode, CurrentUtcTime(), log, prompt);
        PrintLog(log);
        if (result == IMPORT_CANNOT_OPEN) {
            PrintError(FormatMessage("%s: the listing cannot be read", listing->c_str()));
        }
        if (result == IMPORT_STOPPED_ON_LIMIT) {
            PrintError("korvalin import: the project is full (1024 directories or 4096 files); "
                       "the rest was not imported");
        }
        // An import that ended on an error leaves the project file as it was.
        if (result != IMPORT_FINISHED && result != IMPORT_STOPPED_ON_LIMIT) {
            if (result == IMPORT_ENDED_ON_ERROR) {
                PrintError(FormatMessage("korvalin import: %s was not changed", project->c_str()));
            }
            status = EXIT_ERROR;
            return;
        }
        RecomputeLayout(model);
        const bool saved = SaveProject(*project, model);
        status = saved && result == IMPORT_FINISHED ? EXIT_OK : EXIT_ERROR;
    });
}

}  // namespace

void RegisterAddImportCommands(CLI::App& app, int& status) {
    AddAdd(app, status);
    AddImport(app, status);
}

}  // namespace korvalin::cli
