#pragma once
// Runs the korvalin binary and captures what it prints.

#include <string>
#include <vector>

namespace korvalin::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

CliResult RunCli(const std::vector<std::string>& args);

}  // namespace korvalin::test
