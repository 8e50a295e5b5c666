#include "cli/cli_runner.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "test_support.h"

namespace korvalin::test {

namespace {
std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
}  // namespace

CliResult RunCli(const std::vector<std::string>& args) {
    TempDir capture;
    std::string command = Quote(KORVALIN_CLI);
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " >" + Quote((capture / "out").string()) + " 2>" + Quote((capture / "err").string());
    CliResult result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = Slurp(capture / "out");
    result.err = Slurp(capture / "err");
    return result;
}

}  // namespace korvalin::test
