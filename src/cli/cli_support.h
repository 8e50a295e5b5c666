#pragma once
// Shared pieces of the korvalin subcommands.

#include <cstdint>
#include <string>

#include "model/project.h"

namespace korvalin::cli {

constexpr int EXIT_OK = 0;
constexpr int EXIT_ERROR = 1;
constexpr int EXIT_USAGE = 2;

// Loads a project for a command; prints the problem to stderr on failure.
bool LoadProject(const std::string& path, Project& project);
// Saves; prints the problem to stderr on failure.
bool SaveProject(const std::string& path, Project& project);
void PrintError(const std::string& text);

// The entry named by a disc path ("\DATA\FILE.BIN" or "/data/file.bin",
// case-insensitive; "\" or "/" is the root). -1 when there is none.
int32_t FindEntryByDiscPath(const Project& project, const std::string& discPath);

// A one-line bar on standard error ("verifying [####....] 40%"), redrawn
// when the percentage changes; nothing is drawn unless stderr is a terminal.
class PercentBar {
public:
    explicit PercentBar(std::string label);
    void Show(int64_t done, int64_t total);
    void Clear();

private:
    static constexpr int WIDTH = 40;
    std::string label_;
    bool terminal_ = false;
    int shown_ = -1;
};

}  // namespace korvalin::cli
