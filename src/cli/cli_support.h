// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared pieces of the korvalin subcommands.

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "model/project.h"
#include "platform/file_lock.h"

namespace korvalin::cli {

constexpr int EXIT_OK = 0;
constexpr int EXIT_ERROR = 1;
constexpr int EXIT_USAGE = 2;

// Loads a project for a command; prints the problem to stderr on failure.
bool LoadProject(const std::string& path, Project& project);
// Saves; prints the problem to stderr on failure.
bool SaveProject(const std::string& path, Project& project);
// A text as it is: the program's fixed messages (check, editor, error log).
void PrintError(const std::string& text);
// A problem the core describes, as "korvalin: " and the description.
void PrintProblem(const std::string& description);

// The entry named by a disc path ("\DATA\FILE.BIN" or "/data/file.bin",
// case-insensitive; "\" or "/" is the root). -1 when there is none.
int32_t FindEntryByDiscPath(const Project& project, const std::string& discPath);

// A number typed on the command line: decimal digits only, so "0100" is
// 100. A sign, a base prefix ("0x"), an exponent, blanks, trailing text or
// a value above `max` is refused rather than read another way.
bool ParseDecimal(const std::string& text, int64_t max, int64_t& value);
// The check every numeric option carries: refuses what ParseDecimal refuses
// (a usage error) and hands the option the plain decimal digits.
CLI::Validator DecimalNumber(int64_t max = INT64_MAX);

// A path from the command line as the desktop shell hands paths over:
// absolute, "." and ".." resolved by name, no trailing separator.
std::string NormalisedPath(const std::string& arg);

// False, after a message naming the file, when `path` exists and is not a
// regular file (a folder, a pipe, a device), which must never be read as one.
bool RequireRegularFile(const std::string& path);

// How an edit of a project ended: what EditProject saves and returns.
enum class EditEnd {
    Save,         // save, exit 0
    SaveAndFail,  // save what was done, exit 1 (the operation stopped partway)
    Unchanged,    // nothing to save, exit 0
    Refused,      // the message is printed; nothing is saved, exit 1
};
using ProjectEdit = std::function<EditEnd(Project&)>;

// One command's load-edit-save: locks the project file (waiting a few
// seconds for another command to finish, else "project is in use"), loads
// it (or starts a new project when `createWhenMissing` and the file does not
// exist), lays it out, runs `edit`, lays it out again, warns about pins the
// layout displaced and saves. Returns the exit status.
int EditProject(const std::string& path, const ProjectEdit& edit, bool createWhenMissing = false);

// Only the lock, for commands that write a project without editing it
// (new, save-as). False after "project is in use"; a file that does not
// exist yet is not locked.
bool LockProjectFile(const std::string& path, FileLock& lock);

// A one-line bar on standard error, drawn only when that is a terminal:
// sectors done of the total and, when `sectorBytes` is known (not 0), the
// speed; redrawn at most ten times a second. Compile, verify and dump show
// their work through it; a job that does not count sectors (`inSectors`
// false) shows a percentage.
class ProgressBar {
  public:
    ProgressBar(std::string label, int32_t sectorBytes, bool inSectors = true);
    bool Shown() const { return shown_; }
    void Update(int64_t done, int64_t total);
    // Erases the bar, leaving the line to what is printed next.
    void Finish();

  private:
    using Clock = std::chrono::steady_clock;
    void Draw(int64_t done, int64_t total, Clock::time_point now);

    std::string label_;
    int32_t sectorBytes_;
    bool inSectors_;
    bool shown_;
    bool drawn_ = false;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
};

}  // namespace korvalin::cli
