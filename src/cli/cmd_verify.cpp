// verify: checks any PlayStation CD image, raw or 2048-byte, sector by
// sector and through its ISO 9660 / CD-XA file system.

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "image/image_verifier.h"
#include "model/message_format.h"

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
    std::cout << out.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

int RunVerify(const std::string& path, bool asJson, bool quiet) {
    PercentBar bar("verifying");
    VerifyProgress progress;
    if (!quiet) progress = [&bar](int64_t done, int64_t total) { bar.Show(done, total); };
    const VerifyReport report = VerifyImage(path, VerifyOptions{}, progress);
    bar.Clear();
    if (!report.opened) {
        PrintError(report.openError);
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
    cmd->add_option("IMAGE", *path, "The image file")->required();
    auto* jsonFlag = cmd->add_flag("--json", *asJson, "Print one JSON object instead of the listing");
    cmd->add_flag("--quiet", *quiet, "Print nothing; the exit status tells")->excludes(jsonFlag);
    cmd->callback([path, asJson, quiet, &status] { status = RunVerify(*path, *asJson, *quiet); });
}

}  // namespace korvalin::cli
