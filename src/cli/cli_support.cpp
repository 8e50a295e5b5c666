#include "cli/cli_support.h"

#include <iostream>
#include <vector>

#include "model/disc_names.h"
#include "model/project_file.h"
#include "model/relocate_sources.h"
#include "platform/clock.h"

namespace korvalin::cli {

void PrintError(const std::string& text) { std::cerr << text << '\n'; }

bool LoadProject(const std::string& path, Project& project) {
    std::string message;
    if (OpenProjectFile(path, project, CurrentUtcTime(), message)) {
        RelocateMissingSources(project, path);  // a moved project folder still compiles
        return true;
    }
    PrintError(message);
    return false;
}

bool SaveProject(const std::string& path, Project& project) {
    std::string message;
    if (SaveProjectFile(path, project, message)) return true;
    PrintError(message);
    return false;
}

namespace {

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

}  // namespace

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
                if (e.parent == dirNumber && UpperCaseAscii(e.Name()) == parts[i]) found = FileId(f);
            }
        }
        if (found < 0) return -1;
        dir = found;
    }
    return dir;
}

}  // namespace korvalin::cli
