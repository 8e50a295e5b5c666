// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the korvalin binary and captures what it prints; the setup and checks
// the command-line tests share.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "image/compile_image.h"
#include "layout/recompute_layout.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadText(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

inline CliResult RunCli(const std::vector<std::string>& args) {
    TempDir capture;
    // A command that waits for ever fails the test instead of hanging it.
    std::string command = "timeout 60 " + ShellQuote(KORVALIN_CLI);
    for (const std::string& arg : args) command += " " + ShellQuote(arg);
    command += " >" + ShellQuote((capture / "out").string()) + " 2>" +
               ShellQuote((capture / "err").string());
    const int raw = std::system(command.c_str());
    return CliResult{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(capture / "out"),
                     ReadText(capture / "err")};
}

inline ::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

// Runs a command that must fail with `status` and a message holding `part`,
// leaving each of `unchanged` as it was; returns the message.
inline std::string ExpectRefused(const std::vector<std::string>& args, int status,
                                 const std::string& part,
                                 const std::vector<std::filesystem::path>& unchanged) {
    std::vector<std::vector<uint8_t>> before;
    for (const auto& file : unchanged) before.push_back(ReadBytes(file));
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, status) << args[0] << " " << args.back() << ": " << result.err;
    EXPECT_TRUE(Contains(result.err, part));
    for (size_t i = 0; i < unchanged.size(); ++i) {
        EXPECT_EQ(ReadBytes(unchanged[i]), before[i]) << unchanged[i];
    }
    return result.err;
}

// What `ls --json` prints for the project.
inline nlohmann::json LsJson(const std::string& project) {
    const CliResult listed = RunCli({"ls", project, "--json"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    return nlohmann::json::parse(listed.out);
}

inline void SaveProject(const std::filesystem::path& path, Project& project) {
    std::string message;
    EXPECT_TRUE(SaveProjectFile(path.string(), project, message)) << message;
}

inline Project LoadProject(const std::string& path) {
    Project project;
    std::string message;
    EXPECT_TRUE(OpenProjectFile(path, project, CalendarTime{2024, 1, 1, 0, 0, 0}, message))
        << message;
    return project;
}

// Lays the project out and compiles it to `image` (the format from its extension).
inline std::vector<uint8_t> CompileTo(Project project, const std::filesystem::path& image) {
    RecomputeLayout(project);
    CompileState state;
    state.imagePath = image.string();
    CompileImage(project, state);
    EXPECT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE);
    return ReadBytes(image);
}

}  // namespace korvalin::test
