// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/relocate_sources.h"

#include <filesystem>

#include "platform/file_info.h"

namespace korvalin {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsRegularFile(const std::string& path) {
    FileInfo info;
    return QueryFileInfo(path, info) && info.kind == FileKind::RegularFile;
}

bool FitsTheFile(const std::string& path) {
    return path.size() < static_cast<size_t>(SOURCE_PATH_BUFFER);
}

std::vector<std::string> PathComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (!IsSeparator(c)) {
            part += c;
        } else if (!part.empty()) {
            parts.push_back(part);
            part.clear();
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

std::string ProjectFolder(const std::string& projectFilePath) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(projectFilePath, error);
    if (error) absolute = projectFilePath;
    return absolute.parent_path().string();
}

// The first suffix of `source`'s components, longest first, that names a
// regular file inside `folder`; empty when none does.
std::string FindBeside(const std::string& folder, const std::string& source) {
    const std::vector<std::string> parts = PathComponents(source);
    for (size_t first = 0; first < parts.size(); ++first) {
        std::string candidate = folder;
        for (size_t i = first; i < parts.size(); ++i) {
            if (candidate.empty() || !IsSeparator(candidate.back())) candidate += '/';
            candidate += parts[i];
        }
        if (FitsTheFile(candidate) && IsRegularFile(candidate)) return candidate;
    }
    return {};
}

// How many leading characters of `path` the prefix covers as whole
// components; 0 when it does not match.
size_t MatchedPrefixLength(const std::string& path, std::string prefix) {
    while (prefix.size() > 1 && IsSeparator(prefix.back())) prefix.pop_back();
    if (prefix.empty() || path.compare(0, prefix.size(), prefix) != 0) return 0;
    const bool wholeComponent = path.size() == prefix.size() || IsSeparator(prefix.back()) ||
                                IsSeparator(path[prefix.size()]);
    return wholeComponent ? prefix.size() : 0;
}

std::string JoinPrefix(std::string prefix, const std::string& rest) {
    while (prefix.size() > 1 && IsSeparator(prefix.back())) prefix.pop_back();
    if (rest.empty()) return prefix;
    const bool restHasSeparator = IsSeparator(rest.front());
    if (!prefix.empty() && IsSeparator(prefix.back())) {
        return restHasSeparator ? prefix + rest.substr(1) : prefix + rest;
    }
    return restHasSeparator || prefix.empty() ? prefix + rest : prefix + '/' + rest;
}

}  // namespace

std::vector<SourcePathChange> RelocateMissingSources(Project& project,
                                                     const std::string& projectFilePath) {
    std::vector<SourcePathChange> changes;
    const std::vector<int32_t> missing = FindMissingSources(project);
    if (missing.empty()) return changes;
    const std::string folder = ProjectFolder(projectFilePath);
    for (int32_t index : missing) {
        std::optional<std::string>& source = project.fileTable[index].sourcePath;
        std::string found = FindBeside(folder, *source);
        if (found.empty()) continue;
        changes.push_back(SourcePathChange{index, *source, found});
        source = std::move(found);
    }
    return changes;
}

std::vector<SourcePathChange> ReplaceSourcePrefix(Project& project, const std::string& oldPrefix,
                                                  const std::string& newPrefix,
                                                  std::vector<int32_t>& tooLong) {
    std::vector<SourcePathChange> changes;
    for (int32_t index = 0; index < project.fileCount(); ++index) {
        std::optional<std::string>& source = project.fileTable[index].sourcePath;
        if (!source) continue;
        const size_t matched = MatchedPrefixLength(*source, oldPrefix);
        if (matched == 0) continue;
        std::string rewritten = JoinPrefix(newPrefix, source->substr(matched));
        if (!FitsTheFile(rewritten)) {
            tooLong.push_back(index);
            continue;
        }
        changes.push_back(SourcePathChange{index, *source, rewritten});
        source = std::move(rewritten);
    }
    return changes;
}

bool ReplaceKeptSectorsPrefix(Project& project, const std::string& oldPrefix,
                              const std::string& newPrefix) {
    std::string& path = project.keptSectors.path;
    const size_t matched = project.keptSectors.Present() ? MatchedPrefixLength(path, oldPrefix) : 0;
    if (matched == 0) return false;
    path = JoinPrefix(newPrefix, path.substr(matched));
    return true;
}

std::vector<SourcePathChange> ReplaceAudioSourcePrefix(Project& project, const std::string& oldPrefix,
                                                       const std::string& newPrefix) {
    std::vector<SourcePathChange> changes;
    for (size_t i = 0; i < project.audioTracks.size(); ++i) {
        std::string& path = project.audioTracks[i].sourcePath;
        const size_t matched = MatchedPrefixLength(path, oldPrefix);
        if (matched == 0) continue;
        std::string rewritten = JoinPrefix(newPrefix, path.substr(matched));
        changes.push_back(SourcePathChange{static_cast<int32_t>(i), path, rewritten});
        path = std::move(rewritten);
    }
    return changes;
}

std::vector<int32_t> FindMissingSources(const Project& project) {
    std::vector<int32_t> missing;
    for (int32_t index = 0; index < project.fileCount(); ++index) {
        const FileEntry& file = project.fileTable[index];
        if (file.IsDummy() || !file.sourcePath || file.sourcePath->empty()) continue;
        if (!IsRegularFile(*file.sourcePath)) missing.push_back(index);
    }
    return missing;
}

}  // namespace korvalin
