// SPDX-License-Identifier: GPL-3.0-or-later
// dump: a disc image in, its files, a project pinned to the disc's LBAs
// and the tree listing out.

#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "import/dump_audio_tracks.h"
#include "import/dump_disc.h"
#include "model/message_format.h"

namespace korvalin::cli {

namespace {

void PrintSummary(const DumpResult& result) {
    std::cout << FormatMessage("%d directories, %d files, %lld bytes extracted to %s", result.directories,
                               result.files, static_cast<long long>(result.bytes), result.filesFolder.c_str())
              << '\n';
    std::cout << FormatMessage("%d aliases (names for data another file holds) became dummy files", result.aliases)
              << '\n';
    if (result.audioTracks > 0) {
        std::cout << FormatMessage("%d audio tracks written as WAV files to %s", result.audioTracks,
                                   (std::filesystem::path(result.filesFolder).parent_path() / DUMP_TRACKS_FOLDER).c_str())
                  << '\n';
    }
    if (!result.unrepresented.empty()) {
        std::cout << (result.keptPath.empty() ? "Not kept by the project (a compile will differ here):\n"
                                              : "Not held by the project (the kept sectors give them back while "
                                                "the tree is unchanged):\n");
        for (const std::string& line : result.unrepresented) std::cout << "  " << line << '\n';
    }
    if (!result.keptPath.empty()) {
        std::cout << FormatMessage("%d sectors the project cannot generate kept verbatim in %s (%lld bytes)",
                                   result.keptSectors, result.keptPath.c_str(),
                                   static_cast<long long>(result.keptBytes))
                  << '\n';
    } else if (!result.notKeptReason.empty()) {
        std::cout << "No sectors kept: " << result.notKeptReason << '\n';
    }
    std::cout << "Listing: " << result.listingPath << '\n';
    std::cout << "Project: " << result.projectPath << '\n';
}

// Each finding "kind: names" as {"kind", "names"}.
Json DumpJson(const DumpResult& result) {
    Json unrepresented = Json::array();
    for (const std::string& line : result.unrepresented) {
        const size_t colon = line.find(": ");
        const bool split = colon != std::string::npos;
        unrepresented.push_back({{"kind", split ? line.substr(0, colon) : line},
                                 {"names", split ? line.substr(colon + 2) : ""}});
    }
    return Json{{"directories", result.directories},
                {"files", result.files},
                {"bytes", result.bytes},
                {"aliases", result.aliases},
                {"audioTracks", result.audioTracks},
                {"filesFolder", result.filesFolder},
                {"listing", result.listingPath},
                {"project", result.projectPath},
                {"unrepresented", unrepresented},
                {"keptSectors", result.keptSectors},
                {"keptBytes", result.keptBytes},
                {"keptFile", result.keptPath.empty() ? Json(nullptr) : Json(result.keptPath)}};
}

int RunDump(const DumpOptions& options, bool asJson) {
    CollectedErrors errors;
    ProgressBar bar("dumping", 0, false);
    DumpResult result;
    std::string message;
    const int status = DumpDiscImage(options, result, message,
                                     [&bar](int32_t position) { bar.Update(position, BULK_PROGRESS_RANGE); });
    bar.Finish();
    if (status != 0) {
        PrintProblem(message);
        if (asJson) PrintJson(Json::object(), false, errors);
        return EXIT_ERROR;
    }
    if (asJson) {
        PrintJson(DumpJson(result), true, errors);
    } else {
        PrintSummary(result);
    }
    return EXIT_OK;
}

}  // namespace

void RegisterDumpCommands(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand(
        "dump", "Extract a disc image (.cue, .bin, .iso) into OUTDIR/files and write a project pinned to its LBAs.");
    auto options = std::make_shared<DumpOptions>();
    cmd->add_option("IMAGE", options->imagePath, "The disc image or its cue sheet")->required();
    cmd->add_option("OUTDIR", options->outDir, "The folder to write into (empty or new)")->required();
    cmd->add_option("--project", options->projectPath, "The project file (default OUTDIR/<LABEL>.krv)");
    cmd->add_flag("--force", options->force, "Write into a folder that is not empty, replace the project");
    cmd->add_flag("--no-keep-sectors{false}", options->keepSectors,
                  "Keep no sectors the project cannot generate (the compile will differ there)");
    auto asJson = std::make_shared<bool>(false);
    cmd->add_flag("--json", *asJson, "Print one JSON object instead of the summary");
    cmd->callback([options, asJson, &status] { status = RunDump(*options, *asJson); });
}

}  // namespace korvalin::cli
