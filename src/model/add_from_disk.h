// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files and folders dropped on the file list become entries of the disc tree.

#include <string>
#include <vector>

#include "layout/error_log.h"
#include "model/progress.h"
#include "model/project.h"

namespace korvalin {

constexpr int ADD_FINISHED = 0;
// A table filled up while items or folders were still waiting to be read.
constexpr int ADD_STOPPED_ON_LIMIT = 1;
// A record could not be allocated; the front end shows OUT_OF_MEMORY_MESSAGE
// (model/disk_entries.h) in a message box captioned MESSAGE_CAPTION.
constexpr int ADD_OUT_OF_MEMORY = 2;

// Adds `droppedPaths`, in their order, to the directory `project.currentDir`
// (the root when that is no directory index):
// dropped files and folders first, then the folders' contents level by level
// (up to seven levels of folders). Every item left out or changed is reported
// in `log`. Entries added before a stop stay. Directory records carry no
// source path afterwards. The caller lays the tree out again and refreshes.
int AddFromDisk(Project& project, const std::vector<std::string>& droppedPaths, ErrorLog& log,
                const ProgressCallback& progress = {});

}  // namespace korvalin
