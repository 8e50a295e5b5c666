// SPDX-License-Identifier: GPL-3.0-or-later
// complete-paths: the disc paths of a project for shell completion. Hidden
// from the help; the completion scripts call it.

#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "model/disc_names.h"
#include "model/disc_path.h"
#include "model/project_file.h"
#include "platform/clock.h"

namespace korvalin::cli {

namespace {

// "\DATA\A.BIN" -> "/DATA/A.BIN": a backslash would need quoting in a shell.
std::string SlashPath(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

// One level at a time, as file name completion goes: the entries whose path
// continues the prefix without another separator (a directory's own ends it).
bool CompletesPrefix(const std::string& path, const std::string& prefix) {
    if (path.size() <= prefix.size() ||
        UpperCaseAscii(path.substr(0, prefix.size())) != UpperCaseAscii(prefix)) {
        return false;
    }
    const size_t separator = path.find('/', prefix.size());
    return separator == std::string::npos || separator + 1 == path.size();
}

void PrintPaths(const std::string& projectPath, std::string prefix) {
    if (prefix.empty()) prefix = "/";
    Project project;
    std::string ignored;
    if (!OpenProjectFile(projectPath, project, CurrentUtcTime(), ignored)) return;
    prefix = SlashPath(prefix);
    for (int32_t d = 1; d < project.dirCount(); ++d) {
        const std::string path = SlashPath(DiscPathOfEntry(project, d)) + "/";
        if (CompletesPrefix(path, prefix)) std::cout << path << '\n';
    }
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        const std::string path = SlashPath(DiscPathOfEntry(project, FileId(f)));
        if (CompletesPrefix(path, prefix)) std::cout << path << '\n';
    }
}

}  // namespace

void RegisterCompletePathsCommand(CLI::App& app, int& status) {
    auto projectPath = std::make_shared<std::string>();
    auto prefix = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand("complete-paths", "Print the project's disc paths that start with PREFIX");
    cmd->group("");
    cmd->add_option("PROJECT", *projectPath)->required();
    cmd->add_option("PREFIX", *prefix);
    cmd->callback([projectPath, prefix, &status] {
        PrintPaths(*projectPath, *prefix);
        status = 0;  // nothing to offer is not an error while typing
    });
}

}  // namespace korvalin::cli
