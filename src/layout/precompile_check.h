#pragma once
// The checks run before compiling: the tables must be consistent and no two
// occupied ranges of the last layout may collide.

#include <string>
#include <vector>

#include "model/project.h"

namespace korvalin {

// ExtentTable positions the collision check looks at: 0 to 4096.
constexpr size_t EXTENT_CHECK_POSITIONS = 4097;

// Each returns the messages to show, in order; empty when all is well.
// Directories from index 1: the first inconsistency found, if any.
std::vector<std::string> CheckDirectoryTable(const Project& project);
// Files: the first inconsistency found, if any.
std::vector<std::string> CheckFileTable(const Project& project);
// The first colliding pair of extents, as three messages. Pairs in which
// either range is a single sector are not reported.
std::vector<std::string> CheckExtents(const Project& project);

// The whole check: the file table is checked only when the directory table
// passed; the extents are always checked.
std::vector<std::string> PreCompileCheck(const Project& project);

}  // namespace korvalin
