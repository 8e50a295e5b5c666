// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the korvalin binary and captures what it prints.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"

namespace korvalin::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliResult RunCli(const std::vector<std::string>& args) {
    TempDir capture;
    // A command that waits for ever fails the test instead of hanging it.
    std::string command = "timeout 60 " + ShellQuote(KORVALIN_CLI);
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

inline ::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

}  // namespace korvalin::test
