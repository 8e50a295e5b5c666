// SPDX-License-Identifier: GPL-3.0-or-later
// listing: the laid-out tree as an IsoBuster tree listing, an LBA table or a C header.

#include <iostream>
#include <memory>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "import/listing_writer.h"
#include "layout/recompute_layout.h"

namespace korvalin::cli {

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
            std::string message;
            const bool written = WriteListingFile(text, *output, *project, message);
            if (!written) PrintProblem(message);
            status = written ? EXIT_OK : EXIT_ERROR;
        }
    });
}

}  // namespace korvalin::cli
