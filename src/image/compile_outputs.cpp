// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/compile_outputs.h"

#include "image/audio_track_writer.h"
#include "image/image_naming.h"
#include "model/disc_names.h"
#include "model/disc_path.h"
#include "model/message_format.h"
#include "platform/file_info.h"

namespace korvalin {

namespace {

constexpr char RESERVED_IMAGE_NAME[] = "%s: an image name cannot end in .cue or .krv";
constexpr char OUTPUT_IS_PROJECT[] = "%s is the project file: the compile would overwrite it";
constexpr char OUTPUT_IS_SOURCE[] = "%s is the source of %s: the compile would overwrite it";
constexpr char OUTPUT_NOT_REGULAR[] = "%s is not a regular file";

bool EndsWithNoCase(const std::string& text, const std::string& ending) {
    if (text.size() < ending.size()) return false;
    const std::string tail = text.substr(text.size() - ending.size());
    return UpperCaseAscii(tail) == UpperCaseAscii(ending);
}

bool SameFile(const FileIdentity& output, const std::string& path) {
    FileIdentity other;
    return QueryFileIdentity(path, other) && other == output;
}

// The text refusing `output`, which exists as `identity`, or "".
std::string Clash(const Project& project, const std::string& projectPath, const std::string& output,
                  const FileIdentity& identity) {
    if (SameFile(identity, projectPath)) return FormatMessage(OUTPUT_IS_PROJECT, output.c_str());
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        const FileEntry& file = project.fileTable[static_cast<size_t>(f)];
        if (file.IsDummy() || !file.sourcePath || !SameFile(identity, *file.sourcePath)) continue;
        return FormatMessage(OUTPUT_IS_SOURCE, output.c_str(),
                             DiscPathOfEntry(project, FileId(f)).c_str());
    }
    return "";
}

}  // namespace

std::vector<std::string> CompileOutputPaths(const std::string& chosenPath) {
    const ImageVariant variant = ChooseImageVariant(chosenPath);
    if (!variant.HasCompanion()) return {variant.imagePath};
    return {variant.imagePath, variant.outputSidecarPath};
}

std::string UnsafeCompileOutput(const Project& project, const std::string& projectPath,
                                const std::string& chosenPath) {
    if (EndsWithNoCase(chosenPath, ".cue") || EndsWithNoCase(chosenPath, ".krv")) {
        return FormatMessage(RESERVED_IMAGE_NAME, chosenPath.c_str());
    }
    const std::string variantProblem = AudioTracksVariantProblem(project, chosenPath);
    if (!variantProblem.empty()) return variantProblem;
    for (const std::string& output : CompileOutputPaths(chosenPath)) {
        FileIdentity identity;
        if (!QueryFileIdentity(output, identity)) continue;  // nothing there to destroy
        if (IsNonRegularFile(output)) return FormatMessage(OUTPUT_NOT_REGULAR, output.c_str());
        const std::string clash = Clash(project, projectPath, output, identity);
        if (!clash.empty()) return clash;
    }
    return "";
}

std::vector<std::string> ExistingCompileOutputs(const std::string& chosenPath) {
    std::vector<std::string> existing;
    for (const std::string& output : CompileOutputPaths(chosenPath)) {
        if (PathEntryExists(output)) existing.push_back(output);
    }
    return existing;
}

}  // namespace korvalin
