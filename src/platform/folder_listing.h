// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The entries of one folder, in an order that does not depend on the disk.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvalin {

struct FolderItem {
    std::string name;
    std::string path;  // the folder's path, a '/' and the name
};

// Every entry but "." and "..", sorted by name compared byte by byte with
// a-z upper-cased (ties by the plain bytes). Directories and regular files
// are kept, links followed; sockets, pipes and devices are left out; an
// entry that cannot be examined (a broken link) is kept so that the caller
// can report it. False when the folder cannot be read.
bool ListFolder(const std::string& folder, std::vector<FolderItem>& items);

// Names of folders already listed during one operation, so that repeated
// case-insensitive look-ups read each folder once.
struct FolderNameCache {
    std::map<std::string, std::vector<std::string>> namesByFolder;
};

// `base` followed by `components` joined with '/'. Each component is taken
// as written when the folder holds that exact name, otherwise as the first
// name of the folder that equals it with a-z upper-cased. Nothing when a
// component cannot be found. Empty components are skipped.
std::optional<std::string> FindPathIgnoringCase(const std::string& base,
                                                const std::vector<std::string>& components,
                                                FolderNameCache& cache);

}  // namespace korvalin
