// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The .krv project file: a little-endian dump of the model.

#include <cstdint>
#include <string>
#include <vector>

#include "model/project.h"

namespace korvalin {

constexpr char PROJECT_MAGIC[] = "korvalindataCD";
constexpr int32_t PROJECT_HEADER_SIZE = 96;

// Either direction of the project file, as the document framework calls it:
// storing appends the file's bytes to `bytes`; loading reads them and, on
// failure, names the problem in `problem`.
struct ProjectArchive {
    bool isStoring = true;
    std::vector<uint8_t> bytes;
    std::string problem;
};

// 0 on success. Storing tidies source paths in the model (runs of '\'
// become one). Loading replaces `project`'s tables, label, date and (when
// the file carries one) system area only when the whole file was read.
int SerializeProject(Project& project, ProjectArchive& archive);

// Collapses every run of backslashes to one, in the first 511 characters.
void TidySourcePath(std::string& path);

// Loads a project file. On success the model is the loaded project ready
// for use; on failure it is a new empty project and `message` names the
// file and the problem.
bool OpenProjectFile(const std::string& path, Project& project, const CalendarTime& utcNow,
                     std::string& message);

// Saves through a temporary file renamed over `path`.
bool SaveProjectFile(const std::string& path, Project& project, std::string& message);

}  // namespace korvalin
