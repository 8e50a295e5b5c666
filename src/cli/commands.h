// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Each group of subcommands registers itself on the application. A command's
// callback stores its exit status in `status`.

#include <CLI/CLI.hpp>

namespace korvalin::cli {

void RegisterProjectCommands(CLI::App& app, int& status);
void RegisterVerifyCommands(CLI::App& app, int& status);
void RegisterEditCommands(CLI::App& app, int& status);
void RegisterAddImportCommands(CLI::App& app, int& status);
void RegisterCompileCommands(CLI::App& app, int& status);
void RegisterListingCommands(CLI::App& app, int& status);
void RegisterSystemAreaCommands(CLI::App& app, int& status);
void RegisterDumpCommands(CLI::App& app, int& status);
void RegisterRelocateCommands(CLI::App& app, int& status);
void RegisterCompleteCommands(CLI::App& app, int& status);
void RegisterInjectCommands(CLI::App& app, int& status);
void RegisterTrackCommands(CLI::App& app, int& status);

}  // namespace korvalin::cli
