// SPDX-License-Identifier: GPL-3.0-or-later
// new, ls, save-as: creating, listing and re-saving project files.

#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/disc_facts_json.h"
#include "cli/json_output.h"
#include "layout/project_summary.h"
#include "layout/recompute_layout.h"
#include "model/calendar_time.h"
#include "model/disc_path.h"
#include "model/list_rows.h"
#include "model/message_format.h"
#include "platform/clock.h"

namespace korvalin::cli {

namespace {

using json = Json;

json EntryJson(const Project& project, int32_t id) {
    const EntryRecord& e = EntryById(project, id);
    json out{{"id", id},
                {"path", DiscPathOfEntry(project, id)},
                {"name", std::string(e.Name())},
                {"lba", e.lba},
                {"size", e.size},
                {"flags", e.flags},
                {"parent", e.parent},
                {"dosDate", e.dosDate},
                {"dosTime", e.dosTime},
                {"date", IsoDateTime(AddDisplayHour(UnpackDos(e.dosDate, e.dosTime)))},
                {"dateUtc", IsoDateTime(UnpackDos(e.dosDate, e.dosTime))},
                {"recordLength", e.recordLength}};
    if (!e.discFacts.Empty()) out["disc"] = DiscFactsJson(e, id == 0, project);
    return out;
}

json ProjectJson(const Project& project) {
    const VolumeInfo& v = project.volumeInfo;
    const LayoutState& s = project.layoutState;
    json out;
    out["label"] = std::string(v.Label());
    out["volumeDate"] = {{"day", v.day},   {"month", v.month},   {"year", v.year},
                         {"hour", v.hour}, {"minute", v.minute}, {"second", v.second}};
    out["layout"] = {{"totalSectors", s.totalSectors},
                     {"pathTableBytes", s.pathTableBytes},
                     {"pathTableSectors", s.pathTableSectors},
                     {"registeredFileCount", s.registeredFileCount},
                     {"nextFreeLba", s.nextFreeLba},
                     {"firstFileLba", s.firstFileLba},
                     {"firstSubdirLba", s.firstSubdirLba},
                     {"lbaDisplaced", s.lbaDisplaced}};
    if (!project.volumeTexts.Empty()) out["volumeTexts"] = VolumeTextsJson(project.volumeTexts);
    out["dirs"] = json::array();
    for (int32_t d = 0; d < project.dirCount(); ++d) out["dirs"].push_back(EntryJson(project, d));
    out["files"] = json::array();
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        json file = EntryJson(project, FileId(f));
        const auto& source = project.fileTable[f].sourcePath;
        file["source"] = source ? json(*source) : json(nullptr);
        if (project.fileTable[f].rawXa) file["rawXa"] = true;  // absent: a plain file
        if (project.fileTable[f].daTrack > 0) file["daTrack"] = project.fileTable[f].daTrack;  // absent: no DA file
        out["files"].push_back(file);
    }
    const KeptSectorsRef& kept = project.keptSectors;
    out["keptSectors"] = {{"count", kept.count}, {"file", kept.Present() ? json(kept.path) : json(nullptr)}};
    out["audioTracks"] = AudioTracksJson(project);
    out["extents"] = json::array();
    for (const Extent& e : project.extentTable) {
        out["extents"].push_back({{"entryId", e.entryId},
                                  {"firstLba", e.firstLba},
                                  {"lastLba", e.lastLba},
                                  {"kind", e.kind}});
    }
    return out;
}

void PrintRow(std::ostream& out, const std::string& path, const ListRow& row) {
    out << FormatMessage("%-34s %12s %11s  %s  %s", path.c_str(), row.lbaText.c_str(),
                         row.sizeText.c_str(), row.dateText.c_str(), row.pathText.c_str());
    out << '\n';
}

// Depth first, each directory's rows as the list view shows them.
void PrintTree(std::ostream& out, const Project& project, int32_t dirIndex, int depth) {
    if (depth > 9) return;  // a broken parent chain cannot loop
    const std::vector<ListRow> rows = BuildListRows(project, dirIndex);
    for (size_t i = 1; i < rows.size(); ++i) {
        const ListRow& row = rows[i];
        if (IsDirId(row.itemValue)) {
            PrintRow(out, DiscPathOfEntry(project, row.itemValue) + "\\", row);
            PrintTree(out, project, row.itemValue, depth + 1);
        } else {
            PrintRow(out, DiscPathOfEntry(project, row.itemValue), row);
        }
    }
}

void PrintListing(std::ostream& out, const Project& project) {
    const VolumeInfo& v = project.volumeInfo;
    out << FormatMessage("Volume \"%s\"  %2.2d/%2.2d/%4.4d %2.2d:%2.2d:%2.2d\n",
                         std::string(v.Label()).c_str(), v.day, v.month, v.year, v.hour,
                         v.minute, v.second);
    const DirEntry& root = project.dirTable[0];
    ListRow rootRow;
    rootRow.lbaText = FormatMessage("%c %i", LbaMarker(root.flags), root.lba);
    rootRow.sizeText = FormatMessage("%i", static_cast<int32_t>(root.size));
    rootRow.dateText = EntryDateText(root.dosDate, root.dosTime);
    PrintRow(out, "\\", rootRow);
    PrintTree(out, project, 0, 1);
    out << ProjectSummary(project) << '\n';
}

void AddNew(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("new", "Save a new, empty project (the root directory only).");
    auto path = std::make_shared<std::string>();
    auto force = std::make_shared<bool>(false);
    auto stamp = std::make_shared<bool>(false);
    cmd->add_option("PROJECT", *path, "The project file to create (.krv)")->required();
    cmd->add_flag("--force", *force, "Replace the file when it exists");
    cmd->add_flag("--stamp-system-area", *stamp,
                  "Write the empty system area as addressed sectors with sync and header");
    cmd->callback([path, force, stamp, &status] {
        if (!*force && std::filesystem::exists(*path)) {
            PrintError(FormatMessage("korvalin: %s: already exists (use --force to replace it)",
                                     path->c_str()));
            status = EXIT_ERROR;
            return;
        }
        FileLock lock;
        if (!LockProjectFile(*path, lock)) {
            status = EXIT_ERROR;
            return;
        }
        Project project;
        StartNewProject(project, CurrentUtcTime());
        project.settings.stampSystemArea = *stamp;
        RecomputeLayout(project);
        status = SaveProject(*path, project) ? EXIT_OK : EXIT_ERROR;
    });
}

void AddLs(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("ls", "List the disc tree with its layout.");
    auto path = std::make_shared<std::string>();
    auto asJson = std::make_shared<bool>(false);
    cmd->add_option("PROJECT", *path, "The project file (.krv)")->required();
    cmd->add_flag("--json", *asJson, "Print one JSON object instead of the listing");
    cmd->callback([path, asJson, &status] {
        Project project;
        if (!LoadProject(*path, project)) {
            status = EXIT_ERROR;
            return;
        }
        RecomputeLayout(project);
        if (*asJson) {
            std::cout << ProjectJson(project).dump(2, ' ', false, json::error_handler_t::replace)
                      << '\n';
        } else {
            PrintListing(std::cout, project);
        }
        status = EXIT_OK;
    });
}

void AddSaveAs(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("save-as", "Load a project and save it under another name.");
    auto from = std::make_shared<std::string>();
    auto to = std::make_shared<std::string>();
    cmd->add_option("PROJECT", *from, "The project file to read")->required();
    cmd->add_option("NEW", *to, "The project file to write")->required();
    cmd->callback([from, to, &status] {
        FileLock lock;
        Project project;
        if (!LockProjectFile(*to, lock) || !LoadProject(*from, project)) {
            status = EXIT_ERROR;
            return;
        }
        status = SaveProject(*to, project) ? EXIT_OK : EXIT_ERROR;
    });
}

}  // namespace

void RegisterProjectCommands(CLI::App& app, int& status) {
    AddNew(app, status);
    AddLs(app, status);
    AddSaveAs(app, status);
}

}  // namespace korvalin::cli
