// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checks run before compiling: the tables must be consistent, every
// record must point inside the data area of an image that can exist, and no
// two ranges of the last layout that hold data may share a sector.

#include <string>
#include <vector>

#include "model/project.h"

namespace korvalin {

// Each returns the messages to show, in order; empty when all is well.
// Directories from index 1: the first inconsistency found, if any (parent
// links that leave the table or go round in a cycle included).
std::vector<std::string> CheckDirectoryTable(const Project& project);
// Files: the first inconsistency found, if any (sizes of 2 GiB or more included).
std::vector<std::string> CheckFileTable(const Project& project);
// The first entry, dummies included, whose record would point below the
// first data LBA or past 2^31 - 1 sectors, or a root pinned elsewhere than
// the first data LBA.
std::vector<std::string> CheckEntryLbas(const Project& project);
// The first pair of extents that share a sector, as three messages; the
// windows of empty files hold no sector and are passed over.
std::vector<std::string> CheckExtents(const Project& project);

// The whole check: each table step runs only when the one before passed;
// the extents are always checked. Any message means: do not compile.
std::vector<std::string> PreCompileCheck(const Project& project);
// The whole check, then the audio tracks' sources, which only the compile
// reads: what `compile` and `check` run.
std::vector<std::string> CompileReadinessCheck(const Project& project);
// What is worth a word but compiles: an image longer than a CD.
std::vector<std::string> PreCompileWarnings(const Project& project);

}  // namespace korvalin
