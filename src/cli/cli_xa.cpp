// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_xa.h"

#include <iostream>

#include "cli/cli_support.h"
#include "model/disc_path.h"
#include "model/message_format.h"
#include "model/xa_file.h"

namespace korvalin::cli {

namespace {

constexpr char MSG_REFUSED[] = "korvalin: %s";
constexpr char MSG_LOOKS_RAW_XA[] =
    "korvalin: %s: looks like raw XA sectors (2336 bytes each); to write them as such: "
    "korvalin edit %s '%s' --xa";
constexpr char MSG_DIRECTORY[] = "korvalin: %s: is a directory; only a file can be raw XA";

}  // namespace

bool MarkAddedFilesRawXa(Project& project, int32_t firstNew) {
    for (int32_t i = firstNew; i < project.fileCount(); ++i) {
        const std::string problem = SetRawXa(project.fileTable[static_cast<size_t>(i)], true);
        if (!problem.empty()) {
            PrintError(FormatMessage(MSG_REFUSED, problem.c_str()));
            return false;
        }
    }
    return true;
}

void NoteRawXaLookalikes(const Project& project, int32_t firstNew, const std::string& projectPath) {
    for (int32_t i = firstNew; i < project.fileCount(); ++i) {
        const FileEntry& file = project.fileTable[static_cast<size_t>(i)];
        if (file.rawXa || !file.sourcePath || !LooksLikeRawXa(*file.sourcePath)) continue;
        // A note, not an error: it stays out of --json's "errors".
        std::cerr << FormatMessage(MSG_LOOKS_RAW_XA, file.sourcePath->c_str(), projectPath.c_str(),
                                   DiscPathOfEntry(project, FileId(i)).c_str())
                  << '\n';
    }
}

bool SetRawXaMark(Project& project, int32_t id, bool rawXa, const std::string& discPath) {
    if (IsDirId(id)) {
        PrintError(FormatMessage(MSG_DIRECTORY, discPath.c_str()));
        return false;
    }
    const std::string problem = SetRawXa(EntryById(project, id), rawXa);
    if (problem.empty()) return true;
    PrintError(FormatMessage(MSG_REFUSED, problem.c_str()));
    return false;
}

}  // namespace korvalin::cli
