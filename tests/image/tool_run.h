// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running an independent reader (isoinfo, cd-info, bchunk, ...) from a test
// and looking for what it should say.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>

namespace korvalin::test {

struct ToolRun {
    int status = -1;
    std::string out;  // standard output only: warnings must not mix into listings
};

inline ToolRun RunTool(const std::string& command) {
    ToolRun run;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer;
    for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        run.out.append(buffer.data(), n);
    }
    run.status = ::pclose(pipe);
    return run;
}

inline bool Installed(const std::string& tool) {
    return RunTool("command -v " + tool).status == 0;
}

// The tool succeeded and every part is found in its output.
inline ::testing::AssertionResult Says(const ToolRun& run, std::initializer_list<std::string> parts) {
    for (const std::string& part : parts) {
        if (run.status != 0 || run.out.find(part) == std::string::npos) {
            return ::testing::AssertionFailure() << "no \"" << part << "\" in:\n" << run.out;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace korvalin::test
