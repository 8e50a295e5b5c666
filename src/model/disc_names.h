// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turning names from disk or from a listing into 8.3 disc names.

#include <string>
#include <string_view>

namespace korvalin {

// The text after the last ':', '\' or '/' among the first 512 characters,
// at most 256 characters.
std::string FinalComponent(std::string_view path);

// Letters a-z made A-Z; every other byte unchanged.
std::string UpperCaseAscii(std::string_view text);

// Removes blanks and inner dots and marks over-long names with "~1".
// `lastDot` is the position of the last '.' before shortening, 0 for none.
void ShortenName(std::string& name, int lastDot);

// True when the name may not go on the disc. `dotPos` 0 means "no dot allowed".
bool IsIllegalName(std::string_view name, int dotPos);

// The whole rule as adding from disk and the import use it: upper-case a-z,
// find the last dot, shorten, test. `discName` receives the shortened name
// (also when it is refused, so that messages can show it).
struct DiscNameResult {
    std::string discName;
    int lastDot = 0;  // position of the last '.' in the name before shortening
    bool illegal = false;
};
DiscNameResult MakeDiscName(std::string_view component);

}  // namespace korvalin
