// SPDX-License-Identifier: GPL-3.0-or-later
// verify: checks any PlayStation CD image, raw or 2048-byte, sector by
// sector and through its ISO 9660 / CD-XA file system.

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "image/image_verifier.h"
#include "model/audio_track.h"
#include "model/message_format.h"
#include "patch/repair_image.h"

namespace korvalin::cli {

namespace {

using json = nlohmann::ordered_json;

std::string Count(int64_t count, const char* one, const char* many) {
    return FormatMessage("%lld %s", static_cast<long long>(count), count == 1 ? one : many);
}

std::string SummaryLine(const std::string& path, const VerifyReport& report) {
    const ImageFormat& format = report.format;
    std::string what;
    if (format.sectorBytes == 0) {
        what = "no sectors";
    } else if (report.sectorsChecked > 0 || format.dataOffset > 0) {
        what = FormatMessage("%s, %s checked", format.description.c_str(),
                             Count(report.sectorsChecked, "sector", "sectors").c_str());
    } else {
        what = FormatMessage("%s, %s (no sector headers to check)", format.description.c_str(),
                             Count(format.sectorCount, "sector", "sectors").c_str());
    }
    return FormatMessage("%s: %s; %s, %s; %s", path.c_str(), what.c_str(),
                         Count(report.directories, "directory", "directories").c_str(),
                         Count(report.files, "file", "files").c_str(),
                         Count(report.problemCount, "problem", "problems").c_str());
}

void PrintText(const std::string& path, const VerifyReport& report) {
    for (const VerifyProblem& p : report.problems) {
        if (p.lba == WHOLE_IMAGE) {
            std::cout << path << ": " << p.text << '\n';
        } else {
            std::cout << "LBA " << p.lba << ": " << p.text << '\n';
        }
    }
    for (const std::string& note : report.notes) std::cout << "note: " << note << '\n';
    std::cout << SummaryLine(path, report) << '\n';
}

void PrintJson(const std::string& path, const VerifyReport& report) {
    json out;
    out["image"] = path;
    out["format"] = report.format.description;
    out["sectorBytes"] = report.format.sectorBytes;
    out["sectorCount"] = report.format.sectorCount;
    out["sectorsChecked"] = report.sectorsChecked;
    out["directories"] = report.directories;
    out["files"] = report.files;
    out["sound"] = report.Sound();
    out["problemCount"] = report.problemCount;
    out["problems"] = json::array();
    for (const VerifyProblem& p : report.problems) {
        out["problems"].push_back({{"lba", p.lba == WHOLE_IMAGE ? json(nullptr) : json(p.lba)}, {"text", p.text}});
    }
    out["notes"] = report.notes;
    out["audioTracks"] = json::array();
    for (const CueAudioTrack& t : report.audioTracks) {
        const int64_t pregapLba = t.discLba - t.pregapSectors;
        out["audioTracks"].push_back({{"number", t.number},
                                      {"index0_lba", pregapLba},
                                      {"index0", MsfText(pregapLba)},
                                      {"index1_lba", t.discLba},
                                      {"index1", MsfText(t.discLba)},
                                      {"sectors", t.Sectors()},
                                      {"length", MsfText(t.Sectors())},
                                      {"file", t.file}});
    }
    std::cout << out.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

void PrintRepairs(const RepairOptions& options, const RepairReport& report) {
    for (const RepairedSector& s : report.repaired) {
        std::cout << "LBA " << s.lba << ": " << (options.dryRun ? "would repair " : "repaired ") << s.wrong;
        if (!s.owner.empty()) std::cout << " (" << s.owner << ")";
        std::cout << '\n';
    }
    if (!report.ownersProblem.empty()) std::cout << "note: sectors are not named by file: " << report.ownersProblem << '\n';
    if (report.leftAlone > 0) {
        std::cout << "note: " << Count(report.leftAlone, "sector", "sectors")
                  << " left alone (no sync, differing subheader copies, or Mode 1)\n";
    }
    if (!report.backupFile.empty()) std::cout << "Backup: " << report.backupFile << '\n';
    std::cout << FormatMessage("%s: %s checked, %s %s", report.dataFile.c_str(),
                               Count(report.sectorsChecked, "sector", "sectors").c_str(),
                               Count(static_cast<int64_t>(report.repaired.size()), "sector", "sectors").c_str(),
                               options.dryRun ? "to repair (dry run, nothing written)" : "repaired")
              << '\n';
}

// Repairs first, then verifies what is there afterwards.
bool RunRepair(const std::string& path, const RepairOptions& options, bool quiet) {
    ProgressBar bar("repairing", 0, false);
    ProgressCallback progress;
    if (!quiet) progress = [&bar](int32_t position) { bar.Update(position, BULK_PROGRESS_RANGE); };
    RepairReport report;
    std::string message;
    const bool done = RepairImage(path, options, report, message, progress);
    bar.Finish();
    if (!quiet) PrintRepairs(options, report);
    if (!done) PrintProblem(message);
    return done;
}

int RunVerify(const std::string& path, bool asJson, bool quiet) {
    if (!RequireRegularFile(path)) return EXIT_ERROR;
    ProgressBar bar("verifying", 0);  // the sector size is found while verifying
    VerifyProgress progress;
    if (!quiet && bar.Shown()) progress = [&bar](int64_t done, int64_t total) { bar.Update(done, total); };
    const VerifyReport report = VerifyImage(path, VerifyOptions{}, progress);
    bar.Finish();
    if (!report.opened) {
        PrintProblem(report.openError);
        return EXIT_ERROR;
    }
    if (asJson) {
        PrintJson(path, report);
    } else if (!quiet) {
        PrintText(path, report);
    }
    return report.Sound() ? EXIT_OK : EXIT_ERROR;
}

}  // namespace

void RegisterVerifyCommands(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("verify", "Check a CD image (raw .bin or 2048-byte .iso/.ims) for damage.");
    auto path = std::make_shared<std::string>();
    auto asJson = std::make_shared<bool>(false);
    auto quiet = std::make_shared<bool>(false);
    auto repair = std::make_shared<bool>(false);
    auto options = std::make_shared<RepairOptions>();
    cmd->add_option("IMAGE", *path, "The image file")->required();
    auto* jsonFlag = cmd->add_flag("--json", *asJson, "Print one JSON object instead of the listing");
    cmd->add_flag("--quiet", *quiet, "Print nothing; the exit status tells")->excludes(jsonFlag);
    auto* repairFlag = cmd->add_flag("--repair", *repair,
                                     "Rewrite sector addresses, EDC and P/Q parity in place, then verify")
                           ->excludes(jsonFlag);
    cmd->add_flag("--backup", options->backup, "Copy the image to IMAGE.orig before the first write")->needs(repairFlag);
    cmd->add_flag("--dry-run", options->dryRun, "List what would be repaired; write nothing")->needs(repairFlag);
    cmd->add_flag("--form2-edc", options->form2Edc, "Also fill in Form 2 EDC fields left zero")->needs(repairFlag);
    cmd->callback([path, asJson, quiet, repair, options, &status] {
        if (*repair && !RunRepair(*path, *options, *quiet)) {
            status = EXIT_ERROR;
            return;
        }
        status = RunVerify(*path, *asJson, *quiet);
    });
}

}  // namespace korvalin::cli
