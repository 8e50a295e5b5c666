// SPDX-License-Identifier: GPL-3.0-or-later
// inject: replaces files' data inside an existing image, in the sectors
// they already have.

#include <iostream>
#include <memory>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "model/message_format.h"
#include "patch/inject_file.h"

namespace korvalin::cli {

namespace {

struct InjectArguments {
    std::string image;
    std::string discPath;
    std::string file;
    std::string allFrom;
};

std::string Count(size_t count, const char* one, const char* many) {
    return FormatMessage("%zu %s", count, count == 1 ? one : many);
}

void PrintReport(const InjectReport& report) {
    for (const InjectedFile& f : report.injected) {
        std::cout << FormatMessage("%s <- %s: %s, %s, size %u -> %u", f.discPath.c_str(), f.source.c_str(),
                                   Count(static_cast<size_t>(f.sectors), "sector", "sectors").c_str(),
                                   f.form2 ? "Form 2" : "Form 1", f.oldSize, f.newSize)
                  << '\n';
    }
    for (const std::string& line : report.skipped) std::cout << "skipped: " << line << '\n';
    std::cout << FormatMessage("%s injected, %zu skipped", Count(report.injected.size(), "file", "files").c_str(),
                               report.skipped.size())
              << '\n';
}

int RunInject(const InjectArguments& args) {
    const bool folder = !args.allFrom.empty();
    if (folder == !args.file.empty()) {
        PrintError("korvalin: give either DISCPATH FILE or --all-from DIR");
        return EXIT_USAGE;
    }
    InjectReport report;
    std::string message;
    const bool done = folder ? InjectFolder(args.image, args.allFrom, report, message)
                             : InjectFile(args.image, args.discPath, args.file, report, message);
    if (folder || done) PrintReport(report);
    if (!done) {
        PrintProblem(message);
        return EXIT_ERROR;
    }
    return EXIT_OK;
}

}  // namespace

void RegisterInjectCommands(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand(
        "inject", "Replace a file's data inside an image (.bin, .cue or .iso), in the sectors it already has.");
    auto args = std::make_shared<InjectArguments>();
    cmd->add_option("IMAGE", args->image, "The image or its cue sheet")->required();
    auto* discPath = cmd->add_option("DISCPATH", args->discPath, "The file on the disc, e.g. \\DATA\\FILE.BIN");
    auto* file = cmd->add_option("FILE", args->file, "The new data")->needs(discPath);
    cmd->add_option("--all-from", args->allFrom, "Inject every file of this folder tree found on the disc")
        ->excludes(discPath)
        ->excludes(file);
    cmd->callback([args, &status] { status = RunInject(*args); });
}

}  // namespace korvalin::cli
