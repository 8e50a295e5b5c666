// SPDX-License-Identifier: GPL-3.0-or-later
// add, import: taking files and folders from disk, and an IsoBuster listing.

#include <iostream>

#include "cli/cli_support.h"
#include "cli/cli_xa.h"
#include "cli/commands.h"
#include "cli/json_output.h"
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
        std::string line = std::string(MESSAGE_CAPTION) + ": " + text;
        if (!line.empty() && line.back() == '\n') line.pop_back();
        PrintError(line);
    }
    bool AskOkCancel(const std::string& text) override {
        ShowMessage(text);
        return false;
    }
    std::optional<std::string> AskSaveFile(const SaveFileRequest&) override { return std::nullopt; }
};

// With --json the log goes into the object instead of standard error.
void PrintLog(const ErrorLog& log, Json* report) {
    if (report != nullptr) {
        report->update(ErrorLogJson(log));
    } else if (log.count() > 0) {
        std::cerr << ErrorLogText(log);
    }
}

void AddLogFlags(CLI::App& cmd, bool& strict, bool& json) {
    cmd.add_flag("--strict", strict, "Exit with 1 when anything was refused or logged");
    cmd.add_flag("--json", json, "Print one JSON object with the error log's lines");
}

// What a run of add or import gathers for --json.
struct LoggedRun {
    CollectedErrors errors;
    Json report = Json::object();
    bool finished = false;
};

// Ends a --json run: the log's lines, whether anything was refused, "ok".
void FinishJson(LoggedRun& run, int status) {
    if (!run.report.contains("log")) run.report.update(ErrorLogJson(ErrorLog()));
    run.report["refused"] = !run.finished || run.report["logErrors"].get<int>() > 0;
    PrintJson(run.report, status == EXIT_OK, run.errors);
}

// What a command that reports through the error log ends with: with
// --strict anything logged fails the command (what was done is saved).
EditEnd LoggedEnd(const ErrorLog& log, bool strict, bool finished) {
    return finished && !(strict && log.count() > 0) ? EditEnd::Save : EditEnd::SaveAndFail;
}

void AddAdd(CLI::App& app, int& status) {
    struct Args {
        std::string project, into = "\\";
        std::vector<std::string> paths;
        bool strict = false, json = false, rawXa = false;
    };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand(
        "add", "Add files and folders from disk, as dropped on a directory of the tree.");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("--into", args->into,
                    "The directory to add to (a disc path; default the root)");
    cmd->add_option("PATH", args->paths, "Files and folders to add, in this order")->required();
    AddLogFlags(*cmd, args->strict, args->json);
    cmd->add_flag("--xa", args->rawXa,
                  "Mark the added files raw XA (whole 2336-byte sectors, written as Form 1/Form 2)");
    cmd->callback([args, &status] {
        LoggedRun run;
        status = EditProject(args->project, [&](Project& model) {
            const int32_t target = FindEntryByDiscPath(model, args->into);
            if (target < 0 || !IsDirId(target)) {
                PrintError(FormatMessage("korvalin: %s: no directory %s in the project",
                                         args->project.c_str(), args->into.c_str()));
                return EditEnd::Refused;
            }
            model.currentDir = target;
            std::vector<std::string> dropped;
            for (const std::string& path : args->paths) dropped.push_back(NormalisedPath(path));
            ErrorLog log;
            const int32_t firstNew = model.fileCount();
            const int result = AddFromDisk(model, dropped, log);
            run.finished = result == ADD_FINISHED;
            PrintLog(log, args->json ? &run.report : nullptr);
            if (result == ADD_OUT_OF_MEMORY) TerminalPrompt().ShowMessage(OUT_OF_MEMORY_MESSAGE);
            if (result == ADD_STOPPED_ON_LIMIT) {
                PrintError(FormatMessage("korvalin: %s: the project is full (1024 directories "
                                         "or 4096 files); the rest was not added",
                                         args->project.c_str()));
            }
            if (args->rawXa && !MarkAddedFilesRawXa(model, firstNew)) return EditEnd::Refused;
            if (!args->rawXa) NoteRawXaLookalikes(model, firstNew, args->project);
            model.currentDir = 0;
            return LoggedEnd(log, args->strict, run.finished);
        });
        if (args->json) FinishJson(run, status);
    });
}

void AddImport(CLI::App& app, int& status) {
    struct Args {
        std::string listing, project;
        int32_t mode = IMPORT_RESPECTIVE_LBA;
        bool strict = false, json = false;
    };
    auto args = std::make_shared<Args>();
    auto* cmd =
        app.add_subcommand("import", "Replace the project's tree by an IsoBuster tree listing's.");
    cmd->add_option("LISTING", args->listing, "The listing (.txt), beside the extracted files")
        ->required();
    cmd->add_option("PROJECT", args->project, "The project file (.krv); created when missing")
        ->required();
    cmd->add_option("--mode", args->mode,
                    "0 pin the listed LBAs, 1 keep only their order, 2 drop them (default 0)")
        ->transform(DecimalNumber(2));
    AddLogFlags(*cmd, args->strict, args->json);
    cmd->callback([args, &status] {
        LoggedRun run;
        const std::string listing = NormalisedPath(args->listing);
        if (!RequireRegularFile(listing)) {
            status = EXIT_ERROR;
            if (args->json) FinishJson(run, status);
            return;
        }
        const auto import = [&](Project& model) {
            ErrorLog log;
            TerminalPrompt prompt;
            const int result =
                ImportIsoBusterListing(model, listing, args->mode, CurrentUtcTime(), log, prompt);
            run.finished = result == IMPORT_FINISHED;
            PrintLog(log, args->json ? &run.report : nullptr);
            if (result == IMPORT_CANNOT_OPEN) {
                PrintError(FormatMessage("korvalin: %s: the listing cannot be read", args->listing.c_str()));
            }
            if (result == IMPORT_STOPPED_ON_LIMIT) {
                PrintError(FormatMessage("korvalin: %s: the project is full (1024 directories "
                                         "or 4096 files); the rest was not imported",
                                         args->project.c_str()));
            }
            // An import that ended on an error leaves the project file as it was.
            if (result == IMPORT_ENDED_ON_ERROR) {
                PrintError(
                    FormatMessage("korvalin: %s: not changed (the import stopped)", args->project.c_str()));
            }
            if (result != IMPORT_FINISHED && result != IMPORT_STOPPED_ON_LIMIT)
                return EditEnd::Refused;
            return LoggedEnd(log, args->strict, result == IMPORT_FINISHED);
        };
        status = EditProject(args->project, import, true);
        if (args->json) FinishJson(run, status);
    });
}

}  // namespace

void RegisterAddImportCommands(CLI::App& app, int& status) {
    AddAdd(app, status);
    AddImport(app, status);
}

}  // namespace korvalin::cli
