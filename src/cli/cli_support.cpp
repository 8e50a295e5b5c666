// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <vector>

#include "cli/json_output.h"
#include "layout/recompute_layout.h"
#include "model/disc_names.h"
#include "model/disc_path.h"
#include "model/message_format.h"
#include "model/project_file.h"
#include "model/relocate_sources.h"
#include "platform/clock.h"
#include "platform/file_info.h"

namespace korvalin::cli {

namespace {

// Long enough for any other command's load-edit-save; short enough that a
// script does not seem to hang.
constexpr std::chrono::milliseconds LOCK_PATIENCE{5000};
constexpr char PROJECT_IN_USE[] = "korvalin: %s: project is in use";
constexpr char NOT_REGULAR[] = "korvalin: %s: not a regular file";
constexpr char PIN_DISPLACED[] = "korvalin: warning: pinned LBA displaced: %s";

std::vector<std::string> SplitDiscPath(const std::string& discPath) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : discPath) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) parts.push_back(UpperCaseAscii(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(UpperCaseAscii(part));
    return parts;
}

// A displaced pin is never lost in silence: each entry the last layout
// marked is named on standard error.
void WarnDisplacedPins(const Project& project) {
    if (project.layoutState.lbaDisplaced != 1) return;
    for (int32_t d = 0; d < project.dirCount(); ++d) {
        if ((project.dirTable[d].flags & FLAG_DISPLACED) != 0) {
            PrintError(FormatMessage(PIN_DISPLACED, DiscPathOfEntry(project, d).c_str()));
        }
    }
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        if ((project.fileTable[f].flags & FLAG_DISPLACED) != 0) {
            PrintError(FormatMessage(PIN_DISPLACED, DiscPathOfEntry(project, FileId(f)).c_str()));
        }
    }
}

bool LoadOrStart(const std::string& path, Project& project, bool createWhenMissing) {
    std::error_code error;
    if (createWhenMissing && !std::filesystem::exists(path, error)) {
        StartNewProject(project, CurrentUtcTime());
        return true;
    }
    return LoadProject(path, project);
}

}  // namespace

void PrintError(const std::string& text) {
    CollectError(text);
    std::cerr << text << '\n';
}

void PrintProblem(const std::string& description) {
    PrintError("korvalin: " + description);
}

bool LoadProject(const std::string& path, Project& project) {
    std::string message;
    if (OpenProjectFile(path, project, CurrentUtcTime(), message)) {
        RelocateMissingSources(project, path);  // a moved project folder still compiles
        return true;
    }
    PrintProblem(message);
    return false;
}

bool SaveProject(const std::string& path, Project& project) {
    std::string message;
    if (SaveProjectFile(path, project, message)) return true;
    PrintProblem(message);
    return false;
}

int32_t FindEntryByDiscPath(const Project& project, const std::string& discPath) {
    int32_t dir = 0;
    const std::vector<std::string> parts = SplitDiscPath(discPath);
    for (size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const uint32_t dirNumber = static_cast<uint32_t>(dir) + 1;
        int32_t found = -1;
        for (int32_t d = 1; d < project.dirCount() && found < 0; ++d) {
            const DirEntry& e = project.dirTable[d];
            if (e.parent == dirNumber && UpperCaseAscii(e.Name()) == parts[i]) found = d;
        }
        if (found < 0 && last) {
            for (int32_t f = 0; f < project.fileCount() && found < 0; ++f) {
                const FileEntry& e = project.fileTable[f];
                if (e.parent == dirNumber && UpperCaseAscii(e.Name()) == parts[i])
                    found = FileId(f);
            }
        }
        if (found < 0) return -1;
        dir = found;
    }
    return dir;
}

bool ParseDecimal(const std::string& text, int64_t max, int64_t& value) {
    if (text.empty()) return false;
    // "089" can only be a slip: no octal number holds an 8 or a 9, and a
    // decimal one is not written with a leading zero. "0100" stays 100.
    if (text.size() > 1 && text[0] == '0' && text.find_first_of("89") != std::string::npos) {
        return false;
    }
    int64_t parsed = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const int digit = c - '0';
        if (digit > max || parsed > (max - digit) / 10) return false;
        parsed = parsed * 10 + digit;
    }
    value = parsed;
    return true;
}

CLI::Validator DecimalNumber(int64_t max) {
    return CLI::Validator(
        [max](std::string& text) {
            int64_t value = 0;
            if (!ParseDecimal(text, max, value)) {
                return FormatMessage("expected a decimal number from 0 to %lld: %s",
                                     static_cast<long long>(max), text.c_str());
            }
            text = std::to_string(value);  // "0100" must not reach an octal reader
            return std::string();
        },
        "NUMBER");
}

std::string NormalisedPath(const std::string& arg) {
    std::error_code ignored;
    std::string path = std::filesystem::absolute(arg, ignored).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool RequireRegularFile(const std::string& path) {
    if (!IsNonRegularFile(path)) return true;
    PrintError(FormatMessage(NOT_REGULAR, path.c_str()));
    return false;
}

bool LockProjectFile(const std::string& path, FileLock& lock) {
    if (lock.Acquire(path, LOCK_PATIENCE) != LockResult::Busy) return true;
    PrintError(FormatMessage(PROJECT_IN_USE, path.c_str()));
    return false;
}

int EditProject(const std::string& path, const ProjectEdit& edit, bool createWhenMissing) {
    FileLock lock;
    Project project;
    if (!LockProjectFile(path, lock) || !LoadOrStart(path, project, createWhenMissing)) {
        return EXIT_ERROR;
    }
    RecomputeLayout(project);
    const EditEnd end = edit(project);
    if (end == EditEnd::Refused) return EXIT_ERROR;
    if (end == EditEnd::Unchanged) return EXIT_OK;
    RecomputeLayout(project);
    WarnDisplacedPins(project);
    if (!SaveProject(path, project)) return EXIT_ERROR;
    return end == EditEnd::Save ? EXIT_OK : EXIT_ERROR;
}

ProgressBar::ProgressBar(std::string label, int32_t sectorBytes, bool inSectors)
    : label_(std::move(label)),
      sectorBytes_(sectorBytes),
      inSectors_(inSectors),
      shown_(::isatty(STDERR_FILENO) != 0),
      start_(Clock::now()),
      lastDraw_(start_) {}

void ProgressBar::Update(int64_t done, int64_t total) {
    if (!shown_) return;
    const auto now = Clock::now();
    if (drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    Draw(done, total, now);
}

void ProgressBar::Draw(int64_t done, int64_t total, Clock::time_point now) {
    constexpr int WIDTH = 40;
    const double fraction =
        total > 0 ? std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0)
                  : 1.0;
    const int filled = static_cast<int>(fraction * WIDTH);
    std::fprintf(stderr, "\r%s [%s%s] ", label_.c_str(),
                 std::string(static_cast<size_t>(filled), '#').c_str(),
                 std::string(static_cast<size_t>(WIDTH - filled), '.').c_str());
    if (inSectors_) {
        std::fprintf(stderr, "%lld/%lld sectors ", static_cast<long long>(done),
                     static_cast<long long>(total));
    } else {
        std::fprintf(stderr, "%d%% ", static_cast<int>(fraction * 100));
    }
    const double seconds = std::chrono::duration<double>(now - start_).count();
    if (sectorBytes_ > 0 && seconds > 0) {
        std::fprintf(stderr, " %.1f MB/s ",
                     static_cast<double>(done) * sectorBytes_ / 1e6 / seconds);
    }
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::Finish() {
    if (!drawn_) return;
    std::fputs("\r\033[K", stderr);  // erase the line
    std::fflush(stderr);
    drawn_ = false;
}

}  // namespace korvalin::cli
