// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Source paths of a project whose folder was moved: found again beside the
// project file, rewritten by prefix, or listed as missing.

#include <cstdint>
#include <string>
#include <vector>

#include "model/project.h"

namespace korvalin {

struct SourcePathChange {
    int32_t fileIndex = 0;
    std::string oldPath;
    std::string newPath;
};

// For every file whose source is not a readable regular file: joins the
// source path's trailing components ('/' or '\' separated) to the project
// file's folder, longest suffix first, and takes the first that names a
// regular file. Changes the paths in memory only.
std::vector<SourcePathChange> RelocateMissingSources(Project& project,
                                                     const std::string& projectFilePath);

// Rewrites every source path that starts with `oldPrefix` as whole path
// components ("/a/b" matches "/a/b/c", not "/a/bc") so that it starts with
// `newPrefix`. A path that would grow past what the file holds is left alone
// and reported in `tooLong`.
std::vector<SourcePathChange> ReplaceSourcePrefix(Project& project, const std::string& oldPrefix,
                                                  const std::string& newPrefix,
                                                  std::vector<int32_t>& tooLong);

// The same for the kept-sectors side file's path; true when it was rewritten.
bool ReplaceKeptSectorsPrefix(Project& project, const std::string& oldPrefix,
                              const std::string& newPrefix);

// The same for the audio tracks' sources: one change per track rewritten,
// `fileIndex` holding the track's index (0 for track 2).
std::vector<SourcePathChange> ReplaceAudioSourcePrefix(Project& project, const std::string& oldPrefix,
                                                       const std::string& newPrefix);

// Indexes of the files whose source path names no regular file (dummies
// and files without a source are not counted).
std::vector<int32_t> FindMissingSources(const Project& project);

}  // namespace korvalin
