// check, compile, reset-lbas, remove-warnings: the compile command and the
// two commands that clear LBA marks.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/cli_support.h"
#include "cli/cmd_relocate.h"
#include "cli/commands.h"
#include "image/compile_image.h"
#include "image/image_naming.h"
#include "layout/clear_lba_marks.h"
#include "layout/compile_command.h"
#include "layout/precompile_check.h"
#include "layout/recompute_layout.h"

namespace korvalin::cli {

namespace {

// A one-line progress bar on a terminal: sectors written and speed.
class ProgressBar {
public:
    ProgressBar(int32_t totalSectors, int32_t sectorBytes)
        : total_(totalSectors), sectorBytes_(sectorBytes), start_(Clock::now()), lastDraw_(start_) {}
    void Update(int32_t lba) {
        const auto now = Clock::now();
        if (now - lastDraw_ < std::chrono::milliseconds(100)) return;
        lastDraw_ = now;
        Draw(lba, now);
    }
    void Finish() {
        Draw(total_, Clock::now());
        std::fputc('\n', stderr);
    }

private:
    using Clock = std::chrono::steady_clock;
    void Draw(int32_t lba, Clock::time_point now) const {
        constexpr int WIDTH = 40;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double fraction = total_ > 0 ? std::clamp(static_cast<double>(lba) / total_, 0.0, 1.0) : 1.0;
        const double megabytes = static_cast<double>(lba) * sectorBytes_ / 1e6;
        const int filled = static_cast<int>(fraction * WIDTH);
        std::fprintf(stderr, "\r[%s%s] %d/%d sectors  %.1f MB/s ", std::string(filled, '#').c_str(),
                     std::string(WIDTH - filled, '.').c_str(), lba, total_,
                     seconds > 0 ? megabytes / seconds : 0.0);
        std::fflush(stderr);
    }
    int32_t total_;
    int32_t sectorBytes_;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
};

// Answers the compile command's questions from the command line: OK to the
// displaced warning only with --yes, the image name given for the save
// dialog. Messages go to standard error, except the compile's success text.
class CommandLinePrompt : public UserPrompt {
public:
    CommandLinePrompt(std::string imagePath, bool yes, ProgressBar* bar)
        : imagePath_(std::move(imagePath)), yes_(yes), bar_(bar) {}
    void ShowMessage(const std::string& text) override {
        // After the save dialog the only message is the compile's result.
        if (compiling_ && bar_ != nullptr) bar_->Finish();
        if (compiling_ && text == COMPILE_SUCCESS_MESSAGE) {
            std::cout << text << '\n';
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
    ProgressBar* bar_;
    bool compiling_ = false;
};

bool LoadAndLayOut(const std::string& path, Project& project) {
    if (!LoadProject(path, project)) return false;
    RecomputeLayout(project);
    return true;
}

void AddCheck(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("check", "Run the pre-compile check and print what it finds.");
    auto path = std::make_shared<std::string>();
    cmd->add_option("PROJECT", *path, "The project file (.krv)")->required();
    cmd->callback([path, &status] {
        Project project;
        if (!LoadAndLayOut(*path, project)) {
            status = EXIT_ERROR;
            return;
        }
        const std::vector<std::string> messages = PreCompileCheck(project);
        for (const std::string& message : messages) std::cout << message << '\n';
        const bool missing = ReportMissingSources(project, std::cout);
        status = messages.empty() && !missing ? EXIT_OK : EXIT_ERROR;
    });
}

void AddCompile(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("compile", "Compile the disc image (.bin + .cue, .iso, or .iml).");
    auto path = std::make_shared<std::string>();
    auto image = std::make_shared<std::string>();
    auto yes = std::make_shared<bool>(false);
    cmd->add_option("PROJECT", *path, "The project file (.krv)")->required();
    cmd->add_option("IMAGE", *image, "The image to write; its extension selects the variant")
        ->required();
    cmd->add_flag("--yes", *yes, "Compile even when the layout displaced pinned LBAs");
    cmd->callback([path, image, yes, &status] {
        Project project;
        if (!LoadAndLayOut(*path, project)) {
            status = EXIT_ERROR;
            return;
        }
        std::unique_ptr<ProgressBar> bar;
        if (::isatty(STDERR_FILENO)) {
            const int32_t sectorBytes = ChooseImageVariant(*image).rawSectors == 1 ? 2352 : 2048;
            bar = std::make_unique<ProgressBar>(project.layoutState.totalSectors, sectorBytes);
        }
        ProgressCallback progress;
        if (bar) progress = [&bar](int32_t lba) { bar->Update(lba); };
        CommandLinePrompt prompt(*image, *yes, bar.get());
        const CompileCommandResult result = RunCompileCommand(project, prompt, progress);
        const bool created = result.code == COMPILE_COMMAND_RAN &&
                             result.compileMessage == COMPILE_SUCCESS_MESSAGE;
        status = created ? EXIT_OK : EXIT_ERROR;
    });
}

// Loads, clears marks, lays the tree out again and saves in place.
void AddClearing(CLI::App& app, int& status, const char* name, const char* description,
                 void (*clear)(Project&)) {
    auto* cmd = app.add_subcommand(name, description);
    auto path = std::make_shared<std::string>();
    cmd->add_option("PROJECT", *path, "The project file (.krv)")->required();
    cmd->callback([path, clear, &status] {
        Project project;
        if (!LoadProject(*path, project)) {
            status = EXIT_ERROR;
            return;
        }
        clear(project);
        RecomputeLayout(project);
        status = SaveProject(*path, project) ? EXIT_OK : EXIT_ERROR;
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
