// listing: the laid-out tree as an IsoBuster tree listing, an LBA table or a C header.

#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "import/listing_writer.h"
#include "layout/recompute_layout.h"
#include "model/message_format.h"
#include "platform/file_io.h"

namespace korvalin::cli {

namespace {

constexpr char MSG_OUTPUT_IS_PROJECT[] = "%s: is the project file; the listing would replace it";
constexpr char MSG_CANNOT_WRITE[] = "%s: cannot write the listing (%s)";

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

bool WriteListing(const std::string& output, const std::string& project, const std::string& text) {
    if (SameFile(output, project)) {
        PrintError(FormatMessage(MSG_OUTPUT_IS_PROJECT, output.c_str()));
        return false;
    }
    std::string reason;
    if (WriteFileAtomically(output, std::vector<uint8_t>(text.begin(), text.end()), reason)) {
        return true;
    }
    PrintError(FormatMessage(MSG_CANNOT_WRITE, output.c_str(), reason.c_str()));
    return false;
}

}  // namespace

void RegisterListingCommands(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand(
        "listing", "Write the laid-out tree as a tree listing, an LBA table or a C header.");
    auto project = std::make_shared<std::string>();
    auto format = std::make_shared<std::string>("isobuster");
    auto output = std::make_shared<std::string>();
    cmd->add_option("PROJECT", *project, "The project file (.krv)")->required();
    cmd->add_option("--format", *format,
                    "isobuster (the listing import reads, default), lba (a table), "
                    "c-header (#define constants)")
        ->check(CLI::IsMember({"isobuster", "lba", "c-header"}));
    cmd->add_option("-o,--output", *output, "The file to write (default: standard output)");
    cmd->callback([project, format, output, &status] {
        Project model;
        if (!LoadProject(*project, model)) {
            status = EXIT_ERROR;
            return;
        }
        RecomputeLayout(model);
        const std::string text = ListingText(model, *ListingFormatByName(*format));
        if (output->empty()) {
            std::cout << text << std::flush;
            status = std::cout ? EXIT_OK : EXIT_ERROR;
        } else {
            status = WriteListing(*output, *project, text) ? EXIT_OK : EXIT_ERROR;
        }
    });
}

}  // namespace korvalin::cli
