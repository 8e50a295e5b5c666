// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A project saved to and loaded from bytes in memory, as the project file holds them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/project_file.h"

namespace korvalin::test {

inline std::vector<uint8_t> Store(Project& project) {
    ProjectArchive archive;
    EXPECT_EQ(SerializeProject(project, archive), 0);
    return archive.bytes;
}

// The load's result; the problem it reported goes into `*problem`.
inline int Load(const std::vector<uint8_t>& bytes, Project& project, std::string* problem = nullptr) {
    ProjectArchive archive{false, bytes, ""};
    const int result = SerializeProject(project, archive);
    if (problem) *problem = archive.problem;
    return result;
}

}  // namespace korvalin::test
