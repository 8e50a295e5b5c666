// SPDX-License-Identifier: GPL-3.0-or-later
// system-area: the sixteen sectors before the volume descriptor, and the two
// settings that decide what the compile writes there.

#include <iostream>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "image/system_area_file.h"

namespace korvalin::cli {

namespace {

struct SystemAreaOptions {
    std::string project;
    std::string from;
    bool clear = false;
    bool show = false;
    std::string keep;   // "on", "off" or empty (left as it is)
    std::string stamp;
};

void ApplySetting(const std::string& value, bool& setting) {
    if (!value.empty()) setting = value == "on";
}

int RunSystemArea(const SystemAreaOptions& o) {
    Project project;
    if (!LoadProject(o.project, project)) return EXIT_ERROR;
    std::string message;
    if (!o.from.empty() && !LoadSystemAreaFromFile(project, o.from, message)) {
        PrintProblem(message);
        return EXIT_ERROR;
    }
    if (o.clear) ClearSystemArea(project);
    ApplySetting(o.keep, project.settings.keepSystemArea);
    ApplySetting(o.stamp, project.settings.stampSystemArea);
    const bool changes = !o.from.empty() || o.clear || !o.keep.empty() || !o.stamp.empty();
    if (changes && !SaveProject(o.project, project)) return EXIT_ERROR;
    if (!message.empty()) std::cout << message << '\n';
    if (o.show) std::cout << DescribeSystemArea(project);
    return EXIT_OK;
}

}  // namespace

void RegisterSystemAreaCommands(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand(
        "system-area", "Take the system area (sectors 0-15, license and logo) from a file, "
                       "clear it or show it; set what the compile writes there.");
    auto o = std::make_shared<SystemAreaOptions>();
    cmd->add_option("PROJECT", o->project, "The project file (.krv)")->required();
    auto* from = cmd->add_option("--from", o->from,
                                 "A raw or 2048-byte image, a cue sheet, or a license file "
                                 "(12 or 16 sectors of 2352, 2336 or 2048 bytes)");
    auto* clear = cmd->add_flag("--clear", o->clear, "Make the area all zero again");
    from->excludes(clear);
    auto* show = cmd->add_flag("--show", o->show, "Print what the area holds and the settings");
    const auto onOff = CLI::IsMember({"on", "off"});
    auto* keep = cmd->add_option("--keep", o->keep, "Keep system-area data: on or off")
                     ->check(onOff);
    auto* stamp = cmd->add_option("--stamp", o->stamp, "Stamp empty system area: on or off")
                      ->check(onOff);
    cmd->callback([o, from, clear, show, keep, stamp, &status] {
        if (from->count() + clear->count() + show->count() + keep->count() + stamp->count() == 0) {
            throw CLI::ValidationError("system-area", "give --from, --clear, --show, --keep or --stamp");
        }
        status = RunSystemArea(*o);
    });
}

}  // namespace korvalin::cli
