#include "cli/cli_runner.h"

#include <sys/wait.h>

#include <cstdlib>

#include "test_support.h"

namespace korvalin::test {

CliResult RunCli(const std::vector<std::string>& args) {
    TempDir capture;
    std::string command = ShellQuote(KORVALIN_CLI);
    for (const std::string& arg : args) command += " " + ShellQuote(arg);
    command += " >" + ShellQuote((capture / "out").string()) + " 2>" +
               ShellQuote((capture / "err").string());
    const int raw = std::system(command.c_str());
    const auto text = [&](const char* name) {
        const std::vector<uint8_t> bytes = ReadBytes(capture / name);
        return std::string(bytes.begin(), bytes.end());
    };
    return CliResult{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text("out"), text("err")};
}

}  // namespace korvalin::test
