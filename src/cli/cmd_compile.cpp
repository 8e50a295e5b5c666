// SPDX-License-Identifier: GPL-3.0-or-later
// check, compile, reset-lbas, remove-warnings: the compile command and the
// two commands that clear LBA marks.

#include <chrono>
#include <iostream>
#include <memory>

#include "cli/cli_support.h"
#include "cli/cmd_relocate.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "image/compile_image.h"
#include "image/compile_outputs.h"
#include "image/image_naming.h"
#include "layout/clear_lba_marks.h"
#include "layout/compile_command.h"
#include "layout/precompile_check.h"
#include "layout/recompute_layout.h"
#include "model/disc_path.h"
#include "model/message_format.h"
#include "model/relocate_sources.h"

namespace korvalin::cli {

namespace {

// Answers the compile command's questions from the command line: OK to the
// displaced warning only with --yes, the image name given for the save
// dialog. Messages go to standard error, except the compile's success text,
// which goes to standard output unless `showSuccess` is false.
class CommandLinePrompt : public UserPrompt {
  public:
    CommandLinePrompt(std::string imagePath, bool yes, bool showSuccess, ProgressBar& bar)
        : imagePath_(std::move(imagePath)), yes_(yes), showSuccess_(showSuccess), bar_(bar) {}
    void ShowMessage(const std::string& text) override {
        // After the save dialog the only message is the compile's result.
        if (compiling_) bar_.Finish();
        if (compiling_ && text == COMPILE_SUCCESS_MESSAGE) {
            if (showSuccess_) std::cout << text << '\n';
        } else {
            PrintError(text);
        }
    }
    bool AskOkCancel(const std::string& text) override {
        PrintError(text);
        if (!yes_) PrintError("korvalin: not compiled (--yes compiles anyway)");
        return yes_;
    }
    std::optional<std::string> AskSaveFile(const SaveFileRequest&) override {
        compiling_ = true;
        return imagePath_;
    }

  private:
    std::string imagePath_;
    bool yes_;
    bool showSuccess_;
    ProgressBar& bar_;
    bool compiling_ = false;
};

bool LoadAndLayOut(const std::string& path, Project& project) {
    if (!LoadProject(path, project)) return false;
    RecomputeLayout(project);
    return true;
}

Json CheckJson(const Project& project, const std::vector<std::string>& messages) {
    Json missing = Json::array();
    for (int32_t index : FindMissingSources(project)) {
        missing.push_back({{"path", DiscPathOfEntry(project, FileId(index))},
                           {"source", *project.fileTable[index].sourcePath}});
    }
    return Json{{"messages", messages},
                {"warnings", PreCompileWarnings(project)},
                {"missingSources", missing},
                {"keptSectors", project.keptSectors.count}};
}

void AddCheck(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("check", "Run the pre-compile check and print what it finds.");
    auto path = std::make_shared<std::string>();
    auto asJson = std::make_shared<bool>(false);
    cmd->add_option("PROJECT", *path, "The project file (.krv)")->required();
    cmd->add_flag("--json", *asJson, "Print one JSON object instead of the messages");
    cmd->callback([path, asJson, &status] {
        CollectedErrors errors;
        Project project;
        if (!LoadAndLayOut(*path, project)) {
            status = EXIT_ERROR;
            if (*asJson) PrintJson(Json::object(), false, errors);
            return;
        }
        if (*asJson) {
            const Json report = CheckJson(project, CompileReadinessCheck(project));
            const bool ok = report["messages"].empty() && report["missingSources"].empty();
            status = ok ? EXIT_OK : EXIT_ERROR;
            PrintJson(report, ok, errors);
            return;
        }
        const std::vector<std::string> messages = CompileReadinessCheck(project);
        for (const std::string& message : messages) std::cout << message << '\n';
        for (const std::string& warning : PreCompileWarnings(project)) std::cout << warning << '\n';
        if (project.keptSectors.Present()) {
            std::cout << FormatMessage("%u sectors kept verbatim in %s", project.keptSectors.count,
                                       project.keptSectors.path.c_str())
                      << '\n';
        }
        const bool missing = ReportMissingSources(project, std::cout);
        status = messages.empty() && !missing ? EXIT_OK : EXIT_ERROR;
    });
}

// Refuses, naming the file, a compile that could destroy the project, a
// source or (without --force) an earlier image.
bool OutputsMayBeWritten(const Project& project, const std::string& projectPath,
                         const std::string& image, bool force) {
    const std::string unsafe = UnsafeCompileOutput(project, projectPath, image);
    if (!unsafe.empty()) {
        PrintProblem(unsafe);
        return false;
    }
    if (force) return true;
    for (const std::string& existing : ExistingCompileOutputs(image)) {
        PrintError(FormatMessage("korvalin: %s: already exists (use --force to replace it)",
                                 existing.c_str()));
        return false;
    }
    return true;
}

void AddCompile(CLI::App& app, int& status) {
    struct Args {
        std::string project, image;
        bool yes = false, force = false, quiet = false, json = false, sync = false;
    };
    auto args = std::make_shared<Args>();
    auto* cmd =
        app.add_subcommand("compile", "Compile the disc image (.bin + .cue, .iso, or .iml).");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("IMAGE", args->image, "The image to write; its extension selects the variant")
        ->required();
    cmd->add_flag("--yes", args->yes, "Compile even when the layout displaced pinned LBAs");
    cmd->add_flag("--force", args->force,
                  "Replace the image and its cue sheet or IML file when they exist");
    cmd->add_flag("--quiet", args->quiet, "Print nothing on standard output when it succeeds");
    cmd->add_flag("--json", args->json, "Print one JSON object instead of the result text");
    cmd->add_flag("--sync", args->sync,
                  "Finish only when the outputs are on the disk, sending the image there as it is written");
    cmd->callback([args, &status] {
        status = EXIT_ERROR;
        CollectedErrors errors;
        Json report{{"result", nullptr}, {"image", nullptr}, {"companion", nullptr},
                    {"sectors", 0}, {"seconds", 0.0}};
        Project project;
        if (!LoadAndLayOut(args->project, project) ||
            !OutputsMayBeWritten(project, args->project, args->image, args->force)) {
            if (args->json) PrintJson(report, false, errors);
            return;
        }
        const int32_t sectorBytes = ChooseImageVariant(args->image).rawSectors == 1 ? 2352 : 2048;
        ProgressBar bar("compiling", sectorBytes);
        const int64_t total = DiscEndLba(project);
        ProgressCallback progress;
        if (bar.Shown()) progress = [&bar, total](int32_t lba) { bar.Update(lba, total); };
        CommandLinePrompt prompt(args->image, args->yes, !args->quiet && !args->json, bar);
        const auto start = std::chrono::steady_clock::now();
        const CompileCommandResult result = RunCompileCommand(project, prompt, progress, args->sync);
        const bool created =
            result.code == COMPILE_COMMAND_RAN && result.compileMessage == COMPILE_SUCCESS_MESSAGE;
        status = created ? EXIT_OK : EXIT_ERROR;
        if (!args->json) return;
        if (result.code == COMPILE_COMMAND_RAN) {
            const ImageVariant variant = ChooseImageVariant(args->image);
            report["result"] = result.compileMessage;
            report["image"] = result.imagePath;
            if (variant.HasCompanion()) report["companion"] = variant.outputSidecarPath;
            report["sectors"] = project.layoutState.totalSectors;
            report["seconds"] =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        PrintJson(report, created, errors);
    });
}

// Clears marks of the laid-out project; EditProject lays it out again and saves.
void AddClearing(CLI::App& app, int& status, const char* name, const char* description,
                 void (*clear)(Project&)) {
    auto* cmd = app.add_subcommand(name, description);
    auto path = std::make_shared<std::string>();
    cmd->add_option("PROJECT", *path, "The project file (.krv)")->required();
    cmd->callback([path, clear, &status] {
        status = EditProject(*path, [clear](Project& project) {
            clear(project);
            return EditEnd::Save;
        });
    });
}

}  // namespace

void RegisterCompileCommands(CLI::App& app, int& status) {
    AddCheck(app, status);
    AddCompile(app, status);
    AddClearing(app, status, "reset-lbas",
                "Clear every pin and displaced mark (the root keeps its pin), lay out, save.",
                ResetLbas);
    AddClearing(app, status, "remove-warnings",
                "Clear every displaced mark (pins stay), lay out, save.", RemoveWarnings);
}

}  // namespace korvalin::cli
