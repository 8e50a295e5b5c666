// SPDX-License-Identifier: GPL-3.0-or-later
// korvalin: the command-line front end over the same core as the desktop.

#include <exception>
#include <iostream>

#include "cli/cli_support.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
    using namespace korvalin::cli;
    CLI::App app{"Korvalin: authors PlayStation and PlayStation 2 CD-ROM images.", "korvalin"};
    app.set_version_flag("--version", std::string("korvalin ") + KORVALIN_VERSION);
    app.require_subcommand(1);
    int status = EXIT_OK;
    RegisterProjectCommands(app, status);
    RegisterVerifyCommands(app, status);
    RegisterEditCommands(app, status);
    RegisterAddImportCommands(app, status);
    RegisterCompileCommands(app, status);
    RegisterListingCommands(app, status);
    RegisterSystemAreaCommands(app, status);
    RegisterDumpCommands(app, status);
    RegisterRelocateCommands(app, status);
    RegisterCompleteCommands(app, status);
    RegisterInjectCommands(app, status);
    RegisterTrackCommands(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? EXIT_OK : EXIT_USAGE;
    } catch (const std::exception& e) {
        PrintError(std::string("korvalin: ") + e.what());
        return EXIT_ERROR;
    }
    return status;
}
