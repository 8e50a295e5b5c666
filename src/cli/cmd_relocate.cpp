// SPDX-License-Identifier: GPL-3.0-or-later
// relocate: rewrites the source paths under one folder to another, for a
// project whose files moved.

#include "cli/cmd_relocate.h"

#include <iostream>
#include <memory>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "model/disc_path.h"
#include "model/message_format.h"
#include "model/project_file.h"
#include "model/relocate_sources.h"
#include "platform/clock.h"

namespace korvalin::cli {

bool ReportMissingSources(const Project& project, std::ostream& out) {
    const std::vector<int32_t> missing = FindMissingSources(project);
    for (int32_t index : missing) {
        out << DiscPathOfEntry(project, FileId(index))
            << ": source file not found: " << *project.fileTable[index].sourcePath << '\n';
    }
    return !missing.empty();
}

namespace {

struct RelocateArgs {
    std::string project, oldPrefix, newPrefix;
};

// The paths as stored: finding moved files beside the project would hide
// the very paths the user names.
int Relocate(const RelocateArgs& args) {
    Project project;
    std::string message;
    if (!OpenProjectFile(args.project, project, CurrentUtcTime(), message)) {
        PrintProblem(message);
        return EXIT_ERROR;
    }
    std::vector<int32_t> tooLong;
    const std::vector<SourcePathChange> changes =
        ReplaceSourcePrefix(project, args.oldPrefix, args.newPrefix, tooLong);
    for (int32_t index : tooLong) {
        PrintError(FormatMessage("korvalin: %s: the new source path would be longer than 511 "
                                 "characters; nothing saved",
                                 DiscPathOfEntry(project, FileId(index)).c_str()));
    }
    if (!tooLong.empty()) return EXIT_ERROR;
    const std::string keptBefore = project.keptSectors.path;
    const bool keptMoved = ReplaceKeptSectorsPrefix(project, args.oldPrefix, args.newPrefix);
    const std::vector<SourcePathChange> audio = ReplaceAudioSourcePrefix(project, args.oldPrefix, args.newPrefix);
    if (changes.empty() && !keptMoved && audio.empty()) {
        PrintError(FormatMessage("korvalin: %s: no source path starts with %s",
                                 args.project.c_str(), args.oldPrefix.c_str()));
        return EXIT_ERROR;
    }
    if (!SaveProject(args.project, project)) return EXIT_ERROR;
    for (const SourcePathChange& change : changes) {
        std::cout << DiscPathOfEntry(project, FileId(change.fileIndex)) << ": " << change.oldPath
                  << " -> " << change.newPath << '\n';
    }
    for (const SourcePathChange& change : audio) {
        std::cout << FormatMessage("audio track %02d: ", change.fileIndex + 2) << change.oldPath << " -> "
                  << change.newPath << '\n';
    }
    if (keptMoved) {
        std::cout << "kept sectors: " << keptBefore << " -> " << project.keptSectors.path << '\n';
    }
    return EXIT_OK;
}

}  // namespace

void RegisterRelocateCommands(CLI::App& app, int& status) {
    auto args = std::make_shared<RelocateArgs>();
    auto* cmd = app.add_subcommand(
        "relocate", "Rewrite the source paths that start with OLD_PREFIX to start with NEW_PREFIX, save.");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("OLD_PREFIX", args->oldPrefix, "The folder the sources were in")->required();
    cmd->add_option("NEW_PREFIX", args->newPrefix, "The folder they are in now")->required();
    cmd->callback([args, &status] { status = Relocate(*args); });
}

}  // namespace korvalin::cli
