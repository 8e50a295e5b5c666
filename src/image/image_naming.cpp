// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_naming.h"

#include <cstdint>

namespace korvalin {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Position of the dot that starts the extension, or npos when the file's
// own name has none (a dot in a folder name does not count).
size_t ExtensionDot(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return std::string::npos;
    }
    return dot;
}

std::string WithExtension(const std::string& path, size_t dot, const char* extension) {
    if (dot == std::string::npos) return path + "." + extension;
    return path.substr(0, dot + 1) + extension;
}

}  // namespace

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

ImageVariant ChooseImageVariant(const std::string& chosenPath) {
    ImageVariant variant;
    variant.imagePath = chosenPath;
    const size_t dot = ExtensionDot(chosenPath);
    const std::string extension = dot == std::string::npos ? "" : Lower(chosenPath.substr(dot + 1));
    if (extension == "iso") {
        variant.rawSectors = 0;
        variant.outputSidecarPath = WithExtension(chosenPath, dot, "cue");
    } else if (extension == "iml") {
        variant.rawSectors = 0;
        variant.imlMode = true;
        variant.imagePath[dot + 3] = 's';
        variant.outputSidecarPath = WithExtension(chosenPath, dot, "iml");
    } else {
        variant.outputSidecarPath = WithExtension(chosenPath, dot, "cue");
    }
    return variant;
}

}  // namespace korvalin
