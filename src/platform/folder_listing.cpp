// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/file_info.h"

namespace korvalin {

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool NameBefore(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ua = static_cast<unsigned char>(UpperAscii(a[i]));
        const auto ub = static_cast<unsigned char>(UpperAscii(b[i]));
        if (ua != ub) return ua < ub;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    }
    return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

// Names of a folder in listing order; false when it cannot be read.
bool ReadNames(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    if (folder.find('\0') != std::string::npos) return false;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), NameBefore);
    return true;
}

bool IsTakenKind(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return true;  // reported by the caller
    return S_ISDIR(st.st_mode) || S_ISREG(st.st_mode);
}

}  // namespace

bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) {
    items.clear();
    std::vector<std::string> names;
    if (!ReadNames(folder, names)) return false;
    for (const std::string& name : names) {
        FolderItem item{name, JoinPath(folder, name)};
        if (IsTakenKind(item.path)) items.push_back(std::move(item));
    }
    return true;
}

std::optional<std::string> FindPathIgnoringCase(const std::string& base,
                                                const std::vector<std::string>& components,
                                                FolderNameCache& cache) {
    std::string path = base;
    for (const std::string& component : components) {
        if (!component.empty()) path = JoinPath(path, component);
    }
    if (PathEntryExists(path)) return path;  // the usual case: one look-up
    path = base;
    for (const std::string& component : components) {
        if (component.empty()) continue;
        const std::string exact = JoinPath(path, component);
        if (PathEntryExists(exact)) {
            path = exact;
            continue;
        }
        auto found = cache.namesByFolder.find(path);
        if (found == cache.namesByFolder.end()) {
            std::vector<std::string> names;
            if (!ReadNames(path, names)) return std::nullopt;
            found = cache.namesByFolder.emplace(path, std::move(names)).first;
        }
        const std::vector<std::string>& names = found->second;
        const auto match = std::find_if(names.begin(), names.end(), [&](const std::string& n) {
            return SameIgnoringCase(n, component);
        });
        if (match == names.end()) return std::nullopt;
        path = JoinPath(path, *match);
    }
    return path;
}

}  // namespace korvalin
