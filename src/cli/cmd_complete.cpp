// SPDX-License-Identifier: GPL-3.0-or-later
// complete-paths, complete-operand: what the shell completion scripts ask
// the program, hidden from the help.

#include <iostream>
#include <map>
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

// What an operand names, by its name in the help: krv a project file, img
// an image, lst a listing, action a word of track, disc a disc path, dir a
// folder, file any file.
// inject's DISCPATH is a path inside an image, not a project: nothing to
// list it from, so it completes as a file.
std::string OperandKind(const std::string& subcommand, const std::string& name) {
    static const std::map<std::string, std::string> kinds = {
        {"PROJECT", "krv"},    {"NEW", "krv"},       {"IMAGE", "img"},
        {"LISTING", "lst"},    {"DISCPATH", "disc"}, {"DIRPATH", "disc"},
        {"FILEPATH", "disc"},  {"OTHERPATH", "disc"}, {"OLD_PREFIX", "dir"},
        {"NEW_PREFIX", "dir"}, {"OUTDIR", "dir"},    {"DIR", "dir"},
        {"LABEL", "none"},      {"ACTION", "action"}};
    if (subcommand == "inject" && name == "DISCPATH") return "file";
    const auto found = kinds.find(name);
    return found != kinds.end() ? found->second : "file";
}

// The kind of operand `index` (from 0) of a subcommand; an operand that
// takes many values covers every index from its own on.
std::string KindOfOperand(CLI::App& app, const std::string& subcommand, int index) {
    CLI::App* sub = nullptr;
    try {
        sub = app.get_subcommand(subcommand);
    } catch (const CLI::OptionNotFound&) {
        return "file";
    }
    const auto operands = sub->get_options([](const CLI::Option* o) { return o->get_positional(); });
    for (const CLI::Option* operand : operands) {
        if (index == 0 || operand->get_items_expected_max() > 1) {
            return OperandKind(subcommand, operand->get_name());
        }
        --index;
    }
    return "none";
}

}  // namespace

void RegisterCompleteCommands(CLI::App& app, int& status) {
    auto subcommand = std::make_shared<std::string>();
    auto index = std::make_shared<int>(0);
    auto* kind = app.add_subcommand("complete-operand", "Print what operand INDEX of SUBCOMMAND names");
    kind->group("");
    kind->add_option("SUBCOMMAND", *subcommand)->required();
    kind->add_option("INDEX", *index)->required();
    kind->callback([&app, subcommand, index, &status] {
        std::cout << KindOfOperand(app, *subcommand, *index) << '\n';
        status = 0;
    });

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
