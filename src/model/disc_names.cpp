// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/disc_names.h"

#include <algorithm>

namespace korvalin {

std::string FinalComponent(std::string_view path) {
    const std::string_view head = path.substr(0, std::min(path.find('\0'), size_t{512}));
    const size_t cut = head.find_last_of(":\\/");
    const std::string_view tail = cut == std::string_view::npos ? head : head.substr(cut + 1);
    return std::string(tail.substr(0, 256));
}

std::string UpperCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

void ShortenName(std::string& name, int lastDot) {
    int d = lastDot;
    bool innerDot = false;
    // Blanks and every dot but the extension dot go.
    for (int i = 0; i < static_cast<int>(name.size());) {
        const char c = name[static_cast<size_t>(i)];
        if (c == ' ' || (c == '.' && i != d)) {
            name.erase(static_cast<size_t>(i), 1);
            if (d != 0 && i < d) --d;
            if (c == '.') innerDot = true;
            continue;
        }
        ++i;
    }
    int length = static_cast<int>(name.size());
    int extLength = length - d - 1;
    // Base longer than eight: "~1" in positions 6 and 7, extension kept behind.
    if (d > 8 || (d == 0 && length >= 9)) {
        innerDot = false;
        if (d != 0) {
            const std::string ext = name.substr(static_cast<size_t>(d));  // the dot and the rest
            name = name.substr(0, 6) + "~1" + ext;
            d = 8;
            length = extLength + 9;
        } else {
            name = name.substr(0, 6) + "~1";
            length = 8;
        }
        extLength = length - d - 1;
    }
    std::string ext;
    if (d != 0) {
        ext = name.substr(static_cast<size_t>(d) + 1, 3);
        length = d;
    }
    std::string base = name.substr(0, static_cast<size_t>(length));
    if (innerDot || (d != 0 && extLength >= 4)) {
        if (length < 6) {
            base += "~1";
        } else {
            base = base.substr(0, 6) + "~1";
        }
    }
    name = base;
    if (d != 0) {
        name += '.';
        name += ext.substr(0, static_cast<size_t>(std::min(extLength, 3)));
    }
}

bool IsIllegalName(std::string_view name, int dotPos) {
    for (int i = 0; i < static_cast<int>(name.size()); ++i) {
        const char c = name[static_cast<size_t>(i)];
        if (c == '\0') break;
        if (dotPos != 0 && i == dotPos) {
            if (c != '.') return true;
            continue;
        }
        if (c == '.') return true;
        const bool nameChar = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                              c == '-';
        if (!nameChar) return true;
    }
    return false;
}

DiscNameResult MakeDiscName(std::string_view component) {
    DiscNameResult result;
    std::string name = UpperCaseAscii(component);
    const size_t dot = name.rfind('.');
    result.lastDot = dot == std::string::npos ? 0 : static_cast<int>(dot);
    ShortenName(name, result.lastDot);
    // The name is tested with the dot where shortening left it, so that
    // "MY FILE.TXT" is taken as MYFILE.TXT rather than refused for a dot
    // that only moved because a blank before it was removed.
    const size_t newDot = name.rfind('.');
    const int dotPos = newDot == std::string::npos ? 0 : static_cast<int>(newDot);
    result.illegal = IsIllegalName(name, dotPos);
    result.discName = name;
    return result;
}

}  // namespace korvalin
